#include "compose/frame_passes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "support/scene_parts.h"
#include "compose/draw_pass.h"
#include "sprites/draw_order.h"
#include "sprites/sprite_model.h"
#include "sprites/sprite_motion.h"

namespace vistaloom {
namespace {

constexpr uint32_t kBackground = 0x102030;
constexpr uint32_t kJunk = 0xABCDEF;

// One session's objects, with small cells so that whole surfaces can be checked pixel by
// pixel: cell 1 is 4 x 3 and cell 2 is 6 x 5, both cut from a sheet of numbered pixels.
struct Rig : testing::SceneParts {

    explicit Rig(int32_t w = 40, int32_t h = 30) {
        settings.sprite_active = 10;
        for (int32_t k = 1; k <= 10; ++k) tables.draw_order[k] = k;
        set_cell(tables, 1, 0, 1, 4, 3);
        set_cell(tables, 2, 4, 1, 6, 5);
        surfaces.scene_width = w;
        surfaces.scene_height = h;
        surfaces.main = Surface(w, h, kBackground);
        surfaces.work = Surface(w, h, kBackground);
        surfaces.ascreen = Surface(w, h, kBackground);
        surfaces.sprite = Surface(10, 6);
        for (int32_t y = 0; y < 6; ++y)
            for (int32_t x = 0; x < 10; ++x) surfaces.sprite.at(x, y) = 0x800000u | (y << 8) | x;
    }

    sprite_rec& slot(int32_t s) { return tables.sprites[s]; }

