#include "pixels/dib_section.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ground/rounding.h"
#include "ground/desktop.h"
#include "support/scripted_random.h"

namespace vistaloom {
namespace {

class ClipboardDesktop : public Desktop {
  public:
    std::vector<Surface> copies;
    bool accept = true;
    int show_cursor(bool) override { return 0; }
    void set_screen_saver_running(bool) override {}
    int32_t platform_id() override { return 2; }
    int verify_screen_save_password(int64_t) override { return 1; }
    bool set_wallpaper(const std::string&) override { return true; }
    bool copy_to_clipboard(const Surface& picture) override {
        copies.push_back(picture);
        return accept;
    }
    bool open_url(const std::string&) override { return true; }
    std::string time_designator(bool) override { return {}; }
    bool display_on() override { return true; }
    bool on_battery() override { return false; }
    uint32_t system_color(int) override { return 0; }
};

uint8_t* memory_row(cDIBSection& dib, int y_from_top) {
    return dib.DIBSectionBitsPtr() +
           static_cast<size_t>(dib.height() - 1 - y_from_top) * dib.BytesPerScanLine();
}

// A picture whose every pixel says where it is: blue = x, green = y, red = 100 + x + y.
void fill_positions(cDIBSection& dib) {
    for (int y = 0; y < dib.height(); ++y) {
        uint8_t* row = memory_row(dib, y);
        for (int x = 0; x < dib.width(); ++x) {
            row[x * 3] = static_cast<uint8_t>(x);
            row[x * 3 + 1] = static_cast<uint8_t>(y);
            row[x * 3 + 2] = static_cast<uint8_t>(100 + x + y);
        }
    }
}

uint32_t position_pixel(int x, int y) {
    return (static_cast<uint32_t>(100 + x + y) << 16) | (static_cast<uint32_t>(y) << 8) |
           static_cast<uint32_t>(x);
}

TEST(DibSection, ScanLinesAreWholeMultiplesOfFourBytes) {
    const int32_t expected[] = {4, 8, 12, 12, 16};
    for (int32_t w = 1; w <= 5; ++w) {
        cDIBSection dib;
        ASSERT_TRUE(dib.Create(w, 1));
        EXPECT_EQ(dib.BytesPerScanLine(), expected[w - 1]) << w;
    }
}

TEST(DibSection, ImpossibleSizesFailWithoutAllocating) {
    cDIBSection dib;
    const int32_t sizes[][2] = {{715827882, 1},  // width x 3 + 3 is 2^31 + 1
                                {715827881, 1},  // row fits in 32 bits, but 2 GiB is over the limit
                                {INT32_MAX, INT32_MAX},
                                {16384, 16384},  // 768 MiB
                                {1, 134217729},  // 4-byte rows, just over 512 MiB
                                {0, 5},
                                {5, 0},
                                {-1, 5},
                                {5, -1},
                                {INT32_MIN, 3}};
    for (const auto& size : sizes) {
        ASSERT_TRUE(dib.Create(3, 3));
        EXPECT_FALSE(dib.Create(size[0], size[1])) << size[0] << " x " << size[1];
        EXPECT_EQ(dib.width(), 0);
        EXPECT_EQ(dib.height(), 0);
        EXPECT_EQ(dib.BytesPerScanLine(), 0);
        EXPECT_EQ(dib.DIBSectionBitsPtr(), nullptr);
        EXPECT_EQ(dib.hDC(), 0u);
        EXPECT_EQ(dib.hDib(), 0u);
    }
}

TEST(DibSection, CreateReplacesTheOldBitmapWithABlackOne) {
    cDIBSection dib;
    EXPECT_EQ(dib.hDC(), 0u);
    EXPECT_EQ(dib.width(), 0);
    ASSERT_TRUE(dib.Create(4, 4));
    EXPECT_NE(dib.hDC(), 0u);
    EXPECT_NE(dib.hDib(), 0u);
    std::fill_n(dib.DIBSectionBitsPtr(), 12 * 4, uint8_t{0xEE});
    ASSERT_TRUE(dib.Create(3, 5));
    EXPECT_EQ(dib.width(), 3);
    EXPECT_EQ(dib.height(), 5);
    const uint8_t* bits = dib.DIBSectionBitsPtr();
    for (int i = 0; i < 12 * 5; ++i) ASSERT_EQ(bits[i], 0) << i;

    dib.ClearUp();
    EXPECT_EQ(dib.hDC(), 0u);
    EXPECT_EQ(dib.hDib(), 0u);
    EXPECT_EQ(dib.DIBSectionBitsPtr(), nullptr);
    EXPECT_EQ(dib.width(), 3);  // the header outlives the bitmap
    Surface target(4, 4, 0x777777);
    dib.PaintPicture(target, 0, 0, -1, -1, 0, 0);
    EXPECT_EQ(target.at(0, 0), 0x777777u);
}

TEST(DibSection, PaintPictureWithMinusOneCopiesTheWholePictureUpright) {
    cDIBSection dib;
    ASSERT_TRUE(dib.Create(3, 2));
    fill_positions(dib);
    Surface target(6, 5, 0xFF000000u);
    dib.PaintPicture(target, 1, 2, -1, -1, 0, 0, SRCCOPY);
    int painted = 0;
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool inside = x >= 1 && x < 4 && y >= 2 && y < 4;
            if (inside) {
                ++painted;
                EXPECT_EQ(target.at(x, y), position_pixel(x - 1, y - 2)) << x << "," << y;
            } else {
                EXPECT_EQ(target.at(x, y), 0xFF000000u) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(painted, 6);
}

// Every placement of a copy that sticks out of the source or the target on any side.
TEST(DibSection, CopiesAreClippedOnEverySide) {
    cDIBSection dib;
    ASSERT_TRUE(dib.Create(5, 4));
    fill_positions(dib);
    const int offsets[] = {-7, -2, 0, 1, 3, 6};
    for (int dx : offsets) {
        for (int dy : offsets) {
            for (int sx : {-2, 0, 2, 5}) {
                for (int sy : {-3, 0, 1, 4}) {
                    Surface target(6, 5, 0xFF000000u);
                    dib.PaintPicture(target, dx, dy, 4, 3, sx, sy);
                    for (int y = 0; y < 5; ++y) {
                        for (int x = 0; x < 6; ++x) {
                            const int px = x - dx + sx, py = y - dy + sy;
                            const bool copied = x - dx >= 0 && x - dx < 4 && y - dy >= 0 &&
                                                y - dy < 3 && px >= 0 && px < 5 && py >= 0 &&
                                                py < 4;
                            const uint32_t want = copied ? position_pixel(px, py) : 0xFF000000u;
                            ASSERT_EQ(target.at(x, y), want)
                                << "dest " << dx << "," << dy << " src " << sx << "," << sy
                                << " at " << x << "," << y;
                        }
                    }
                }
            }
        }
    }
    Surface target(6, 5, 0xFF000000u);
    dib.PaintPicture(target, 0, 0, INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN);
    dib.PaintPicture(target, INT32_MAX, INT32_MAX, -1, -1, 0, 0);
    dib.PaintPicture(target, 0, 0, -1, -1, 0, 0, 0x00EE0086u);  // not a plain copy: ignored
    EXPECT_EQ(target.at(0, 0), 0xFF000000u);
}

TEST(DibSection, LoadPictureBltReadsASurfaceRegion) {
    Surface source(6, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) source.at(x, y) = position_pixel(x, y);
    cDIBSection dib;
    ASSERT_TRUE(dib.Create(4, 3));
    dib.LoadPictureBlt(source, 3, 1, -1, -1, SRCCOPY);  // only 3 columns are left in the source
    Surface back(4, 3, 0xFF000000u);
    dib.PaintPicture(back, 0, 0, -1, -1, 0, 0);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) EXPECT_EQ(back.at(x, y), position_pixel(x + 3, y + 1));
        EXPECT_EQ(back.at(3, y), 0u);  // never written: still black
    }
    // A one-pixel row has one padding byte, which stays zero.
    cDIBSection odd;
    ASSERT_TRUE(odd.Create(1, 2));
    odd.LoadPictureBlt(source, 0, 0, -1, -1);
    EXPECT_EQ(odd.DIBSectionBitsPtr()[3], 0);
}

TEST(DibSection, ResampleToTheSameSizeIsExact) {
    cDIBSection dib;
    ASSERT_TRUE(dib.Create(7, 5));
    fill_positions(dib);
    auto copy = dib.Resample(5, 7);
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->width(), 7);
    EXPECT_EQ(std::vector<uint8_t>(copy->DIBSectionBitsPtr(), copy->DIBSectionBitsPtr() + 24 * 5),
              std::vector<uint8_t>(dib.DIBSectionBitsPtr(), dib.DIBSectionBitsPtr() + 24 * 5));
    cDIBSection single;
    ASSERT_TRUE(single.Create(1, 1));
    EXPECT_NE(single.Resample(1, 1), nullptr);
    EXPECT_EQ(single.Resample(2, 2), nullptr);  // no neighbour to blend with
}

