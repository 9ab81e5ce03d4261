#include "pixels/jpeg_loading.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "support/test_paths.h"

namespace vistaloom {
namespace {

namespace fs = std::filesystem;

// Asked when a test runs: the test list is read without the environment of a run.
std::string pictures_dir() {
    return vistaloom::testing::test_inputs() + "/pictures/";
}

struct Bgr {
    int b, g, r;
};

// Pixel (x, y) counted from the top of the picture, read from the bottom-up rows.
Bgr pixel(const cDIBSection& dib, int x, int y) {
    const uint8_t* p = dib.DIBSectionBitsPtr() +
                       static_cast<size_t>(dib.height() - 1 - y) * dib.BytesPerScanLine() + x * 3;
    return {p[0], p[1], p[2]};
}

::testing::AssertionResult near(Bgr got, Bgr want) {
    const int tolerance = 8;  // quality 95 on whole 8 x 8 blocks of one colour
    if (std::abs(got.b - want.b) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
        std::abs(got.r - want.r) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "got b/g/r " << got.b << "/" << got.g << "/" << got.r
                                         << ", want " << want.b << "/" << want.g << "/" << want.r;
}

bool all_zero(const cDIBSection& dib) {
    const uint8_t* p = dib.DIBSectionBitsPtr();
    const size_t n = static_cast<size_t>(dib.BytesPerScanLine()) * dib.height();
    return p != nullptr && std::all_of(p, p + n, [](uint8_t b) { return b == 0; });
}

// Red, green on top; blue, white below, and upright in the bottom-up rows.
void expect_quadrants(const cDIBSection& dib) {
    ASSERT_EQ(dib.width(), 64);
    ASSERT_EQ(dib.height(), 48);
    EXPECT_EQ(dib.BytesPerScanLine(), 192);
    EXPECT_TRUE(near(pixel(dib, 4, 4), {0, 0, 255}));
    EXPECT_TRUE(near(pixel(dib, 60, 4), {0, 255, 0}));
    EXPECT_TRUE(near(pixel(dib, 4, 44), {255, 0, 0}));
    EXPECT_TRUE(near(pixel(dib, 60, 44), {255, 255, 255}));
}

TEST(JpegLoading, BaselineAndProgressivePicturesLoadUpright) {
    for (const char* name : {"baseline_64x48.jpg", "progressive_64x48.jpg"}) {
        SCOPED_TRACE(name);
        cDIBSection dib;
        ASSERT_TRUE(DecodeJpegToDib(dib, pictures_dir() + name));
        expect_quadrants(dib);
    }
}

TEST(JpegLoading, GreyPictureGivesThreeEqualBytesPerPixel) {
    cDIBSection dib;
    ASSERT_TRUE(DecodeJpegToDib(dib, pictures_dir() + "grey_40x30.jpg"));
    ASSERT_EQ(dib.width(), 40);
    ASSERT_EQ(dib.height(), 30);
    EXPECT_EQ(dib.BytesPerScanLine(), 120);
    for (int y : {0, 15, 29}) {
        EXPECT_TRUE(near(pixel(dib, 3, y), {50, 50, 50}));
        EXPECT_TRUE(near(pixel(dib, 36, y), {200, 200, 200}));
        const Bgr p = pixel(dib, 36, y);
        EXPECT_TRUE(p.b == p.g && p.g == p.r);
    }
}

TEST(JpegLoading, OddWidthRowsKeepTheirPaddingByte) {
    cDIBSection dib;
    ASSERT_TRUE(DecodeJpegToDib(dib, pictures_dir() + "wide_101x8.jpg"));
    ASSERT_EQ(dib.width(), 101);
    ASSERT_EQ(dib.BytesPerScanLine(), 304);  // 303 pixel bytes and 1 padding byte
    for (int y = 0; y < dib.height(); ++y) {
        EXPECT_TRUE(near(pixel(dib, 0, y), {0, 0, 255}));
        EXPECT_TRUE(near(pixel(dib, 100, y), {255, 0, 0}));
        EXPECT_EQ(dib.DIBSectionBitsPtr()[static_cast<size_t>(y) * 304 + 303], 0);
    }
}

TEST(JpegLoading, ArithmeticCodingLoadsOrFailsBlack) {
    // Whether arithmetic decoding is built into libjpeg-turbo is the library's choice; either
    // the picture loads correctly or it is a clean failure.
    cDIBSection dib;
    if (DecodeJpegToDib(dib, pictures_dir() + "arithmetic_64x48.jpg")) {
        expect_quadrants(dib);
    } else {
        EXPECT_TRUE(dib.width() == 0 || all_zero(dib));
    }
}

// Every broken or unsupported picture fails: either before a bitmap is made (0 x 0) or with
// a black bitmap of the size the header gave.
TEST(JpegLoading, EveryMalformedPictureFailsCleanly) {
    struct Expected {
        int32_t width, height;
    };
    const std::map<std::string, Expected> malformed = {
        {"empty.jpg", {0, 0}},
        {"not_a_jpeg.jpg", {0, 0}},
        {"truncated_header.jpg", {0, 0}},
        {"zero_width.jpg", {0, 0}},
        {"precision_12bit.jpg", {0, 0}},
        {"size_16384x16384.jpg", {0, 0}},  // 768 MiB of pixels: over the limit
        {"size_65500x65500.jpg", {0, 0}},
        {"bomb_2339x65500.jpg", {0, 0}},  // 274 bytes claiming 460 MB of pixels (fuzzing)
        {"bomb_3392x16384.jpg", {0, 0}},  // 343 bytes claiming 167 MB (fuzzing)
        {"truncated_half.jpg", {64, 48}},
        {"marker_in_data.jpg", {64, 48}},
        {"taller_than_data.jpg", {64, 480}},
        {"cmyk_32x32.jpg", {32, 32}},
    };
    const std::vector<std::string> good = {"baseline_64x48.jpg", "progressive_64x48.jpg",
                                           "grey_40x30.jpg", "wide_101x8.jpg",
                                           "arithmetic_64x48.jpg"};
    for (const auto& entry : fs::directory_iterator(pictures_dir())) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".jpg") continue;
        const bool known =
            malformed.count(name) || std::find(good.begin(), good.end(), name) != good.end();
        EXPECT_TRUE(known) << name << " is not listed in this test";
    }
    for (const auto& [name, size] : malformed) {
        SCOPED_TRACE(name);
        cDIBSection dib;
        EXPECT_FALSE(DecodeJpegToDib(dib, pictures_dir() + name));
        EXPECT_EQ(dib.width(), size.width);
        EXPECT_EQ(dib.height(), size.height);
        if (size.width > 0) {
            EXPECT_TRUE(all_zero(dib));
            // The bitmap is made afresh, so nothing of an earlier picture shows through.
            cDIBSection reused;
            ASSERT_TRUE(reused.Create(size.width, size.height));
            std::fill_n(reused.DIBSectionBitsPtr(), 3, uint8_t{0xAB});
            EXPECT_FALSE(DecodeJpegToDib(reused, pictures_dir() + name));
            EXPECT_TRUE(all_zero(reused));
        } else {
            EXPECT_EQ(dib.DIBSectionBitsPtr(), nullptr);
        }
    }
}

// Damage anywhere in a file (header tables, frame size, scan data) must end in one of the two
// failure results or in a full picture, never in a crash or a half-written bitmap.
TEST(JpegLoading, DamagedBytesAnywhereFailCleanly) {
    const fs::path damaged =
        fs::temp_directory_path() / ("vistaloom_damaged_" + std::to_string(getpid()) + ".jpg");
    for (const char* name : {"baseline_64x48.jpg", "progressive_64x48.jpg"}) {
        std::ifstream in(pictures_dir() + name, std::ios::binary);
        const std::vector<char> good((std::istreambuf_iterator<char>(in)), {});
        for (size_t at = 2; at < good.size(); at += 5) {
            for (char value : {'\x00', '\xFF', '\x7F'}) {
                std::vector<char> bytes = good;
                bytes[at] = value;
                std::ofstream(damaged, std::ios::binary | std::ios::trunc)
                    .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
                cDIBSection dib;
                if (DecodeJpegToDib(dib, damaged.string())) {
                    EXPECT_GT(dib.width(), 0);
                } else if (dib.width() != 0) {
                    ASSERT_TRUE(all_zero(dib)) << name << " byte " << at;
                }
            }
        }
    }
    fs::remove(damaged);
}

TEST(JpegLoading, MissingAndOversizedFilesAreNotRead) {
    cDIBSection dib;
    EXPECT_FALSE(DecodeJpegToDib(dib, pictures_dir() + "no_such_picture.jpg"));
    EXPECT_FALSE(DecodeJpegToDib(dib, pictures_dir()));  // a folder
    EXPECT_EQ(dib.width(), 0);

    // A sparse file just over the cap: refused without reading it.
    const fs::path big =
        fs::temp_directory_path() / ("vistaloom_big_" + std::to_string(getpid()) + ".jpg");
    fs::copy_file(pictures_dir() + "baseline_64x48.jpg", big, fs::copy_options::overwrite_existing);
    fs::resize_file(big, static_cast<uintmax_t>(kMaxJpegFileBytes) + 1);
    EXPECT_FALSE(DecodeJpegToDib(dib, big.string()));
    EXPECT_EQ(dib.width(), 0);
    fs::remove(big);
}

// A throw-away theme: item 1 some bytes, item 2 the given picture file.
class ThemePictures : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/vistaloom_jpeg_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        fs::create_directory(folder_ / "tmp");
        items_.windows_dir = (folder_ / "tmp").string() + "/";
    }
    void TearDown() override { fs::remove_all(folder_); }

    void make_theme(const std::string& picture) {
        std::ifstream in(pictures_dir() + picture, std::ios::binary);
        const std::vector<char> sheet((std::istreambuf_iterator<char>(in)), {});
        const std::string first = "first item";
        std::ofstream img(folder_ / "demo.img", std::ios::binary);
        img << first;
        img.write(sheet.data(), static_cast<std::streamsize>(sheet.size()));
        items_.item_names = {"", "music.mid", "sheet.jpg"};
        items_.item_sizes = {0, static_cast<int32_t>(first.size()),
                             static_cast<int32_t>(sheet.size())};
        items_.item_count = 2;
    }

    fs::path folder_;
    ThemeItems items_;
};