    void frame() {
        restore_background(surfaces.work, surfaces.main, scene);
        draw_sprites(surfaces.work, surfaces.sprite, scene);
        present_frame(surfaces.ascreen, surfaces.work, scene);
    }
};

// Pixels of `s` that differ from `pixel`, as a bounding rectangle (w 0 when none).
Rect region_not(const Surface& s, uint32_t pixel) {
    int32_t x0 = s.width, y0 = s.height, x1 = -1, y1 = -1;
    for (int32_t y = 0; y < s.height; ++y) {
        for (int32_t x = 0; x < s.width; ++x) {
            if (s.at(x, y) == pixel) continue;
            x0 = std::min(x0, x);
            y0 = std::min(y0, y);
            x1 = std::max(x1, x);
            y1 = std::max(y1, y);
        }
    }
    if (x1 < 0) return {};
    return {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

TEST(PresentFrame, SpriteMovingLeftByThreePresents324By241) {
    Rig rig(1920, 1080);
    set_cell(rig.tables, 1, 0, 1, 320, 240);
    rig.surfaces.sprite = Surface(640, 2401, 0x777777);
    place_sprite(rig.tables, 1, 803, 400, 1, 1);
    set_straight_motion(rig.tables, 1, -3, 0, -20, -20, 1940, 1100);
    rig.slot(1).last_x = 803;  // as if presented at 803 the frame before
    rig.slot(1).last_y = 400;
    rig.slot(1).last_cell = 1;
    for (int frame = 0; frame < 3; ++frame) {
        rig.surfaces.presented.clear();
        rig.frame();
        ASSERT_EQ(rig.surfaces.presented.size(), 1u);
        const double x = 803 - 3 * (frame + 1);
        EXPECT_EQ(rig.surfaces.presented[0], (Rect{static_cast<int32_t>(x), 400, 324, 241}));
        EXPECT_TRUE(rig.slot(1).drawn);
        EXPECT_EQ(rig.slot(1).last_x, x);
        EXPECT_EQ(rig.slot(1).last_cell, 1);
    }
}

TEST(PresentFrame, CopiesTheRoundedUnionPlusOneFromWorkOnly) {
    Rig rig;
    rig.surfaces.work.fill(kJunk);
    place_sprite(rig.tables, 3, 10.5, 7.5, 1, 1);  // 4 x 3 now
    rig.slot(3).last_x = 12.5;                     // 6 x 5 before
    rig.slot(3).last_y = 4;
    rig.slot(3).last_cell = 2;
    present_frame(rig.surfaces.ascreen, rig.surfaces.work, rig.scene);
    // x: 10.5 .. 18.5, width 8 + 1 = 9 at 10 (10.5 to even); y: 4 .. 10.5, height 7.5 rounds
    // to 8 at 4.
    const Rect want{10, 4, 9, 8};
    ASSERT_EQ(rig.surfaces.presented, std::vector<Rect>{want});
    EXPECT_EQ(region_not(rig.surfaces.ascreen, kBackground), want);
    const sprite_rec& s = rig.slot(3);
    EXPECT_TRUE(s.drawn);
    EXPECT_EQ(s.last_x, 10.5);
    EXPECT_EQ(s.last_y, 7.5);
    EXPECT_EQ(s.last_cell, 1);
}

TEST(PresentFrame, SkipsFreeSlotsAndSlotsBeyondTheLiveCount) {
    Rig rig;
    rig.settings.sprite_active = 2;
    place_sprite(rig.tables, 1, 5, 5, 1, 1);
    reset_sprite(rig.tables, 1);
    rig.slot(1).drawn = true;
    place_sprite(rig.tables, 3, 5, 5, 1, 1);  // active, but above sprite_active
    present_frame(rig.surfaces.ascreen, rig.surfaces.work, rig.scene);
    EXPECT_TRUE(rig.surfaces.presented.empty());
    EXPECT_TRUE(rig.slot(1).drawn);  // left for the next restore
    EXPECT_FALSE(rig.slot(3).drawn);
}

TEST(RestoreBackground, UsesTheLastRectangleAndCellAndClearsDrawn) {
    Rig rig;
    for (int32_t y = 0; y < 30; ++y)
        for (int32_t x = 0; x < 40; ++x) rig.surfaces.main.at(x, y) = (y << 8) | x;
    rig.surfaces.work.fill(kJunk);
    sprite_rec& s = rig.slot(2);
    s.cell = 1;  // the current cell must not matter
    s.x = 30;
    s.last_x = 2.5;
    s.last_y = 3.5;
    s.last_cell = 2;
    s.drawn = true;
    s.active = 0;  // freed slots are restored too
    rig.slot(4) = s;
    rig.slot(4).drawn = false;  // not drawn: skipped
    rig.slot(4).last_x = 20;

    restore_background(rig.surfaces.work, rig.surfaces.main, rig.scene);

    EXPECT_FALSE(rig.slot(2).drawn);
    for (int32_t y = 0; y < 30; ++y) {
        for (int32_t x = 0; x < 40; ++x) {
            const bool inside = x >= 2 && x < 8 && y >= 4 && y < 9;
            ASSERT_EQ(rig.surfaces.work.at(x, y), inside ? ((y << 8) | x) : kJunk) << x << "," << y;
        }
    }
}

TEST(FramePasses, SpriteFreedInTheFrameItLeavesIsNeitherDrawnNorPresented) {
    Rig rig;  // 40 x 30 scene, bounds 20 beyond it
    place_sprite(rig.tables, 1, 56, 10, 1, 1);
    set_straight_motion(rig.tables, 1, 4, 0, -20, -20, 60, 50);
    rig.surfaces.work.fill(kBackground);

    rig.frame();  // x = 60: on the bound, still alive, drawn off-scene
    EXPECT_EQ(rig.slot(1).active, 1);
    ASSERT_EQ(rig.surfaces.presented.size(), 1u);

    // Put a visible image where it was presented, as if it had been on the scene.
    rig.slot(1).last_x = 30;
    blit(rig.surfaces.work, 30, 10, rig.surfaces.sprite, 0, 1, 4, 3);
    blit(rig.surfaces.ascreen, 30, 10, rig.surfaces.sprite, 0, 1, 4, 3);
    const Surface shown = rig.surfaces.ascreen;
    rig.surfaces.presented.clear();

    rig.frame();  // x = 64 > 60: freed
    EXPECT_EQ(rig.slot(1).active, 0);
    EXPECT_FALSE(rig.slot(1).drawn);
    EXPECT_TRUE(rig.surfaces.presented.empty());
    EXPECT_EQ(rig.surfaces.work.pixels, rig.surfaces.main.pixels);  // erased from work
    EXPECT_EQ(rig.surfaces.ascreen.pixels, shown.pixels);  // the screen keeps its last image
}

TEST(FramePasses, DamagedTablesDoNotCrash) {
    Rig rig;
    rig.tables.draw_order[1] = 0;
    rig.tables.draw_order[2] = 42;
    rig.tables.draw_order[3] = -7;
    rig.settings.sprite_active = 250;  // more than the slots: the walk stops at ten
    for (int32_t k = 1; k <= 10; ++k) {
        rig.slot(k).active = 1;
        rig.slot(k).drawn = true;
        rig.slot(k).cell = (k % 2) ? 0 : 99;
        rig.slot(k).last_cell = -1;
        rig.slot(k).x = 1e12;
        rig.slot(k).last_x = -1e12;
    }
    rig.frame();
    EXPECT_EQ(rig.surfaces.work.pixels, rig.surfaces.main.pixels);
    EXPECT_EQ(cell_row_or_empty(rig.tables, 0).width, 0);
    EXPECT_EQ(cell_row_or_empty(rig.tables, 21).height, 0);
    EXPECT_EQ(slot_in_draw_order(rig.tables, 11), 0);
}

}  // namespace
}  // namespace vistaloom