TEST(DibSection, ResampleThreeToSixStepsByAThirdOfAPixel) {
    cDIBSection dib;
    ASSERT_TRUE(dib.Create(3, 3));
    // Blue rises by 90 per column, green by 90 per row in memory order, red is constant.
    for (int r = 0; r < 3; ++r) {
        uint8_t* row = dib.DIBSectionBitsPtr() + r * dib.BytesPerScanLine();
        for (int x = 0; x < 3; ++x) {
            row[x * 3] = static_cast<uint8_t>(90 * x);
            row[x * 3 + 1] = static_cast<uint8_t>(90 * r);
            row[x * 3 + 2] = 77;
        }
    }
    auto big = dib.Resample(6, 6);  // height first
    ASSERT_NE(big, nullptr);
    ASSERT_EQ(big->width(), 6);
    ASSERT_EQ(big->height(), 6);
    for (int r = 0; r < 6; ++r) {
        const uint8_t* row = big->DIBSectionBitsPtr() + r * big->BytesPerScanLine();
        for (int x = 0; x < 6; ++x) {
            EXPECT_EQ(row[x * 3], 30 * x) << x << "," << r;  // positions 0, 1/3, ... 5/3
            EXPECT_EQ(row[x * 3 + 1], 30 * r) << x << "," << r;
            EXPECT_EQ(row[x * 3 + 2], 77);
        }
    }
}

