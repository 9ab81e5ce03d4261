#include "theme_files/theme_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "theme_files/theme_test_folder.h"

namespace vistaloom {
namespace {

namespace fs = std::filesystem;

class ThemeFiles : public ::testing::Test {
  protected:
    ThemeTestFolder folder;

    // Writes an information file and a container of `sizes` bytes where byte i of the
    // container is (i * 7 + 3) mod 251, so every offset shows in the extracted bytes.
    std::string make_theme(const std::string& name, const std::string& info,
                           int64_t container_bytes) {
        std::string base = folder.theme(name);
        ThemeTestFolder::write(base + ".icf", info);
        ThemeTestFolder::write(base + ".img", pattern(0, container_bytes));
        return base;
    }
    static std::string pattern(int64_t from, int64_t count) {
        std::string bytes;
        bytes.reserve(static_cast<size_t>(count));
        for (int64_t i = from; i < from + count; ++i)
            bytes.push_back(static_cast<char>((i * 7 + 3) % 251));
        return bytes;
    }
    bool inside_private_folder(const std::string& path) {
        return fs::path(path).parent_path() == folder.private_dir();
    }
    int files_in_private_folder() {
        int n = 0;
        for (auto& entry : fs::directory_iterator(folder.private_dir())) {
            (void)entry;
            ++n;
        }
        return n;
    }
};

// --- Reading the information file ---

TEST_F(ThemeFiles, QuotedFieldsKeepCommasAndUnquotedFieldsLoseTrailingBlanks) {
    std::string base = make_theme("t",
                                  "\"Head, one\"  ignored here ,  second  ,\"2 songs, nice\"\n"
                                  "  2  \n"
                                  "\"a, b.jpg\" junk,100\n"
                                  "plain name.mid   ,  250  \n",
                                  350);
    ThemeItems items;
    ASSERT_TRUE(read_theme_info(items, base, folder.user_folders));
    EXPECT_EQ(items.item_count, 2);
    EXPECT_EQ(items.music_count, 2.0);
    ASSERT_EQ(items.item_names.size(), 3u);
    EXPECT_EQ(items.item_names[1], "a, b.jpg");
    EXPECT_EQ(items.item_names[2], "plain name.mid");
    EXPECT_EQ(items.item_sizes[1], 100);
    EXPECT_EQ(items.item_sizes[2], 250);
    EXPECT_EQ(items.windows_dir, folder.private_dir().string() + "/");
}

TEST_F(ThemeFiles, EveryLineEndSeparatesFields) {
    for (std::string eol : {"\n", "\r", "\r\n"}) {
        std::string info = "\"x\"" + eol + "y" + eol + "3 tracks" + eol + "1" + eol + "\"s.jpg\"" +
                           eol + "5" + eol;
        std::string base = make_theme("eol", info, 5);
        ThemeItems items;
        ASSERT_TRUE(read_theme_info(items, base, folder.user_folders)) << "line end " << int(eol[0]) << eol.size();
        EXPECT_EQ(items.music_count, 3.0);
        EXPECT_EQ(items.item_names[1], "s.jpg");
        EXPECT_EQ(items.item_sizes[1], 5);
    }
}

TEST_F(ThemeFiles, MusicCountIsTheLeadingNumberOfTheThirdField) {
    ThemeItems items;
    ASSERT_TRUE(read_theme_info(items, make_theme("m3", "a,b,3 tracks,0\n", 0), folder.user_folders));
    EXPECT_EQ(items.music_count, 3.0);
    ASSERT_TRUE(read_theme_info(items, make_theme("m0", "a,b,no music,0\n", 0), folder.user_folders));
    EXPECT_EQ(items.music_count, 0.0);
    // A negative or absurd claim never reaches the track choice as such.
    ASSERT_TRUE(read_theme_info(items, make_theme("mneg", "a,b,-4,0\n", 0), folder.user_folders));
    EXPECT_EQ(items.music_count, 0.0);
    ASSERT_TRUE(read_theme_info(items, make_theme("mbig", "a,b,1e300,0\n", 0), folder.user_folders));
    EXPECT_EQ(items.music_count, 2147483647.0);
}

TEST_F(ThemeFiles, ItemCountZeroReadsAndNegativeFails) {
    ThemeItems items;
    ASSERT_TRUE(read_theme_info(items, make_theme("zero", "a,b,c,0", 0), folder.user_folders));
    EXPECT_EQ(items.item_count, 0);
    EXPECT_EQ(items.item_names.size(), 1u);

    items.item_count = 9;
    EXPECT_FALSE(read_theme_info(items, make_theme("neg", "a,b,2 songs,-1\n", 0), folder.user_folders));
    EXPECT_EQ(items.item_count, 0);
    EXPECT_EQ(items.music_count, 0.0);
}

TEST_F(ThemeFiles, MissingTinyOrBrokenInformationFilesFail) {
    ThemeItems items;
    EXPECT_FALSE(read_theme_info(items, folder.theme("absent"), folder.user_folders));
    EXPECT_FALSE(read_theme_info(items, make_theme("tiny", "a", 0), folder.user_folders));
    EXPECT_FALSE(read_theme_info(items, make_theme("short", "a,b,c", 0), folder.user_folders));
    EXPECT_FALSE(read_theme_info(items, make_theme("notnum", "a,b,c,two\n", 0), folder.user_folders));
    EXPECT_FALSE(read_theme_info(items, make_theme("big", "a,b,c,2147483648\n", 0), folder.user_folders));
    EXPECT_FALSE(read_theme_info(items, make_theme("badsize", "a,b,c,1\nx.jpg,12x\n", 0), folder.user_folders));
    EXPECT_FALSE(
        read_theme_info(items, make_theme("long", "\"" + std::string(70000, 'n') + "\",b,c,0", 0), folder.user_folders));
    // A folder named like an information file is not one.
    fs::create_directories(folder.theme("dir") + ".icf");
    EXPECT_FALSE(read_theme_info(items, folder.theme("dir"), folder.user_folders));
}

TEST_F(ThemeFiles, ClaimedItemCountBeyondTheRecordsFailsAndLeavesNoItems) {
    ThemeItems items;
    // Would need gigabytes if the lists were sized from the claim.
    EXPECT_FALSE(read_theme_info(items, make_theme("huge", "a,b,c,2147483647\n\"s.jpg\",5\n", 5), folder.user_folders));
    EXPECT_EQ(items.item_count, 0);
    EXPECT_EQ(items.item_names.size(), 1u);
    // Even when the records are really there, no theme has that many items.
    std::string many = "a,b,c,100001\n";
    for (int i = 0; i < 100001; ++i) many += "x,1\n";
    EXPECT_FALSE(read_theme_info(items, make_theme("many", many, 0), folder.user_folders));
    EXPECT_FALSE(read_theme_info(items, make_theme("three", "a,b,1,3\ns.jpg,5\nt.jpg,6\n", 11), folder.user_folders));
    EXPECT_EQ(items.item_count, 0);
    EXPECT_EQ(items.music_count, 0.0);
}

// --- Extraction ---

TEST_F(ThemeFiles, ItemsAreCutAtTheirRunningOffsets) {
    std::string base = make_theme("offsets", "a,b,1,3\ns.bmp,100\nsheet.jpg,250\nm.mid,40\n", 390);
    ThemeItems items;
    ASSERT_TRUE(read_theme_info(items, base, folder.user_folders));
    EXPECT_EQ(theme_item_offset(items, 2), 100);
    EXPECT_EQ(theme_item_offset(items, 3), 350);

    std::string sheet = extract_theme_item(items, base, 2);
    EXPECT_EQ(sheet, folder.private_dir().string() + "/" + temp_item_name("jpg"));
    EXPECT_EQ(ThemeTestFolder::read(sheet), pattern(100, 250));
    std::string tune = extract_theme_item(items, base, 3);
    EXPECT_EQ(ThemeTestFolder::read(tune), pattern(350, 40));
    EXPECT_EQ(ThemeTestFolder::read(extract_theme_item(items, base, 1)), pattern(0, 100));
}

TEST_F(ThemeFiles, LongItemsAreCopiedInSixtyThousandByteChunks) {
    EXPECT_EQ(extraction_chunks(150000), (std::vector<int32_t>{60000, 60000, 30000}));
    EXPECT_EQ(extraction_chunks(60000), (std::vector<int32_t>{60000}));
    EXPECT_EQ(extraction_chunks(120001), (std::vector<int32_t>{60000, 60000, 1}));
    EXPECT_TRUE(extraction_chunks(0).empty());

    std::string base = make_theme("chunks", "a,b,0,2\nlead.dat,7\nbig.wav,150000\n", 150007);
    ThemeItems items;
    ASSERT_TRUE(read_theme_info(items, base, folder.user_folders));
    std::string path = extract_theme_item(items, base, 2);
    EXPECT_EQ(ThemeTestFolder::read(path), pattern(7, 150000));
}

TEST_F(ThemeFiles, ZeroLengthItemGivesAnEmptyFile) {
    std::string base = make_theme("empty", "a,b,0,2\nx.jpg,3\nnothing.wav,0\n", 3);
    ThemeItems items;
    ASSERT_TRUE(read_theme_info(items, base, folder.user_folders));
    std::string path = extract_theme_item(items, base, 2);
    ASSERT_NE(path, "False");
    EXPECT_TRUE(fs::is_regular_file(path));
    EXPECT_EQ(fs::file_size(path), 0u);
}

TEST_F(ThemeFiles, LeftoverOrLongerTempFileIsReplacedWithoutStaleBytes) {
    std::string base = make_theme("over", "a,b,0,2\nx.dat,5\ny.dat,3\n", 8);
    ThemeItems items;
    ASSERT_TRUE(read_theme_info(items, base, folder.user_folders));
    const fs::path target = folder.private_dir() / temp_item_name("dat");
    ThemeTestFolder::write(target, "Z");  // 1 byte: counts as absent
    EXPECT_FALSE(file_present(target.string()));
    ASSERT_EQ(extract_theme_item(items, base, 1), target.string());
    EXPECT_EQ(ThemeTestFolder::read(target), pattern(0, 5));
    // A shorter item with the same extension leaves nothing of the longer one behind.
    ASSERT_EQ(extract_theme_item(items, base, 2), target.string());
    EXPECT_EQ(ThemeTestFolder::read(target), pattern(5, 3));
}

// The theme listing takes "Autumn.ICF" for the theme "Autumn"; its files must then be found.
TEST_F(ThemeFiles, UpperCaseExtensionsAreFoundButTheNameMustMatchExactly) {
    const std::string base = folder.theme("Autumn");
    ThemeTestFolder::write(base + ".ICF", "a,b,1,2\nx.jpg,3\ny.mid,4\n");
    ThemeTestFolder::write(base + ".Img", pattern(0, 7));
    EXPECT_EQ(theme_file_path(base, ".icf"), base + ".ICF");
    EXPECT_EQ(theme_file_path(base, ".img"), base + ".Img");
    ThemeItems items;
    ASSERT_TRUE(read_theme_info(items, base, folder.user_folders));
    EXPECT_EQ(items.item_count, 2);
    EXPECT_EQ(ThemeTestFolder::read(extract_theme_item(items, base, 2)), pattern(3, 4));

    // Another theme whose name differs only in case is not this one.
    EXPECT_FALSE(read_theme_info(items, folder.theme("autumn"), folder.user_folders));
    EXPECT_EQ(theme_file_path(folder.theme("autumn"), ".icf"), folder.theme("autumn") + ".icf");

    // The exact spelling wins, and among several others the choice does not depend on the
    // folder's order.
    ThemeTestFolder::write(base + ".iCf", "a,b,0,0\n");
    EXPECT_EQ(theme_file_path(base, ".icf"), base + ".ICF");
    ThemeTestFolder::write(base + ".icf", "a,b,0,1\nz.jpg,7\n");
    EXPECT_EQ(theme_file_path(base, ".icf"), base + ".icf");
    ASSERT_TRUE(read_theme_info(items, base, folder.user_folders));
    EXPECT_EQ(items.item_count, 1);
}

TEST_F(ThemeFiles, ExtensionKeepsTheStoredLetterCase) {
    std::string base = make_theme("case", "a,b,1,2\nSHEET.JPG,4\nTune.mid,4\n", 8);
    ThemeItems items;
    ASSERT_TRUE(read_theme_info(items, base, folder.user_folders));
    EXPECT_EQ(fs::path(extract_theme_item(items, base, 1)).filename(), temp_item_name("JPG"));
    EXPECT_EQ(fs::path(extract_theme_item(items, base, 2)).filename(), temp_item_name("mid"));
}

TEST_F(ThemeFiles, ItemNumbersAndSizesThatDoNotFitGiveFalse) {
    std::string base = make_theme("bad", "a,b,0,2\nx.jpg,10\ny.jpg,10\n", 20);
    ThemeItems items;
    ASSERT_TRUE(read_theme_info(items, base, folder.user_folders));
    for (int32_t k : {0, -1, 3, 2147483647, -2147483647 - 1})
        EXPECT_EQ(extract_theme_item(items, base, k), "False") << k;

    std::string neg = make_theme("neg", "a,b,0,3\nx.jpg,-5\ny.jpg,10\nz.mid,-1\n", 20);
    ASSERT_TRUE(read_theme_info(items, neg, folder.user_folders));
    EXPECT_EQ(extract_theme_item(items, neg, 1), "False");
    EXPECT_EQ(extract_theme_item(items, neg, 2), "False");
    EXPECT_EQ(extract_theme_item(items, neg, 3), "False");

    std::string wide = make_theme("wide", "a,b,0,3\nx.jpg,2147483000\ny.jpg,647\nz.wav,1\n", 20);
    ASSERT_TRUE(read_theme_info(items, wide, folder.user_folders));
    EXPECT_EQ(theme_item_offset(items, 2), 2147483000);
    EXPECT_EQ(theme_item_offset(items, 3), -1);
    EXPECT_EQ(extract_theme_item(items, wide, 3), "False");
    EXPECT_EQ(files_in_private_folder(), 0);
}

TEST_F(ThemeFiles, ShortOrMissingContainerGivesFalseAndNoFile) {
    std::string base = make_theme("short", "a,b,0,2\nx.jpg,100\ny.wav,150000\n", 100 + 90000);
    ThemeItems items;
    ASSERT_TRUE(read_theme_info(items, base, folder.user_folders));
    EXPECT_EQ(extract_theme_item(items, base, 2), "False");
    EXPECT_FALSE(fs::exists(folder.private_dir() / temp_item_name("wav")));
    EXPECT_EQ(files_in_private_folder(), 0);
    fs::remove(base + ".img");
    EXPECT_EQ(extract_theme_item(items, base, 1), "False");
    fs::create_symlink("/dev/zero", base + ".img");  // endless, and no file
    EXPECT_EQ(extract_theme_item(items, base, 1), "False");
    EXPECT_EQ(files_in_private_folder(), 0);
}

TEST_F(ThemeFiles, HostileNamesNeverLeaveThePrivateFolder) {
    const std::vector<std::string> names = {
        "../../../etc/x", "a/..", "..", "/", "\\..", "x\x01\x1f", "", "ab", "q:*", "bad\"", "a/b"};
    std::string info = "a,b,0," + std::to_string(names.size()) + "\n";
    for (const auto& name : names) info += "\"" + name + "\",1\n";
    std::string base = make_theme("hostile", info, static_cast<int64_t>(names.size()));
    ThemeItems items;
    ASSERT_TRUE(read_theme_info(items, base, folder.user_folders));
    for (int32_t k = 1; k <= items.item_count; ++k) {
        std::string path = extract_theme_item(items, base, k);
        ASSERT_NE(path, "False") << items.item_names[k];
        EXPECT_TRUE(inside_private_folder(path)) << path;
        EXPECT_TRUE(fs::is_regular_file(path)) << path;
        std::string file = fs::path(path).filename().string();
        const std::string prefix = temp_item_name("");
        EXPECT_EQ(file.rfind(prefix, 0), 0u) << file;
        EXPECT_EQ(file.find_first_of("/\\\x01\x1f", prefix.size()), std::string::npos) << file;
        EXPECT_EQ(file.find('.', prefix.size()), std::string::npos) << file;
    }
    EXPECT_EQ(temp_item_extension("x.jpg"), "jpg");
    EXPECT_EQ(temp_item_extension("../"), "___");
    EXPECT_EQ(temp_item_extension(std::string("a\0b", 3)), "a_b");
    EXPECT_EQ(temp_item_extension("ab"), "ab");
    // Nothing escaped into the themes folder or its parents.
    EXPECT_EQ(
        std::distance(fs::directory_iterator(folder.root() / "themes"), fs::directory_iterator()),
        2);
}

TEST_F(ThemeFiles, RemoveTempItemsTakesOnlyOurTemporaryFiles) {
    std::string base = make_theme("rm", "a,b,1,2\nx.jpg,4\ny.mid,4\n", 8);
    ThemeItems items;
    ASSERT_TRUE(read_theme_info(items, base, folder.user_folders));
    ASSERT_NE(extract_theme_item(items, base, 1), "False");
    ASSERT_NE(extract_theme_item(items, base, 2), "False");
    ThemeTestFolder::write(folder.private_dir() / "notes.txt", "keep");
    ThemeTestFolder::write(folder.private_dir() / "img_xyzzy", "keep");
    fs::create_directory(folder.private_dir() / temp_item_name("dir"));

    remove_temp_items(items);
    EXPECT_FALSE(fs::exists(folder.private_dir() / temp_item_name("jpg")));
    EXPECT_FALSE(fs::exists(folder.private_dir() / temp_item_name("mid")));
    EXPECT_TRUE(fs::exists(folder.private_dir() / "notes.txt"));
    EXPECT_TRUE(fs::exists(folder.private_dir() / "img_xyzzy"));
    EXPECT_TRUE(fs::is_directory(folder.private_dir() / temp_item_name("dir")));

    ThemeItems never_read;
    remove_temp_items(never_read);  // no folder known yet: nothing to do, nothing to crash
}

// A saver ending while the configuration window or the theme tool extracts must not take
// their files, finished or half-written, from the shared folder.
TEST_F(ThemeFiles, RemoveTempItemsLeavesOtherProgramsFilesAlone) {
    std::string base = make_theme("shared", "a,b,0,1\nx.jpg,4\n", 4);
    ThemeItems items;
    ASSERT_TRUE(read_theme_info(items, base, folder.user_folders));
    const std::string ours = extract_theme_item(items, base, 1);
    ASSERT_NE(ours, "False");
    const std::vector<std::string> theirs = {"img_xyz-0123456789abcdef.jpg",
                                             "img_xyz-0123456789abcdef.part-0",
                                             "img_xyz.part-4242-0", "img_xyz.jpg"};
    for (const auto& name : theirs) ThemeTestFolder::write(folder.private_dir() / name, "them");
    EXPECT_NE(fs::path(ours).filename(), "img_xyz.jpg");

    remove_temp_items(items);
    EXPECT_FALSE(fs::exists(ours));
    for (const auto& name : theirs) EXPECT_TRUE(fs::exists(folder.private_dir() / name)) << name;
}

TEST_F(ThemeFiles, NoPrivateFolderMeansNoExtraction) {
    folder.user_folders.refuse_private = true;
    std::string base = make_theme("link", "a,b,0,1\nx.jpg,4\n", 4);
    ThemeItems items;
    EXPECT_TRUE(read_theme_info(items, base, folder.user_folders));
    EXPECT_EQ(items.windows_dir, "");
    EXPECT_EQ(extract_theme_item(items, base, 1), "False");
}

TEST_F(ThemeFiles, FilePresentNeedsMoreThanOneByte) {
    fs::path p = folder.root() / "f";
    EXPECT_FALSE(file_present(p.string()));
    ThemeTestFolder::write(p, "");
    EXPECT_FALSE(file_present(p.string()));
    ThemeTestFolder::write(p, "1");
    EXPECT_FALSE(file_present(p.string()));
    ThemeTestFolder::write(p, "12");
    EXPECT_TRUE(file_present(p.string()));
    EXPECT_FALSE(file_present(folder.root().string()));
}

}  // namespace
}  // namespace vistaloom
