#include "pixels/gradient_rect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include <string>
#include <vector>

#include "pixels/line_drawing.h"
#include "ground/desktop.h"

namespace vistaloom {
namespace {

using PointL = clsGradient::PointL;

class ColourDesktop : public Desktop {
  public:
    std::vector<int> asked;
    int show_cursor(bool) override { return 0; }
    void set_screen_saver_running(bool) override {}
    int32_t platform_id() override { return 2; }
    int verify_screen_save_password(int64_t) override { return 1; }
    bool set_wallpaper(const std::string&) override { return true; }
    bool copy_to_clipboard(const Surface&) override { return true; }
    bool open_url(const std::string&) override { return true; }
    std::string time_designator(bool) override { return {}; }
    bool display_on() override { return true; }
    bool on_battery() override { return false; }
    uint32_t system_color(int index) override {
        asked.push_back(index);
        return 0x00010203u + static_cast<uint32_t>(index);
    }
};

// Runs the sweep on a surface of the given size and returns the line list.
std::vector<PointL> sweep(float angle, int32_t w, int32_t h, int32_t* result = nullptr) {
    clsGradient gradient;
    gradient.Angle(angle);
    Surface surface(w, h);
    const int32_t drawn = gradient.PaintGradientLines(surface, w, h);
    if (result) *result = drawn;
    return gradient.last_points();
}

TEST(Gradient, NewObjectStartsWithItsDocumentedColoursAndAngle) {
    clsGradient gradient;
    EXPECT_EQ(gradient.Color1(), 16777168);
    EXPECT_EQ(gradient.Color2(), 4194304);
    EXPECT_EQ(gradient.Angle(), 315.0f);
}

TEST(Gradient, AngleIsBroughtIntoRange) {
    clsGradient gradient;
    gradient.Angle(-90.0f);
    EXPECT_EQ(gradient.Angle(), 270.0f);
    gradient.Angle(720.0f);
    EXPECT_EQ(gradient.Angle(), 0.0f);
    gradient.Angle(359.5f);
    EXPECT_EQ(gradient.Angle(), 359.5f);
    gradient.Angle(-0.00001f);  // just below 0 must not be stored as 360
    EXPECT_LT(gradient.Angle(), 360.0f);
    gradient.Angle(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(gradient.Angle(), 0.0f);
    for (float huge : {3e38f, -3e38f, 1e30f, std::numeric_limits<float>::max()}) {
        gradient.Angle(huge);
        EXPECT_GE(gradient.Angle(), 0.0f) << huge;
        EXPECT_LT(gradient.Angle(), 360.0f) << huge;
    }
}

TEST(Gradient, SystemColourReferencesAreResolved) {
    clsGradient classic;
    classic.Color1(static_cast<int32_t>(0x80000005u));  // window background: white
    EXPECT_EQ(classic.Color1(), 0x00FFFFFF);
    classic.Color2(static_cast<int32_t>(0x80000019u));  // 25 is no system colour
    EXPECT_EQ(classic.Color2(), static_cast<int32_t>(0x80000019u));

    ColourDesktop desktop;
    clsGradient themed(&desktop);
    themed.Color2(static_cast<int32_t>(0x80000005u));
    EXPECT_EQ(themed.Color2(), 0x00010208);
    themed.Color1(static_cast<int32_t>(0x80000000u));
    EXPECT_EQ(themed.Color1(), 0x00010203);
    themed.Color1(12345);
    EXPECT_EQ(themed.Color1(), 12345);
    EXPECT_EQ(desktop.asked, (std::vector<int>{5, 0}));
}

TEST(Gradient, BlendColorsDividesByTheStepCount) {
    clsGradient gradient;
    std::vector<int32_t> colours;
    EXPECT_EQ(gradient.BlendColors(0, 16711680, 4, colours), 4);
    EXPECT_EQ(colours, (std::vector<int32_t>{0, 4194304, 8388608, 16711680}));
    EXPECT_EQ(gradient.BlendColors(0, 16711680, 2, colours), 2);
    EXPECT_EQ(colours, (std::vector<int32_t>{0, 16711680}));
    for (int32_t steps : {0, 1, -7}) {
        EXPECT_EQ(gradient.BlendColors(0, 16711680, steps, colours), 2);
        EXPECT_EQ(colours, (std::vector<int32_t>{0, 16711680}));
    }
    // Every channel on its own, and going down as well as up.
    EXPECT_EQ(gradient.BlendColors(0x0000FF, 0x00FF00, 3, colours), 3);
    EXPECT_EQ(colours, (std::vector<int32_t>{0x0000FF, 0x005500 + 0xAA, 0x00FF00}));
}

TEST(Gradient, VerticalSweepsAt0And180) {
    int32_t result = 0;
    auto points = sweep(0, 800, 600, &result);
    EXPECT_EQ(result, 1604);
    ASSERT_EQ(points.size(), 1604u);
    for (size_t k = 0; k < 802; ++k) {
        ASSERT_EQ(points[2 * k], (PointL{int32_t(k), 867})) << k;
        ASSERT_EQ(points[2 * k + 1], (PointL{int32_t(k), -267})) << k;
    }

    points = sweep(180, 800, 600, &result);
    ASSERT_EQ(points.size(), 1604u);
    EXPECT_EQ(points.front().x, 800);
    EXPECT_EQ(points.back().x, -1);
    for (size_t j = 0; j < points.size(); ++j) ASSERT_EQ(points[j].x, 800 - int32_t(j / 2));
}

TEST(Gradient, HorizontalSweepsAt90And270) {
    int32_t result = 0;
    auto points = sweep(90, 800, 600, &result);
    EXPECT_EQ(result, 1204);
    ASSERT_EQ(points.size(), 1204u);
    for (size_t k = 0; k < 602; ++k) {
        ASSERT_EQ(points[2 * k], (PointL{967, 600 - int32_t(k)})) << k;
        ASSERT_EQ(points[2 * k + 1], (PointL{-167, 600 - int32_t(k)})) << k;
    }

    points = sweep(270, 800, 600);
    ASSERT_EQ(points.size(), 1204u);
    EXPECT_EQ(points.front().y, 0);
    EXPECT_EQ(points.back().y, 601);
}

// At 45 degrees the base line is as steep as it is wide; the tie must count as steep, which
// sweeps along x and gives 1603 lines, the first one starting on the left edge.
TEST(Gradient, DiagonalSweepAt45TreatsTheTieAsSteep) {
    int32_t result = 0;
    const auto points = sweep(45, 800, 600, &result);
    ASSERT_EQ(points.size(), 3206u);
    EXPECT_EQ(result, 3206);
    EXPECT_EQ(points[0], (PointL{0, 701}));
    EXPECT_EQ(points[1], (PointL{-801, -101}));
    EXPECT_EQ(points[2], (PointL{1, 701}));
}

TEST(Gradient, DiagonalSweepAt315EndsOnAnUnpairedPoint) {
    clsGradient gradient;
    Surface surface(800, 600);
    EXPECT_EQ(gradient.PaintGradientLines(surface, 800, 600), 3204);
    const auto& points = gradient.last_points();
    ASSERT_EQ(points.size(), 3205u);
    EXPECT_EQ(points[0], (PointL{-801, 701}));
    EXPECT_EQ(points[1], (PointL{0, -101}));
    EXPECT_EQ(gradient.last_colors().size(), 1602u);
    EXPECT_EQ(gradient.last_colors().front(), 16777168);
    EXPECT_EQ(gradient.last_colors().back(), 4194304);
}

// 135 runs from the bottom-right corner to the top-left one: the rotated base line comes out
// a hair flatter than steep, so the sweep goes bottom-up, one row at a time, 1403 lines.
TEST(Gradient, DiagonalSweepAt135RunsBottomUp) {
    int32_t result = 0;
    const auto points = sweep(135, 800, 600, &result);
    ASSERT_EQ(points.size(), 2806u);
    EXPECT_EQ(result, 2806);
    EXPECT_EQ(points[0], (PointL{801, 600}));
    EXPECT_EQ(points[1], (PointL{-1, 1401}));
    EXPECT_EQ(points[2], (PointL{801, 599}));
    EXPECT_EQ(points[2804], (PointL{801, -802}));
    EXPECT_EQ(points[2805], (PointL{-1, -1}));
}

// 225 runs from the top-right corner to the bottom-left one, steep lines swept right to left.
TEST(Gradient, DiagonalSweepAt225RunsRightToLeft) {
    int32_t result = 0;
    const auto points = sweep(225, 800, 600, &result);
    ASSERT_EQ(points.size(), 3206u);
    EXPECT_EQ(result, 3206);
    EXPECT_EQ(points[0], (PointL{800, -101}));
    EXPECT_EQ(points[1], (PointL{1601, 701}));
    EXPECT_EQ(points[2], (PointL{799, -101}));
    EXPECT_EQ(points[3204], (PointL{-802, -101}));
    EXPECT_EQ(points[3205], (PointL{-1, 701}));
}

// Which corner gets which colour: the first colour where the sweep starts.
TEST(Gradient, DiagonalsStartTheirFirstColourInTheRightCorner) {
    struct Case {
        float angle;
        int32_t red_x, red_y, blue_x, blue_y;
    };
    for (const Case c : {Case{45, 0, 599, 799, 0}, Case{135, 799, 599, 0, 0},
                         Case{225, 799, 0, 0, 599}, Case{315, 0, 0, 799, 599}}) {
        clsGradient gradient;
        gradient.Angle(c.angle);
        gradient.Color1(0x0000FF);  // red first
        gradient.Color2(0xFF0000);  // blue last
        Surface surface(800, 600);
        ASSERT_TRUE(gradient.Draw(surface));
        uint32_t most_red = 0, most_blue = 0;
        for (int32_t y : {0, 599})
            for (int32_t x : {0, 799}) {
                most_red = std::max(most_red, (surface.at(x, y) >> 16) & 0xFF);
                most_blue = std::max(most_blue, surface.at(x, y) & 0xFF);
            }
        EXPECT_EQ((surface.at(c.red_x, c.red_y) >> 16) & 0xFF, most_red) << c.angle;
        EXPECT_EQ(surface.at(c.blue_x, c.blue_y) & 0xFF, most_blue) << c.angle;
    }
}

TEST(Gradient, FirstAndLastLinesCarryTheTwoColours) {
    clsGradient gradient;
    gradient.Angle(0);
    gradient.Color1(0x0000FF);  // red
    gradient.Color2(0xFF0000);  // blue
    Surface surface(800, 600);
    ASSERT_TRUE(gradient.Draw(surface));
    EXPECT_EQ(surface.at(0, 0), pixel_from_color(0x0000FF));
    EXPECT_EQ(surface.at(0, 599), pixel_from_color(0x0000FF));
    // Line 799 of 802 is the last one inside: three steps short of the blue line.
    const auto& colours = gradient.last_colors();
    ASSERT_EQ(colours.size(), 802u);
    EXPECT_EQ(surface.at(799, 300), pixel_from_color(static_cast<uint32_t>(colours[799])));
    EXPECT_EQ(colours[801], 0xFF0000);
}

TEST(Gradient, TinySurfacesAreNotDrawn) {
    clsGradient gradient;
    Surface thin(1, 50, 0x123456), flat(50, 1, 0x123456), none;
    EXPECT_FALSE(gradient.Draw(thin));
    EXPECT_FALSE(gradient.Draw(flat));
    EXPECT_FALSE(gradient.Draw(none));
    EXPECT_EQ(thin.at(0, 10), 0x123456u);
    EXPECT_TRUE(gradient.last_points().empty());
}

// The fill is painted in one pass; it must equal drawing the listed lines one by one.
TEST(Gradient, DrawPaintsTheListedLinesInOrder) {
    const float angles[] = {0, 45, 90, 135, 180, 225, 270, 315, 20, 75, 160, 250, 290};
    const int32_t sizes[][2] = {{64, 48}, {31, 77}, {90, 13}};
    for (float angle : angles) {
        for (const auto& size : sizes) {
            clsGradient gradient;
            gradient.Angle(angle);
            Surface drawn(size[0], size[1], 0xFF000000u);
            ASSERT_TRUE(gradient.Draw(drawn));
            Surface reference(size[0], size[1], 0xFF000000u);
            const auto& points = gradient.last_points();
            for (size_t j = 0; j + 1 < points.size(); j += 2) {
                draw_line(reference, points[j].x, points[j].y, points[j + 1].x, points[j + 1].y,
                          pixel_from_color(static_cast<uint32_t>(gradient.last_colors()[j / 2])));
            }
            ASSERT_EQ(drawn.pixels, reference.pixels)
                << "angle " << angle << " on " << size[0] << " x " << size[1];
        }
    }
}

// Neighbouring lines must leave no pixel unpainted, whatever the angle and surface shape.
TEST(Gradient, EveryPixelIsCoveredAtEveryAngle) {
    const uint32_t sentinel = 0xFF000000u;  // no line colour has a top byte
    const float angles[] = {0, 45, 90, 135, 180, 225, 270, 315, 10, 30, 60, 100, 200.5f, 300, 359};
    const int32_t sizes[][2] = {{800, 600}, {2, 2},   {3, 7},   {7, 3},    {101, 33},
                                {33, 101},  {64, 64}, {65, 64}, {1000, 3}, {5, 997}};
    for (float angle : angles) {
        for (const auto& size : sizes) {
            clsGradient gradient;
            gradient.Angle(angle);
            gradient.Color1(0x000000);
            gradient.Color2(0xFFFFFF);
            Surface surface(size[0], size[1], sentinel);
            ASSERT_TRUE(gradient.Draw(surface));
            int64_t gaps = 0;
            for (uint32_t p : surface.pixels) gaps += (p == sentinel);
            EXPECT_EQ(gaps, 0) << "angle " << angle << " on " << size[0] << " x " << size[1];
        }
    }
}

// A large gradient is shown band by band before the whole picture exists: every band must
// hold exactly the rows of the whole, however the band cuts the lines.
TEST(Gradient, BandsHoldTheRowsOfTheWholeSurface) {
    const float angles[] = {0, 45, 90, 135, 180, 225, 270, 315, 10, 100, 200.5f, 359};
    const int32_t sizes[][2] = {{800, 600}, {3, 7}, {101, 33}, {33, 101}, {1000, 3}, {5, 97}};
    for (float angle : angles) {
        for (const auto& size : sizes) {
            clsGradient gradient;
            gradient.Angle(angle);
            gradient.Color1(0x102030);
            gradient.Color2(0xFFFFFF);
            Surface whole(size[0], size[1]);
            ASSERT_TRUE(gradient.Draw(whole));
            for (int32_t rows : {1, 7, 64}) {
                for (int32_t top = 0; top < size[1]; top += rows) {
                    Surface band(size[0], std::min(rows, size[1] - top), 0xFF000000u);
                    ASSERT_TRUE(gradient.DrawRows(band, size[0], size[1], top));
                    for (int32_t y = 0; y < band.height; ++y)
                        ASSERT_TRUE(std::equal(band.row(y), band.row(y) + band.width,
                                               whole.row(top + y)))
                            << "angle " << angle << " on " << size[0] << " x " << size[1]
                            << ", row " << top + y << " in a band of " << rows;
                }
            }
        }
    }
}

}  // namespace
}  // namespace vistaloom