TEST(DibSection, ResampleRoundsHalvesToEven) {
    cDIBSection dib;
    ASSERT_TRUE(dib.Create(3, 2));
    uint8_t* bits = dib.DIBSectionBitsPtr();
    // Row 0 blue: 0, 5, 0; row 1 the same. Scale (3 - 1) / 4 = 0.5: samples at 0, .5, 1, 1.5.
    bits[3] = 5;
    bits[dib.BytesPerScanLine() + 3] = 5;
    auto wide = dib.Resample(2, 4);
    ASSERT_NE(wide, nullptr);
    const uint8_t* out = wide->DIBSectionBitsPtr();
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[3], 2);  // 2.5 goes to 2
    EXPECT_EQ(out[6], 5);
    EXPECT_EQ(out[9], 2);
}

TEST(DibSection, RandomiseBitsDrawsInItsOwnOrder) {
    cDIBSection dib;
    ASSERT_TRUE(dib.Create(2, 2));
    testing::ScriptedRandom grey{0.0, 0.5, 0.998, 0.1};
    dib.RandomiseBits(true, grey);
    EXPECT_EQ(grey.reseeds, 1);
    const uint8_t* bits = dib.DIBSectionBitsPtr();
    const int pitch = dib.BytesPerScanLine();
    // Row by row: 0, 128 (127.5 to even), 254 (254.49), 26 (25.5 to even)
    const uint8_t want_grey[] = {0, 128, 254, 26};
    for (int i = 0; i < 4; ++i) {
        const uint8_t* p = bits + (i / 2) * pitch + (i % 2) * 3;
        EXPECT_EQ(p[0], want_grey[i]);
        EXPECT_EQ(p[1], want_grey[i]);
        EXPECT_EQ(p[2], want_grey[i]);
    }

    const double draws[] = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8};
    testing::ScriptedRandom colour;
    for (double d : draws) colour.push(d);
    dib.RandomiseBits(false, colour);
    EXPECT_EQ(colour.draws, 8);
    // Column by column; green then red; no blue.
    const int order[][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};  // (x, memory row)
    for (int i = 0; i < 4; ++i) {
        const uint8_t* p = bits + order[i][1] * pitch + order[i][0] * 3;
        EXPECT_EQ(p[0], 0);
        EXPECT_EQ(p[1], round_half_even(draws[2 * i] * 255));
        EXPECT_EQ(p[2], round_half_even(draws[2 * i + 1] * 255));
    }

    cDIBSection none;
    testing::ScriptedRandom unused;
    none.RandomiseBits(true, unused);  // no bitmap: nothing to fill, nothing drawn
    EXPECT_EQ(unused.draws, 0);
}

TEST(DibSection, ClipboardTakesPlainBitmapsOnly) {
    cDIBSection dib;
    ASSERT_TRUE(dib.Create(3, 2));
    fill_positions(dib);
    ClipboardDesktop desktop;
    std::vector<std::string> messages;
    auto show = [&](const std::string& text) { messages.push_back(text); };

    EXPECT_FALSE(dib.CopyToClipboard(true, desktop, show));
    EXPECT_TRUE(desktop.copies.empty());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0],
              "I don't know how to put a DIB on the clipboard! Copy as bitmap instead!!!");

    EXPECT_TRUE(dib.CopyToClipboard(false, desktop, show));
    ASSERT_EQ(desktop.copies.size(), 1u);
    EXPECT_EQ(desktop.copies[0].width, 3);
    EXPECT_EQ(desktop.copies[0].at(2, 1), position_pixel(2, 1));
    desktop.accept = false;
    EXPECT_FALSE(dib.CopyToClipboard(false, desktop));

    cDIBSection empty;
    EXPECT_FALSE(empty.CopyToClipboard(false, desktop));
    EXPECT_EQ(desktop.copies.size(), 2u);
}

}  // namespace
}  // namespace vistaloom
