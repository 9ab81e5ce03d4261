#include "pixels/builtin_pictures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "pixels/pixel_font.h"

namespace vistaloom {
namespace {

int red(uint32_t p) {
    return (p >> 16) & 0xFF;
}
int green(uint32_t p) {
    return (p >> 8) & 0xFF;
}
int blue(uint32_t p) {
    return p & 0xFF;
}

struct RowSpan {
    int32_t first = -1;
    int32_t last = -1;
};

// The rows holding at least one pixel accepted by `pick`.
template <typename Pick>
RowSpan rows_with(const Surface& s, Pick pick) {
    RowSpan span;
    for (int32_t y = 0; y < s.height; ++y) {
        for (int32_t x = 0; x < s.width; ++x) {
            if (!pick(s.at(x, y))) continue;
            if (span.first < 0) span.first = y;
            span.last = y;
            break;
        }
    }
    return span;
}

TEST(NoModsPicture, IsBlackWithWhiteThenRedThenGreenLettering) {
    const Surface p = make_no_mods_picture();
    ASSERT_EQ(p.width, 320);
    ASSERT_EQ(p.height, 240);
    int32_t black = 0;
    for (uint32_t px : p.pixels) black += px == 0;
    EXPECT_GT(black, 320 * 240 * 8 / 10);  // lettering on a black ground

    const RowSpan white = rows_with(p, [](uint32_t px) { return px == 0xFFFFFF; });
    const RowSpan redish =
        rows_with(p, [](uint32_t px) { return red(px) > 200 && green(px) < 80; });
    const RowSpan greenish =
        rows_with(p, [](uint32_t px) { return green(px) > 200 && red(px) < 100; });
    ASSERT_GE(white.first, 0);
    ASSERT_GE(redish.first, 0);
    ASSERT_GE(greenish.first, 0);
    EXPECT_LT(white.last, redish.first);
    EXPECT_LT(redish.last, greenish.first);
    EXPECT_GT(greenish.last - greenish.first, 2 * kGlyphCellHeight);  // three lines
}

TEST(BorderPicture, GreyTopLeftNearBlackBottomRightPurpleFace) {
    const Surface p = make_border_picture();
    ASSERT_EQ(p.width, 80);
    ASSERT_EQ(p.height, 80);
    auto is_grey = [](uint32_t px) {
        return red(px) > 110 && std::abs(red(px) - green(px)) < 30 &&
               std::abs(blue(px) - green(px)) < 30;
    };
    auto is_near_black = [](uint32_t px) { return red(px) + green(px) + blue(px) < 120; };
    auto is_dark_purple = [](uint32_t px) {
        return red(px) > green(px) + 15 && blue(px) > green(px) + 15 && red(px) < 140 &&
               blue(px) < 160;
    };
    for (int32_t i = 4; i < 76; ++i) {
        EXPECT_TRUE(is_grey(p.at(i, 0))) << i;  // top edge, outer row
        EXPECT_TRUE(is_grey(p.at(0, i))) << i;  // left edge, outer column
        EXPECT_TRUE(is_near_black(p.at(i, 79))) << i;
        EXPECT_TRUE(is_near_black(p.at(79, i))) << i;
        EXPECT_TRUE(is_near_black(p.at(i, 76))) << i;  // 4 pixels deep
        EXPECT_FALSE(is_near_black(p.at(i, 72))) << i;
    }
    int32_t purple = 0, distinct = 0;
    for (int32_t y = 10; y < 70; ++y) {
        for (int32_t x = 10; x < 70; ++x) {
            purple += is_dark_purple(p.at(x, y));
            distinct += p.at(x, y) != p.at(x - 1, y);
        }
    }
    EXPECT_EQ(purple, 60 * 60);
    EXPECT_GT(distinct, 60 * 30);  // textured, not flat
    // The grey edge shades into the face: brightness falls across the 8 pixels.
    EXPECT_GT(red(p.at(40, 0)), red(p.at(40, 4)));
    EXPECT_GT(red(p.at(40, 4)), red(p.at(40, 10)) - 5);
}

TEST(PreviewSample, HasItsSizeAndWhiteLettering) {
    const Surface p = make_preview_sample();
    ASSERT_EQ(p.width, 150);
    ASSERT_EQ(p.height, 112);
    const RowSpan white = rows_with(p, [](uint32_t px) { return px == 0xFFFFFF; });
    EXPECT_GE(white.last - white.first, 2 * kGlyphCapHeight - 1);
}

TEST(PixelFont, MeasuresAndClipsText) {
    EXPECT_EQ(text_width("", 2), 0);
    EXPECT_EQ(text_width("A", 1), 5);
    EXPECT_EQ(text_width("AB", 2), 22);
    Surface s(8, 8);
    draw_text(s, -3, -2, "Wg\x01", 0xFFFFFF, 3);  // off every edge, an unknown character
    draw_text(s, 6, 6, "M", 0xFFFFFF, 1);
    EXPECT_EQ(s.at(7, 7), 0xFFFFFFu);  // 'M' row 1 col 1 lands here
    Surface t(12, 9);
    draw_text(t, 0, 0, "T", 0x123456, 1);
    for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(t.at(x, 0), 0x123456u);
    EXPECT_EQ(t.at(2, 6), 0x123456u);
    EXPECT_EQ(t.at(0, 6), 0u);
}

}  // namespace
}  // namespace vistaloom
