#include "saver/theme_configuration.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "support/temp_folder.h"
#include "theme_files/theme_choice.h"

namespace vistaloom {
namespace {

using testing::TempFolder;
namespace fs = std::filesystem;

void add_theme(const TempFolder& folder, const std::string& name,
               const std::string& icf_ext = "icf") {
    folder.write(name + "." + icf_ext, "1,0,sample.jpg,4\n");
    folder.write(name + ".img", "data");
}

std::set<std::string> files_in(const TempFolder& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.path()))
        names.insert(entry.path().filename().string());
    return names;
}

TEST(ConfigThemeList, ListsInFolderOrderAndSelectsTheExactlySpeltActiveTheme) {
    TempFolder folder;
    for (const char* name : {"Autumn", "Birds", "Coast", "demo"}) add_theme(folder, name);
    std::string active = "Coast";
    const ConfigThemeList list = get_modules(folder.slash(), active);
    // The saver's own listing decides the order, so both show the themes alike.
    EXPECT_EQ(list.names, list_themes(folder.slash(), "").names);
    EXPECT_EQ(std::set<std::string>(list.names.begin(), list.names.end()),
              (std::set<std::string>{"Autumn", "Birds", "Coast", "demo"}));
    ASSERT_GE(list.selected, 0);
    EXPECT_EQ(list.names[list.selected], "Coast");
    EXPECT_EQ(active, "Coast");

    // Letter case counts: "Demo" is not "demo", so the first listed theme becomes active.
    active = "Demo";
    const ConfigThemeList other = get_modules(folder.slash(), active);
    EXPECT_EQ(other.selected, 0);
    EXPECT_EQ(active, other.names.front());
}

TEST(ConfigThemeList, AVanishedActiveThemeFallsBackToTheFirst) {
    TempFolder folder;
    add_theme(folder, "Autumn");
    add_theme(folder, "Birds");
    std::string active = "Removed Long Ago";
    const ConfigThemeList list = get_modules(folder.slash(), active);
    EXPECT_EQ(list.selected, 0);
    EXPECT_EQ(active, list.names.front());
}

TEST(ConfigThemeList, InformationFilesCountInAnyLetterCaseAndTheLastMatchWins) {
    TempFolder folder;
    add_theme(folder, "Upper", "ICF");
    add_theme(folder, "Mixed", "iCf");
    folder.write("Twice.icf", "x");  // two information files name the same theme
    folder.write("Twice.ICF", "x");
    folder.write("notes.txt", "not a theme");
    std::string active = "Twice";
    const ConfigThemeList list = get_modules(folder.slash(), active);
    EXPECT_EQ(std::set<std::string>(list.names.begin(), list.names.end()),
              (std::set<std::string>{"Upper", "Mixed", "Twice"}));
    ASSERT_EQ(list.names.size(), 4u);
    int last = -1;
    for (size_t i = 0; i < list.names.size(); ++i)
        if (list.names[i] == "Twice") last = static_cast<int>(i);
    EXPECT_EQ(list.selected, last);
}

TEST(ConfigThemeList, AnEmptyFolderEmptiesTheActiveTheme) {
    TempFolder folder;
    std::string active = "Autumn";
    const ConfigThemeList list = get_modules(folder.slash(), active);
    EXPECT_TRUE(list.names.empty());
    EXPECT_EQ(list.selected, -1);
    EXPECT_EQ(active, "");
}

TEST(ThemeRemoval, TheOnlyThemeIsKeptAndNoNameDoesNothing) {
    ConfigThemeList one{{"Autumn"}, 0};
    EXPECT_EQ(check_removal(one, "Autumn"), RemovalCheck::OnlyTheme);
    ConfigThemeList two{{"Autumn", "Birds"}, 1};
    EXPECT_EQ(check_removal(two, "Birds"), RemovalCheck::Ask);
    EXPECT_EQ(check_removal(two, ""), RemovalCheck::NoTheme);
    EXPECT_EQ(check_removal(ConfigThemeList{}, ""), RemovalCheck::NoTheme);
}

TEST(ThemeRemoval, DeletesBothFilesAndLeavesNothingBehind) {
    TempFolder folder;
    add_theme(folder, "Autumn");
    add_theme(folder, "Birds", "ICF");
    EXPECT_TRUE(remove_theme_files(folder.slash(), "Birds"));
    EXPECT_EQ(files_in(folder), (std::set<std::string>{"Autumn.icf", "Autumn.img"}));

    // A theme whose container is already gone goes by its information file alone.
    fs::remove(folder.path() / "Autumn.img");
    EXPECT_TRUE(remove_theme_files(folder.slash(), "Autumn"));
    EXPECT_TRUE(files_in(folder).empty());
    EXPECT_FALSE(remove_theme_files(folder.slash(), "Autumn"));  // nothing left to remove

    // A name as long as the file system allows still goes.
    const std::string longest(251, 'n');
    add_theme(folder, longest);
    EXPECT_TRUE(remove_theme_files(folder.slash(), longest));
    EXPECT_TRUE(files_in(folder).empty());
}

TEST(ThemeRemoval, AFailedStepLosesNothing) {
    TempFolder folder;
    add_theme(folder, "Autumn");
    const std::set<std::string> before = files_in(folder);

    // The container cannot be moved: the information file comes back.
    ThemeFileOps ops = real_theme_file_ops();
    const auto real_rename = ops.rename;
    ops.rename = [&](const std::string& from, const std::string& to) {
        return from.ends_with(".img") ? false : real_rename(from, to);
    };
    EXPECT_FALSE(remove_theme_files(folder.slash(), "Autumn", ops));
    EXPECT_EQ(files_in(folder), before);

    // Nothing can be moved at all.
    ops.rename = [](const std::string&, const std::string&) { return false; };
    EXPECT_FALSE(remove_theme_files(folder.slash(), "Autumn", ops));
    EXPECT_EQ(files_in(folder), before);
}

TEST(VersionLabel, PlainNumbersWithoutLeadingZeros) {
    EXPECT_EQ(version_label(1, 2, 30), "Version: 1.2.30");
    EXPECT_EQ(version_label(0, 1, 0), "Version: 0.1.0");
}

}  // namespace
}  // namespace vistaloom