TEST_F(ThemePictures, SheetLandsOnSpriteAndWork) {
    make_theme("baseline_64x48.jpg");
    SceneSurfaces surfaces;
    load_theme_pictures(surfaces, items_, folder_.string() + "/", "demo");
    ASSERT_EQ(surfaces.sprite.width, 64);
    ASSERT_EQ(surfaces.sprite.height, 48);
    EXPECT_EQ(surfaces.work.width, 64);
    EXPECT_EQ(surfaces.work.pixels, surfaces.sprite.pixels);
    const uint32_t top_left = surfaces.sprite.at(4, 4);  // red, as 0x00RRGGBB
    EXPECT_GE((top_left >> 16) & 0xFF, 247u);
    EXPECT_LE(top_left & 0xFFFF, 0x0808u);
    const uint32_t bottom_left = surfaces.sprite.at(4, 44);  // blue
    EXPECT_GE(bottom_left & 0xFF, 247u);
    EXPECT_LE(bottom_left >> 8, 0x0808u);
}

TEST_F(ThemePictures, UndecodableSheetGivesBlackSurfacesOfItsSize) {
    make_theme("truncated_half.jpg");
    SceneSurfaces surfaces;
    surfaces.sprite.resize(5, 5, 0x123456);
    load_theme_pictures(surfaces, items_, folder_.string() + "/", "demo");
    ASSERT_EQ(surfaces.sprite.width, 64);
    ASSERT_EQ(surfaces.work.height, 48);
    EXPECT_TRUE(std::all_of(surfaces.sprite.pixels.begin(), surfaces.sprite.pixels.end(),
                            [](uint32_t p) { return p == 0; }));
    EXPECT_EQ(surfaces.work.pixels, surfaces.sprite.pixels);
}

TEST_F(ThemePictures, MissingSheetGivesEmptySurfaces) {
    make_theme("baseline_64x48.jpg");
    items_.item_count = 1;  // no item 2
    SceneSurfaces surfaces;
    surfaces.sprite.resize(5, 5, 0x123456);
    surfaces.work.resize(5, 5, 0x123456);
    load_theme_pictures(surfaces, items_, folder_.string() + "/", "demo");
    EXPECT_TRUE(surfaces.sprite.empty());
    EXPECT_TRUE(surfaces.work.empty());
    EXPECT_TRUE(surfaces.sprite.pixels.empty());
}

}  // namespace
}  // namespace vistaloom
