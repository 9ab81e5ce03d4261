// The hostile themes stored under tests/inputs/themes/broken, read and extracted the way the
// saver does it.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "theme_files/theme_files.h"
#include "theme_files/theme_test_folder.h"
#include "support/test_paths.h"

namespace vistaloom {
namespace {

namespace fs = std::filesystem;

std::string broken(const std::string& name) {
    return vistaloom::testing::test_inputs() + "/themes/broken/" + name;
}

class ThemeInputs : public ::testing::Test {
  protected:
    ThemeTestFolder folder;
    ThemeItems items;
};

TEST_F(ThemeInputs, ImpossibleItemCountsFailFastWithAnEmptyTable) {
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(read_theme_info(items, broken("HugeCount"), folder.user_folders));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(items.item_count, 0);
    EXPECT_FALSE(read_theme_info(items, broken("NegativeCount"), folder.user_folders));
    EXPECT_EQ(items.item_count, 0);
    EXPECT_EQ(extract_theme_item(items, broken("HugeCount"), 1), "False");
}

TEST_F(ThemeInputs, BadSizesAndShortContainersExtractNothing) {
    ASSERT_TRUE(read_theme_info(items, broken("NegativeSize"), folder.user_folders));
    for (int32_t k = 1; k <= 3; ++k)
        EXPECT_EQ(extract_theme_item(items, broken("NegativeSize"), k), "False");
    ASSERT_TRUE(read_theme_info(items, broken("OffsetOverflow"), folder.user_folders));
    for (int32_t k = 1; k <= 3; ++k)
        EXPECT_EQ(extract_theme_item(items, broken("OffsetOverflow"), k), "False");
    EXPECT_TRUE(fs::is_empty(folder.private_dir()));

    // The sample fits in what is left of the container, the sheet does not; its failure
    // also takes away the sample extracted under the same name.
    ASSERT_TRUE(read_theme_info(items, broken("Truncated"), folder.user_folders));
    std::string sample = extract_theme_item(items, broken("Truncated"), 1);
    ASSERT_NE(sample, "False");
    EXPECT_EQ(extract_theme_item(items, broken("Truncated"), 2), "False");
    EXPECT_FALSE(fs::exists(sample));
    EXPECT_TRUE(fs::is_empty(folder.private_dir()));
}

TEST_F(ThemeInputs, PathsInItemNamesStayInsideThePrivateFolder) {
    ASSERT_TRUE(read_theme_info(items, broken("Traversal"), folder.user_folders));
    for (int32_t k = 1; k <= items.item_count; ++k) {
        std::string path = extract_theme_item(items, broken("Traversal"), k);
        ASSERT_NE(path, "False");
        EXPECT_EQ(fs::path(path).parent_path(), folder.private_dir()) << path;
    }
    EXPECT_FALSE(fs::exists("/tmp/vistaloom-escape"));
    remove_temp_items(items);
    EXPECT_TRUE(fs::is_empty(folder.private_dir()));
}

}  // namespace
}  // namespace vistaloom
