#include "pixels/surface.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "ground/rounding.h"

namespace vistaloom {
namespace {

// A source whose every pixel tells where it came from: 0x00YYXX plus a marker.
Surface numbered(int32_t w, int32_t h) {
    Surface s(w, h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) s.at(x, y) = 0x100000u | (y << 8) | x;
    return s;
}

// Checks that exactly the rectangle `r` of target came from the source shifted by
// (sx - dx, sy - dy) and that every other pixel is still 0.
void expect_copied(const Surface& target, Rect r, int32_t shift_x, int32_t shift_y) {
    for (int32_t y = 0; y < target.height; ++y) {
        for (int32_t x = 0; x < target.width; ++x) {
            const bool inside = x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h;
            const uint32_t want = inside ? (0x100000u | ((y + shift_y) << 8) | (x + shift_x)) : 0u;
            ASSERT_EQ(target.at(x, y), want) << "at " << x << "," << y;
        }
    }
}

TEST(Blit, CopiesAWholeRectangleInside) {
    Surface src = numbered(8, 8);
    Surface dst(10, 10);
    EXPECT_EQ(blit(dst, 3, 4, src, 1, 2, 5, 3), (Rect{3, 4, 5, 3}));
    expect_copied(dst, {3, 4, 5, 3}, -2, -2);
}

TEST(Blit, ClipsAgainstEveryTargetEdge) {
    Surface src = numbered(16, 16);
    struct Case {
        int32_t dx, dy;
        Rect want;
    };
    // A 6 x 6 copy from (5, 5) of the source hanging over each edge of a 10 x 10 target.
    const Case cases[] = {
        {-2, 3, {0, 3, 4, 6}},   // left
        {7, 3, {7, 3, 3, 6}},    // right
        {3, -4, {3, 0, 6, 2}},   // top
        {3, 8, {3, 8, 6, 2}},    // bottom
        {-3, -3, {0, 0, 3, 3}},  // top-left corner
        {8, 9, {8, 9, 2, 1}},    // bottom-right corner
    };
    for (const Case& c : cases) {
        Surface dst(10, 10);
        const Rect got = blit(dst, c.dx, c.dy, src, 5, 5, 6, 6);
        EXPECT_EQ(got, c.want) << c.dx << "," << c.dy;
        expect_copied(dst, c.want, 5 - c.dx, 5 - c.dy);
    }
}

TEST(Blit, ClipsAgainstEverySourceEdge) {
    Surface src = numbered(6, 6);
    {
        Surface dst(10, 10);  // source starts left of and above the source surface
        EXPECT_EQ(blit(dst, 2, 2, src, -1, -2, 4, 4), (Rect{3, 4, 3, 2}));
        expect_copied(dst, {3, 4, 3, 2}, -3, -4);
    }
    {
        Surface dst(10, 10);  // source runs past the right and bottom of the source surface
        EXPECT_EQ(blit(dst, 0, 0, src, 4, 3, 5, 5), (Rect{0, 0, 2, 3}));
        expect_copied(dst, {0, 0, 2, 3}, 4, 3);
    }
}

TEST(Blit, WritesNothingWhenWhollyOutsideOrEmpty) {
    Surface src = numbered(4, 4);
    Surface dst(4, 4);
    EXPECT_EQ(blit(dst, 4, 0, src, 0, 0, 4, 4).w, 0);
    EXPECT_EQ(blit(dst, 0, -4, src, 0, 0, 4, 4).h, 0);
    EXPECT_EQ(blit(dst, 0, 0, src, 4, 0, 4, 4).w, 0);
    EXPECT_EQ(blit(dst, 0, 0, src, 0, 0, 0, 4).w, 0);
    EXPECT_EQ(blit(dst, 0, 0, src, 0, 0, -3, 4).w, 0);
    Surface none;
    EXPECT_EQ(blit(dst, 0, 0, none, 0, 0, 4, 4).w, 0);
    EXPECT_EQ(blit(none, 0, 0, src, 0, 0, 4, 4).w, 0);
    for (uint32_t p : dst.pixels) EXPECT_EQ(p, 0u);
}

TEST(Blit, ExtremeCoordinatesDoNotOverflowTheClipping) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    Surface src = numbered(4, 4);
    Surface dst(4, 4);
    EXPECT_EQ(blit(dst, kMax, kMax, src, 0, 0, kMax, kMax).w, 0);
    EXPECT_EQ(blit(dst, kMin, kMin, src, 0, 0, kMax, kMax).w, 0);
    EXPECT_EQ(blit(dst, 0, 0, src, kMin, kMin, kMax, kMax).w, 0);
    EXPECT_EQ(blit(dst, 1, 1, src, 1, 1, kMax, kMax), (Rect{1, 1, 3, 3}));
}

TEST(Blit, CopiesWithinOneSurfaceBetweenSeparateRectangles) {
    Surface s = numbered(8, 4);
    blit(s, 4, 0, s, 0, 0, 4, 4);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 4; x < 8; ++x) EXPECT_EQ(s.at(x, y), 0x100000u | (y << 8) | (x - 4));
}

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(round_to_int(2.5), 2);
    EXPECT_EQ(round_to_int(3.5), 4);
    EXPECT_EQ(round_to_int(-0.5), 0);
    EXPECT_EQ(round_to_int(-1.5), -2);
    EXPECT_EQ(round_to_int(-2.5), -2);
    EXPECT_EQ(round_to_int(0.49999999), 0);
    EXPECT_EQ(round_to_int(1.5000001), 2);
    EXPECT_EQ(round_half_even(5000000000.5), 5000000000);
}

TEST(Rounding, OutOfRangeValuesAreClampedNotUndefined) {
    EXPECT_EQ(round_to_int(1e300), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(round_to_int(-1e300), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(round_to_int(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(round_to_int(std::numeric_limits<double>::infinity()),
              std::numeric_limits<int32_t>::max());
}

TEST(ColourConversion, SwapsRedAndBlueAndDropsTheTopByte) {
    EXPECT_EQ(pixel_from_color(0x0000FFu), 0xFF0000u);  // red
    EXPECT_EQ(pixel_from_color(0xFF0000u), 0x0000FFu);  // blue
    EXPECT_EQ(pixel_from_color(0x00FF00u), 0x00FF00u);  // green
    EXPECT_EQ(pixel_from_color(0x123456u), 0x563412u);
    EXPECT_EQ(pixel_from_color(0xAB123456u), 0x563412u);
    EXPECT_EQ(color_from_pixel(0xFF563412u), 0x123456u);
    for (uint32_t c : {0u, 0x010203u, 0xFFFFFFu, 0x7F80FEu})
        EXPECT_EQ(color_from_pixel(pixel_from_color(c)), c);
}

}  // namespace
}  // namespace vistaloom
