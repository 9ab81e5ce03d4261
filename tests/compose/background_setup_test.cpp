#include "compose/background_setup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "support/scene_parts.h"
#include "pixels/palette.h"
#include "sprites/sprite_model.h"

namespace vistaloom {
namespace {

struct Rig : testing::SceneParts {

    Rig() {
        const int32_t angles[] = {0, 180, 90, 270, 45, 135, 225, 315};
        const int32_t colours[] = {15, 14, 13, 12, 11, 10, 9, 5, 4, 2, 1};
        for (int32_t i = 0; i < 8; ++i) run.gradient_angles[i + 1] = angles[i];
        for (int32_t j = 0; j < 11; ++j) run.gradient_colors[j + 1] = colours[j];
        // Stale contents from the sheet loading must not survive the set-up.
        surfaces.work = Surface(640, 2401, 0xDEAD00);
        surfaces.main = Surface(5, 5, 0xDEAD00);
    }
};

bool all_pixels(const Surface& s, uint32_t pixel) {
    for (uint32_t p : s.pixels)
        if (p != pixel) return false;
    return true;
}

TEST(SetupBackground, FixedSceneIsCentredInALargerWindow) {
    Rig rig;
    rig.settings.scale_background = false;
    rig.settings.gradients_on = false;
    setup_background(rig.scene, 1024, 768);
    EXPECT_EQ(rig.surfaces.scene_width, 800);
    EXPECT_EQ(rig.surfaces.scene_height, 600);
    EXPECT_EQ(rig.surfaces.ascreen_left, 112);
    EXPECT_EQ(rig.surfaces.ascreen_top, 84);
    for (const Surface* s : {&rig.surfaces.ascreen, &rig.surfaces.main, &rig.surfaces.work}) {
        EXPECT_EQ(s->width, 800);
        EXPECT_EQ(s->height, 600);
    }
}

TEST(SetupBackground, ScaledSceneEqualsTheWindow) {
    Rig rig;
    rig.settings.scale_background = true;
    rig.settings.gradients_on = false;
    setup_background(rig.scene, 1366, 768);
    EXPECT_EQ(rig.surfaces.scene_width, 1366);
    EXPECT_EQ(rig.surfaces.scene_height, 768);
    EXPECT_EQ(rig.surfaces.ascreen_left, 0);
    EXPECT_EQ(rig.surfaces.ascreen_top, 0);
    EXPECT_EQ(rig.surfaces.work.width, 1366);
    EXPECT_EQ(rig.surfaces.main.height, 768);
}

TEST(SetupBackground, WindowWithoutASizeGivesTheFixedScene) {
    for (auto [w, h] : {std::pair{0, 768}, std::pair{1024, -5}, std::pair{-1, -1}}) {
        Rig rig;
        rig.settings.scale_background = true;
        rig.settings.gradients_on = false;
        setup_background(rig.scene, w, h);
        EXPECT_EQ(rig.surfaces.scene_width, 800);
        EXPECT_EQ(rig.surfaces.scene_height, 600);
        EXPECT_EQ(rig.surfaces.ascreen_left, 0);
        EXPECT_FALSE(rig.surfaces.work.empty());
    }
}

TEST(SetupBackground, WithoutGradientsEverythingIsBlackAndNoRandomNumberIsDrawn) {
    Rig rig;
    rig.settings.gradients_on = false;
    rig.surfaces.ascreen = Surface(1024, 768, 0xFFFFFF);
    setup_background(rig.scene, 1024, 768);
    EXPECT_TRUE(all_pixels(rig.surfaces.ascreen, 0));
    EXPECT_TRUE(all_pixels(rig.surfaces.main, 0));
    EXPECT_TRUE(all_pixels(rig.surfaces.work, 0));
    EXPECT_EQ(rig.random.draws, 0);
    EXPECT_EQ(rig.random.reseeds, 0);
    EXPECT_TRUE(rig.surfaces.ascreen_repainted);
}

TEST(SetupBackground, GradientTakesAngleThenColourFromTheReseededGenerator) {
    Rig rig;
    rig.settings.gradients_on = true;
    rig.settings.scale_background = false;
    rig.random.push(0.99);  // angle position 8: 315 degrees
    rig.random.push(0.0);   // colour position 1: palette 15, white
    rig.gradient.Color1(12345);
    setup_background(rig.scene, 1024, 768);
    EXPECT_EQ(rig.random.reseeds, 1);
    EXPECT_EQ(rig.random.draws, 2);
    EXPECT_EQ(rig.gradient.Angle(), 315.0f);
    EXPECT_EQ(rig.gradient.Color2(), 0xFFFFFF);
    EXPECT_EQ(rig.gradient.Color1(), 0);
    // The gradient was painted, and main and work hold the very same background.
    EXPECT_FALSE(all_pixels(rig.surfaces.ascreen, 0));
    EXPECT_EQ(rig.surfaces.main.pixels, rig.surfaces.ascreen.pixels);
    EXPECT_EQ(rig.surfaces.work.pixels, rig.surfaces.ascreen.pixels);
    EXPECT_TRUE(rig.surfaces.ascreen_repainted);
}

TEST(SetupBackground, EveryTablePositionCanBeReached) {
    Rig rig;
    rig.settings.gradients_on = true;
    rig.settings.scale_background = false;
    rig.random.push(0.0);    // angle position 1: 0 degrees
    rig.random.push(0.999);  // colour position 11: palette 1
    setup_background(rig.scene, 800, 600);
    EXPECT_EQ(rig.gradient.Angle(), 0.0f);
    EXPECT_EQ(static_cast<uint32_t>(rig.gradient.Color2()), palette_color(1));
}

// The start background is chosen before any scene picture exists (so it can be shown at
// once, band by band) and the bands are the rows of the background the pictures get later.
TEST(SetupBackground, StartRowsAreTheRowsOfTheBackgroundFilledLater) {
    for (const bool gradients : {true, false}) {
        for (const double angle_draw : {0.0, 0.3, 0.55, 0.99}) {
            Rig rig;
            rig.settings.gradients_on = gradients;
            rig.settings.scale_background = true;
            rig.surfaces.ascreen = Surface();
            rig.random.push(angle_draw);
            rig.random.push(0.5);
            choose_start_background(rig.scene, 203, 157);
            EXPECT_TRUE(rig.surfaces.ascreen.empty());
            EXPECT_EQ(rig.random.draws, gradients ? 2 : 0);
            std::vector<Surface> bands;
            for (int32_t top = 0; top < 157; top += 40) {
                bands.emplace_back(203, std::min(40, 157 - top), 0xDEAD00);
                paint_start_rows(rig.scene, bands.back(), top);
            }
            fill_start_background(rig.scene);
            EXPECT_EQ(rig.random.draws, gradients ? 2 : 0) << "the fill draws nothing more";
            EXPECT_EQ(rig.surfaces.work.pixels, rig.surfaces.ascreen.pixels);
            if (gradients) {
                EXPECT_FALSE(all_pixels(rig.surfaces.ascreen, 0));
            }
            for (size_t b = 0; b < bands.size(); ++b)
                for (int32_t y = 0; y < bands[b].height; ++y)
                    ASSERT_TRUE(std::equal(bands[b].row(y), bands[b].row(y) + 203,
                                           rig.surfaces.ascreen.row(static_cast<int32_t>(b) * 40 + y)))
                        << "gradients " << gradients << ", draw " << angle_draw << ", row "
                        << b * 40 + y;
        }
    }
}

TEST(Palette, HoldsTheSixteenStandardColoursAsBgr) {
    const uint32_t want[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                               0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                               0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    for (int32_t n = 0; n < 16; ++n) EXPECT_EQ(palette_color(n), want[n]) << n;
    EXPECT_EQ(palette_color(16), 0u);
    EXPECT_EQ(palette_color(-1), 0u);
}

}  // namespace
}  // namespace vistaloom
