#include "theme_files/theme_unpack.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "theme_files/theme_limits.h"
#include "theme_files/theme_names.h"
#include "theme_files/theme_test_folder.h"

namespace vistaloom {
namespace {

namespace fs = std::filesystem;

TEST(ThemeNames, ThemeNameMustBeAPlainFileName) {
    for (const std::string good : {"Holiday 2024", "Été à Nice", "a", "x.y", "Mine, with comma"})
        EXPECT_EQ(theme_name_problem(good), "") << good;
    for (const std::string bad :
         std::vector<std::string>{"", "a/b", "..", ".hidden", "a\\b", "tab\there", "quo\"te",
                                  " lead", "trail ", "dot.", "new\nline", std::string(201, 'x')})
        EXPECT_NE(theme_name_problem(bad), "") << bad;
}

TEST(ThemeNames, ItemNamesComeOutAsFileNamesInThatFolder) {
    EXPECT_EQ(safe_item_file_name("sheet.jpg"), "sheet.jpg");
    EXPECT_EQ(safe_item_file_name("../../etc/passwd"), "_._.._etc_passwd");
    EXPECT_EQ(safe_item_file_name(".."), "__");
    EXPECT_EQ(safe_item_file_name(""), "item");
    EXPECT_EQ(safe_item_file_name(".bashrc"), "_bashrc");
    EXPECT_EQ(safe_item_file_name("C:\\x\x01y.mid"), "C__x_y.mid");
    const std::string long_name = std::string(300, 'n') + ".wav";
    const std::string cut = safe_item_file_name(long_name);
    EXPECT_LE(cut.size(), kMaxItemNameBytes);
    EXPECT_EQ(cut.substr(cut.size() - 4), ".wav");
    // Never half a character: "é" is two bytes.
    std::string accents = "x";
    while (accents.size() < 300) accents += "\xc3\xa9";
    const std::string cut_accents = safe_item_file_name(accents + ".mid");
    EXPECT_EQ((cut_accents.size() - 5) % 2, 0u) << "x, whole characters, .mid";
}

class ThemeUnpack : public ::testing::Test {
  protected:
    ThemeTestFolder folder;
    fs::path out = folder.root() / "out";

    void SetUp() override { fs::create_directories(out); }

