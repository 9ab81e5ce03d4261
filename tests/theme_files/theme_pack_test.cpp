#include "theme_files/theme_pack.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "pixels/theme_verify.h"
#include "theme_files/theme_files.h"
#include "theme_files/theme_limits.h"
#include "theme_files/theme_test_folder.h"
#include "theme_files/theme_unpack.h"
#include "support/test_paths.h"

namespace vistaloom {
namespace {

namespace fs = std::filesystem;

class ThemePack : public ::testing::Test {
  protected:
    ThemeTestFolder folder;

    std::string source(const std::string& name, const std::string& bytes) {
        fs::path path = folder.root() / "src" / name;
        fs::create_directories(path.parent_path());
        ThemeTestFolder::write(path, bytes);
        return path.string();
    }
    int leftovers_in_themes() {
        int n = 0;
        for (auto& entry : fs::directory_iterator(folder.root() / "themes"))
            if (entry.path().filename().string().find(".part") != std::string::npos) ++n;
        return n;
    }
};

TEST_F(ThemePack, PackedThemeReadsBackItemForItem) {
    ThemePackRequest request;
    request.base_path = folder.theme("Mine, with comma");
    request.sample_path = source("sample.png", std::string(100, 'S'));
    request.sheet_path = source("sheet.jpeg", std::string(70000, 'J'));
    request.music_paths = {source("intro.MIDI", "MThd-intro"), source("empty.wav", "")};
    ASSERT_EQ(pack_theme(request), "");
    EXPECT_EQ(leftovers_in_themes(), 0);

    ThemeItems items;
    ASSERT_TRUE(read_theme_info(items, request.base_path, folder.user_folders));
    ASSERT_EQ(items.item_count, 4);
    EXPECT_EQ(items.music_count, 2.0);
    EXPECT_EQ(items.item_names[1], "sample.png");
    EXPECT_EQ(items.item_names[2], "sheet.jpg");
    EXPECT_EQ(items.item_names[3], "intro.MID");
    EXPECT_EQ(items.item_sizes[2], 70000);
    EXPECT_EQ(items.item_sizes[4], 0);
    EXPECT_EQ(ThemeTestFolder::read(extract_theme_item(items, request.base_path, 2)),
              std::string(70000, 'J'));
    EXPECT_EQ(ThemeTestFolder::read(extract_theme_item(items, request.base_path, 3)), "MThd-intro");
    EXPECT_EQ(fs::file_size(extract_theme_item(items, request.base_path, 4)), 0u);

    ThemeHeader header;
    ASSERT_TRUE(read_theme_header(request.base_path, header));
    EXPECT_EQ(header.first, "Mine, with comma");
    EXPECT_EQ(header.music_text, "2 music tracks");
}

TEST_F(ThemePack, NamesThatCannotSurviveExtractionAreRefused) {
    std::string error;
    EXPECT_EQ(stored_item_name("/a/b/Song.MIDI", error), "Song.MID");
    EXPECT_EQ(stored_item_name("c:\\pics\\x.jpeg", error), "x.jpg");
    EXPECT_EQ(stored_item_name("tune.mp3", error), "tune.mp3");
    for (std::string bad : {"noextension", "picture.tiff", "quote\".jpg", "line\n.jpg", "x.j"}) {
        error.clear();
        EXPECT_EQ(stored_item_name(bad, error), "") << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

// Whatever the packer writes, the reader reads and unpacking writes back out; what it would
// not, the packer refuses before writing anything.
TEST_F(ThemePack, WritesOnlyWhatReaderAndUnpackingTake) {
    std::string error;
    const std::string longest = std::string(kMaxItemNameBytes - 4, 'n') + ".mid";
    EXPECT_EQ(stored_item_name(longest, error), longest);
    EXPECT_EQ(stored_item_name(std::string(kMaxItemNameBytes - 4, 'n') + ".MIDI", error),
              std::string(kMaxItemNameBytes - 4, 'n') + ".MID");
    EXPECT_EQ(stored_item_name("n" + longest, error), "");
    EXPECT_NE(error.find("longer than"), std::string::npos) << error;

    ThemePackRequest request;
    request.base_path = folder.theme("Long");
    request.sample_path = source("s.jpg", "S");
    request.sheet_path = source("t.jpg", "T");
    request.music_paths = {source(longest, "tune")};
    ASSERT_EQ(pack_theme(request), "");
    ThemeItems items;
    ASSERT_TRUE(read_theme_info(items, request.base_path, folder.user_folders));
    const fs::path out = folder.root() / "out";
    const UnpackResult unpacked = unpack_theme(request.base_path, out, false, folder.user_folders);
    EXPECT_EQ(unpacked.error, "");
    EXPECT_EQ(ThemeTestFolder::read(out / longest), "tune");

    // Refused from the paths alone, before any file is looked at.
    ThemePackRequest crowded = request;
    crowded.base_path = folder.theme("Crowded");
    crowded.music_paths.assign(kMaxThemeItems - 1, "/nonexistent/x.mid");
    EXPECT_NE(pack_theme(crowded).find("at most"), std::string::npos);
    ThemePackRequest named = request;
    named.base_path = folder.theme(std::string(kMaxThemeNameBytes + 1, 'x'));
    EXPECT_NE(pack_theme(named).find("longer than"), std::string::npos);
    EXPECT_EQ(leftovers_in_themes(), 0);
}

TEST_F(ThemePack, FailedPackLeavesAnEarlierThemeAsItWas) {
    ThemePackRequest request;
    request.base_path = folder.theme("Keep");
    request.sample_path = source("s.jpg", "old sample");
    request.sheet_path = source("t.jpg", "old sheet");
    ASSERT_EQ(pack_theme(request), "");
    const std::string before = ThemeTestFolder::read(request.base_path + ".icf");

    request.music_paths = {(folder.root() / "src" / "missing.mid").string()};
    std::string error = pack_theme(request);
    EXPECT_NE(error.find("missing.mid"), std::string::npos) << error;
    EXPECT_EQ(ThemeTestFolder::read(request.base_path + ".icf"), before);
    EXPECT_EQ(ThemeTestFolder::read(request.base_path + ".img"), "old sampleold sheet");
    EXPECT_EQ(leftovers_in_themes(), 0);
}

// A FIFO would block the pack for ever, /dev/zero would fill the disk; an input that would
// push the theme past its 32-bit offsets is refused before a byte is written.
TEST_F(ThemePack, OnlyRegularFilesOfAFittingSizeArePacked) {
    ThemePackRequest request;
    request.base_path = folder.theme("Odd");
    request.sample_path = source("s.jpg", "sample");
    request.sheet_path = source("t.jpg", "sheet");
    const fs::path fifo = folder.root() / "src" / "pipe.mid";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path zero = folder.root() / "src" / "zero.wav";
    fs::create_symlink("/dev/zero", zero);
    const fs::path huge = folder.root() / "src" / "huge.mp3";
    ThemeTestFolder::write(huge, "");
    fs::resize_file(huge, uint64_t{3} << 30);  // sparse: costs no disk

    for (const fs::path& music : {fifo, zero, huge}) {
        request.music_paths = {music.string()};
        const std::string error = pack_theme(request);
        EXPECT_NE(error.find(music.filename().string()), std::string::npos) << error;
        EXPECT_FALSE(fs::exists(request.base_path + ".img")) << music;
        EXPECT_EQ(leftovers_in_themes(), 0) << music;
    }
    request.music_paths = {};
    EXPECT_EQ(pack_theme(request), "");
    EXPECT_EQ(ThemeTestFolder::read(request.base_path + ".img"), "samplesheet");
}

// --- verify_theme over the stored test themes ---

std::string input_theme(const std::string& name) {
    return vistaloom::testing::test_inputs() + "/themes/" + name;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const auto& line : lines) all += line + "\n";
    return all;
}

TEST_F(ThemePack, VerifyAcceptsTheValidThemeAndNamesWhatIsWrongWithBrokenOnes) {
    EXPECT_EQ(joined(verify_theme(input_theme("Valid"), folder.user_folders)), "");
    const std::pair<const char*, const char*> cases[] = {
        {"broken/Truncated", "container is 30000 bytes"},
        {"broken/BrokenSheet", "item 2 (sprite sheet) does not decode"},
        {"broken/SmallSheet", "320 x 240"},
        {"broken/NegativeSize", "item 1 has a negative size"},
        {"broken/OffsetOverflow", "beyond the 2147483647"},
        {"broken/HugeCount", "cannot be read"},
        {"broken/NegativeCount", "cannot be read"},
        {"broken/ManyMusic", "99 music tracks"},
        {"broken/Traversal", "item 1 (sample picture) is not a JPEG"},
        {"NoSuchTheme", "missing"},
    };
    for (const auto& [name, expected] : cases) {
        std::string problems = joined(verify_theme(input_theme(name), folder.user_folders));
        EXPECT_NE(problems.find(expected), std::string::npos) << name << ":\n" << problems;
    }
    // Verifying extracts the pictures; it must not leave them behind.
    EXPECT_TRUE(fs::is_empty(folder.private_dir()));
}

TEST_F(ThemePack, VerifyReportsASampleTooShortForItsPictureHeader) {
    ThemePackRequest request;
    request.base_path = folder.theme("ShortBmp");
    request.sample_path = source("s.bmp", "BM" + std::string(26, '\x01'));
    request.sheet_path = source("t.jpg", "not a picture");
    ASSERT_EQ(pack_theme(request), "");
    EXPECT_NE(joined(verify_theme(request.base_path, folder.user_folders))
                  .find("is a BMP with a broken header"),
              std::string::npos);
}

}  // namespace
}  // namespace vistaloom
