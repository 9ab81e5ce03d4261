#include "pixels/line_drawing.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

namespace vistaloom {
namespace {

constexpr uint32_t kInk = 0x00ABCDEFu;

std::vector<std::pair<int, int>> inked(const Surface& s) {
    std::vector<std::pair<int, int>> out;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            if (s.at(x, y) == kInk) out.emplace_back(x, y);
    return out;
}

TEST(LineDrawing, StartIsDrawnEndIsNot) {
    Surface s(10, 10);
    draw_line(s, 1, 1, 6, 3, kInk);
    EXPECT_EQ(s.at(1, 1), kInk);
    EXPECT_NE(s.at(6, 3), kInk);
    EXPECT_EQ(inked(s).size(), 5u);  // one pixel per step along the longer axis

    Surface dot(4, 4);
    draw_line(dot, 2, 2, 2, 2, kInk);
    EXPECT_TRUE(inked(dot).empty());

    Surface spans(8, 8);
    draw_line(spans, 6, 2, 1, 2, kInk);  // right to left: 6 .. 2
    draw_line(spans, 0, 7, 0, 4, kInk);  // bottom to top: 7 .. 5
    const std::vector<std::pair<int, int>> want = {{2, 2}, {3, 2}, {4, 2}, {5, 2},
                                                   {6, 2}, {0, 5}, {0, 6}, {0, 7}};
    EXPECT_EQ(inked(spans), want);
}

TEST(LineDrawing, LinesAreConnectedWithOnePixelPerStep) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coord(0, 39);
    for (int n = 0; n < 500; ++n) {
        const int x0 = coord(rng), y0 = coord(rng), x1 = coord(rng), y1 = coord(rng);
        Surface s(40, 40);
        draw_line(s, x0, y0, x1, y1, kInk);
        const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
        const auto pixels = inked(s);
        ASSERT_EQ(static_cast<int>(pixels.size()), steps)
            << x0 << "," << y0 << " " << x1 << "," << y1;
        // Walking from the start, every pixel has a neighbour one step further on.
        int x = x0, y = y0;
        for (int i = 1; i < steps; ++i) {
            bool moved = false;
            for (int dy = -1; dy <= 1 && !moved; ++dy)
                for (int dx = -1; dx <= 1 && !moved; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if ((dx || dy) && nx >= 0 && ny >= 0 && nx < 40 && ny < 40 &&
                        s.at(nx, ny) == kInk &&
                        std::max(std::abs(nx - x0), std::abs(ny - y0)) == i) {
                        x = nx, y = ny, moved = true;
                    }
                }
            ASSERT_TRUE(moved) << "gap after step " << i;
        }
    }
}

// Clipping must not move a single pixel: the clipped line equals the matching window of the
// same line drawn whole on a surface large enough to hold it.
TEST(LineDrawing, ClippingKeepsThePixelsOfTheWholeLine) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> coord(-60, 80);
    const int margin = 70;
    for (int n = 0; n < 3000; ++n) {
        const int x0 = coord(rng), y0 = coord(rng), x1 = coord(rng), y1 = coord(rng);
        Surface big(21 + 2 * margin + 60, 13 + 2 * margin + 60);
        draw_line(big, x0 + margin, y0 + margin, x1 + margin, y1 + margin, kInk);
        Surface small(21, 13);
        draw_line(small, x0, y0, x1, y1, kInk);
        for (int y = 0; y < 13; ++y)
            for (int x = 0; x < 21; ++x)
                ASSERT_EQ(small.at(x, y), big.at(x + margin, y + margin))
                    << "line " << x0 << "," << y0 << " -> " << x1 << "," << y1 << " at " << x << ","
                    << y;
    }
}

TEST(LineDrawing, ShiftedLinesDrawShiftedPixels) {
    Surface a(50, 50), b(50, 50);
    draw_line(a, 3, 40, 27, 5, kInk);
    draw_line(b, 3 + 9, 40 - 4, 27 + 9, 5 - 4, kInk);
    for (auto [x, y] : inked(a)) EXPECT_EQ(b.at(x + 9, y - 4), kInk);
    EXPECT_EQ(inked(a).size(), inked(b).size());
}

TEST(LineDrawing, FarAwayEndsCostNothingAndStayInside) {
    Surface s(16, 16);
    // Lines billions of pixels long: stepping along them would take seconds.
    draw_line(s, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, kInk);
    EXPECT_EQ(s.at(0, 0), kInk);
    EXPECT_EQ(s.at(15, 15), kInk);
    EXPECT_EQ(inked(s).size(), 16u);
    Surface t(16, 16);
    draw_line(t, -2000000000, 7, 2000000000, 8, kInk);
    const auto row = inked(t);
    ASSERT_EQ(row.size(), 16u);
    for (auto [x, y] : row) EXPECT_TRUE(y == 7 || y == 8);
    Surface u(16, 16);
    draw_line(u, -100, -100, 100, -50, kInk);  // wholly above
    draw_line(u, 20, 0, 20, 15, kInk);         // wholly right
    draw_line(u, -10, 5, 5, -10, kInk);        // passes the top left corner outside
    Surface empty;
    draw_line(empty, 0, 0, 5, 5, kInk);
    EXPECT_TRUE(inked(u).empty());
}

// The row-by-row family must paint exactly what drawing its lines one by one paints.
TEST(LineDrawing, ParallelLinesMatchDrawingEachLineInTurn) {
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> coord(-30, 45);
    std::uniform_int_distribution<int> lines(1, 60);
    const int steps[][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (int n = 0; n < 4000; ++n) {
        const int x0 = coord(rng), y0 = coord(rng), x1 = coord(rng), y1 = coord(rng);
        const auto& step = steps[n % 4];
        const int count = lines(rng);
        std::vector<uint32_t> colours(static_cast<size_t>(count));
        for (int k = 0; k < count; ++k) colours[static_cast<size_t>(k)] = 0x010000u * k + 7;

        Surface one_by_one(17, 11, 0xFF000000u);
        for (int k = 0; k < count; ++k) {
            draw_line(one_by_one, x0 + k * step[0], y0 + k * step[1], x1 + k * step[0],
                      y1 + k * step[1], colours[static_cast<size_t>(k)]);
        }
        Surface family(17, 11, 0xFF000000u);
        draw_parallel_lines(family, x0, y0, x1, y1, step[0], step[1], colours.data(), count);
        ASSERT_EQ(family.pixels, one_by_one.pixels)
            << x0 << "," << y0 << " -> " << x1 << "," << y1 << " step " << step[0] << "," << step[1]
            << " x " << count;
    }
    Surface untouched(5, 5, 0xFF000000u);
    const uint32_t ink[] = {kInk};
    draw_parallel_lines(untouched, 0, 0, 4, 4, 1, 1, ink, 1);  // not a unit step
    draw_parallel_lines(untouched, 0, 0, 4, 4, 1, 0, ink, 0);
    EXPECT_TRUE(inked(untouched).empty());
}

}  // namespace
}  // namespace vistaloom