    // A theme whose items carry the given stored names and bytes.
    std::string theme(const std::vector<std::pair<std::string, std::string>>& items) {
        const std::string base = folder.theme("T");
        std::string icf = "\"T\",\"x\",\"0\"\r\n" + std::to_string(items.size()) + "\r\n";
        std::string img;
        for (const auto& [name, bytes] : items) {
            icf += "\"" + name + "\"," + std::to_string(bytes.size()) + "\r\n";
            img += bytes;
        }
        ThemeTestFolder::write(base + ".icf", icf);
        ThemeTestFolder::write(base + ".img", img);
        return base;
    }
    std::set<std::string> files_in(const fs::path& dir) {
        std::set<std::string> names;
        for (auto& entry : fs::recursive_directory_iterator(dir))
            names.insert(fs::relative(entry.path(), dir).string());
        return names;
    }
};

TEST_F(ThemeUnpack, EveryItemLandsInTheFolderUnderASafeDistinctName) {
    const std::string base = theme({{"sample.jpg", "S"},
                                    {"../escape.jpg", "J"},
                                    {"song.mid", "M1"},
                                    {"song.mid", "M2"},
                                    {"", ""}});
    UnpackResult result = unpack_theme(base, out.string(), false, folder.user_folders);
    ASSERT_EQ(result.error, "");
    EXPECT_EQ(files_in(out), (std::set<std::string>{"sample.jpg", "_._escape.jpg", "song.mid",
                                                    "song-2.mid", "item"}));
    EXPECT_EQ(ThemeTestFolder::read(out / "song.mid"), "M1");
    EXPECT_EQ(ThemeTestFolder::read(out / "song-2.mid"), "M2");
    EXPECT_EQ(fs::file_size(out / "item"), 0u);
    EXPECT_FALSE(fs::exists(folder.root() / "escape.jpg"));
    EXPECT_TRUE(fs::is_empty(folder.private_dir()));
}

TEST_F(ThemeUnpack, ExistingFilesAreKeptUnlessForced) {
    const std::string base = theme({{"a.jpg", "new a"}, {"b.jpg", "new b"}});
    ThemeTestFolder::write(out / "b.jpg", "mine");
    UnpackResult refused = unpack_theme(base, out.string(), false, folder.user_folders);
    EXPECT_NE(refused.error.find("b.jpg"), std::string::npos);
    EXPECT_TRUE(refused.written.empty());
    EXPECT_EQ(files_in(out), (std::set<std::string>{"b.jpg"}));
    EXPECT_EQ(ThemeTestFolder::read(out / "b.jpg"), "mine");

    UnpackResult forced = unpack_theme(base, out.string(), true, folder.user_folders);
    EXPECT_EQ(forced.error, "");
    EXPECT_EQ(ThemeTestFolder::read(out / "b.jpg"), "new b");
    EXPECT_EQ(files_in(out), (std::set<std::string>{"a.jpg", "b.jpg"}));
}

TEST_F(ThemeUnpack, ShortContainerFailsWithoutAPartialFile) {
    const std::string base = theme({{"a.jpg", "aaaa"}, {"b.jpg", "bbbb"}});
    ThemeTestFolder::write(base + ".img", "aaaab");
    UnpackResult result = unpack_theme(base, out.string(), false, folder.user_folders);
    EXPECT_NE(result.error.find("item 2"), std::string::npos);
    EXPECT_EQ(files_in(out), (std::set<std::string>{"a.jpg"}));
    EXPECT_NE(unpack_theme(folder.theme("Missing"), out.string(), false, folder.user_folders).error,
              "");
}

// Names as long as the reader takes them (from a theme made elsewhere, or at the packer's own
// limit, doubled so each needs a number) still come back out as files.
TEST_F(ThemeUnpack, LongItemNamesStillUnpack) {
    const std::string at_limit = std::string(kMaxItemNameBytes - 4, 'a') + ".mid";
    const std::string beyond = std::string(250, 'b') + ".wav";
    const std::string base =
        theme({{at_limit, "A1"}, {at_limit, "A2"}, {beyond, "B1"}, {beyond, "B2"}});
    UnpackResult result = unpack_theme(base, out.string(), false, folder.user_folders);
    ASSERT_EQ(result.error, "");
    ASSERT_EQ(result.written.size(), 4u);
    EXPECT_EQ(ThemeTestFolder::read(out / at_limit), "A1");
    EXPECT_EQ(ThemeTestFolder::read(result.written[3]), "B2");
}

// Items named like the theme's own files, unpacked into the theme's folder, would replace
// the container while it is being read; --force does not change that.
TEST_F(ThemeUnpack, NeverWritesOverTheThemeItReads) {
    for (const std::string own : {"T.img", "T.icf"}) {
        const std::string base = theme({{"a.jpg", "sample"}, {own, "replacement"}});
        const std::string icf = ThemeTestFolder::read(base + ".icf");
        UnpackResult result =
            unpack_theme(base, folder.root() / "themes", true, folder.user_folders);
        EXPECT_NE(result.error.find("theme's own file"), std::string::npos) << result.error;
        EXPECT_TRUE(result.written.empty());
        EXPECT_EQ(ThemeTestFolder::read(base + ".img"), "samplereplacement");
        EXPECT_EQ(ThemeTestFolder::read(base + ".icf"), icf);
    }
}

// Unpacking copies straight from the container: no staging in the private folder (often a
// small one in memory), and it works without one; a missing target folder is made.
TEST_F(ThemeUnpack, CopiesStraightIntoANewFolder) {
    const std::string base = theme({{"a.jpg", "aaaa"}, {"b.mid", "bbbb"}});
    std::vector<std::string> staged;
    StagingHooks hooks{[&](const std::string& path) { staged.push_back(path); }, {}};
    folder.user_folders.refuse_private = true;
    const fs::path fresh = out / "new" / "deeper";
    UnpackResult result = unpack_theme(base, fresh.string(), false, folder.user_folders, hooks);
    ASSERT_EQ(result.error, "");
    EXPECT_EQ(files_in(fresh), (std::set<std::string>{"a.jpg", "b.mid"}));
    ASSERT_EQ(staged.size(), 2u);
    for (const auto& path : staged) EXPECT_EQ(fs::path(path).parent_path(), fresh) << path;

    ThemeTestFolder::write(out / "plain", "a file");
    EXPECT_NE(unpack_theme(base, (out / "plain").string(), false, folder.user_folders).error, "");
    EXPECT_FALSE(fs::exists(folder.private_dir()));
}

}  // namespace
}  // namespace vistaloom
