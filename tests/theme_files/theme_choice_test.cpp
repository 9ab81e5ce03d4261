#include "theme_files/theme_choice.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "support/scripted_clock.h"
#include "support/temp_folder.h"

namespace vistaloom {
namespace {

using testing::TempFolder;

TEST(ThemeListing, OnlyNormalFilesEndingInIcfNameThemes) {
    TempFolder dir;
    dir.write("Sports.ICF", "x");
    dir.write("Sports.img", "x");
    dir.write("notes.txt", "x");
    dir.write(".hidden.icf", "x");
    dir.write("icf", "x");
    std::filesystem::create_directory(dir.path() / "folder.icf");
    const ThemeListing listing = list_themes(dir.slash(), "sports");
    EXPECT_EQ(listing.names, (std::vector<std::string>{"Sports"}));
    EXPECT_TRUE(listing.active_found);
    EXPECT_EQ(listing.active_name, "Sports");
    EXPECT_FALSE(list_themes(dir.slash(), "Sport").active_found);
}

// A long list must not hide themes: the one the user picked far down it is the one the
// saver runs, not a random other.
TEST(ThemeListing, EveryThemeIsListedInFolderOrder) {
    TempFolder dir;
    for (int i = 0; i < 250; ++i) dir.write("t" + std::to_string(i) + ".icf", "x");
    std::vector<std::string> folder_order;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
        std::string name = e.path().filename().string();
        folder_order.push_back(name.substr(0, name.size() - 4));
    }
    const ThemeListing listing = list_themes(dir.slash(), folder_order[230]);
    EXPECT_EQ(listing.names, folder_order);
    EXPECT_TRUE(listing.active_found);
    EXPECT_EQ(listing.active_name, folder_order[230]);
}

TEST(ThemeListing, AMissingFolderListsNothing) {
    EXPECT_TRUE(list_themes("/nonexistent/vistaloom/", "").names.empty());
    EXPECT_TRUE(list_themes("", "").names.empty());
}

}  // namespace
}  // namespace vistaloom
