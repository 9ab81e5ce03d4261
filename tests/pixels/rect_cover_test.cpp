#include "pixels/rect_cover.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

namespace vistaloom {
namespace {

std::set<std::pair<int32_t, int32_t>> pixels_of(const std::vector<Rect>& rects, bool& overlap) {
    std::set<std::pair<int32_t, int32_t>> px;
    overlap = false;
    for (const Rect& r : rects)
        for (int32_t y = r.y; y < r.y + r.h; ++y)
            for (int32_t x = r.x; x < r.x + r.w; ++x) overlap |= !px.insert({x, y}).second;
    return px;
}

// Pixel by pixel: the parts are exactly the area less the covers, with no pixel twice.
void expect_exact(const Rect& area, const std::vector<Rect>& covers) {
    bool overlap = false;
    const auto got = pixels_of(uncovered_parts(area, covers), overlap);
    EXPECT_FALSE(overlap);
    bool ignored = false;
    const auto holes = pixels_of(covers, ignored);
    std::set<std::pair<int32_t, int32_t>> want;
    for (const auto& p : pixels_of({area}, ignored))
        if (!holes.count(p)) want.insert(p);
    EXPECT_EQ(got, want);
}

TEST(UncoveredParts, LeavesExactlyWhatNoCoverOverlaps) {
    const Rect area{2, 3, 10, 8};
    expect_exact(area, {});                                      // nothing covered
    expect_exact(area, {{20, 20, 5, 5}});                        // cover elsewhere
    expect_exact(area, {{5, 6, 3, 2}});                          // hole in the middle
    expect_exact(area, {{0, 0, 20, 20}});                        // all covered
    expect_exact(area, {{5, 0, 20, 20}});                        // a sprite moved left by 3
    expect_exact(area, {{0, 8, 6, 10}, {9, 1, 2, 4}, {4, 4, 4, 4}});  // several, overlapping
    expect_exact(area, {{4, 4, 0, 5}, {4, 4, -3, 5}});           // empty covers count for nothing
    EXPECT_TRUE(uncovered_parts({0, 0, 0, 5}, {}).empty());
}

TEST(UncoveredParts, GivesTheWholeAreaBackWhenThePiecesWouldMultiply) {
    std::vector<Rect> dots;
    for (int32_t i = 0; i < 20; ++i) dots.push_back({1 + 2 * i, 1 + 2 * i, 1, 1});
    const auto parts = uncovered_parts({0, 0, 50, 50}, dots, 8);
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(parts[0], (Rect{0, 0, 50, 50}));
}

}  // namespace
}  // namespace vistaloom
