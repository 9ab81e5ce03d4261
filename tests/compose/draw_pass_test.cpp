#include "compose/draw_pass.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "support/scene_parts.h"
#include "sprites/draw_order.h"
#include "sprites/sprite_model.h"
#include "sprites/sprite_motion.h"

namespace vistaloom {
namespace {

constexpr uint32_t kBackground = 0x000000;
constexpr uint32_t kCellA = 0xAA0000;  // cell 1 is solid kCellA, cell 2 solid kCellB
constexpr uint32_t kCellB = 0x00BB00;

struct Rig : testing::SceneParts {

    // A scene of w x h with two 3 x 2 cells side by side on a small sheet.
    explicit Rig(int32_t w = 30, int32_t h = 20) {
        settings.sprite_active = 10;
        for (int32_t k = 1; k <= 10; ++k) tables.draw_order[k] = k;
        set_cell(tables, 1, 0, 1, 3, 2);
        set_cell(tables, 2, 3, 1, 3, 2);
        surfaces.scene_width = w;
        surfaces.scene_height = h;
        surfaces.work = Surface(w, h, kBackground);
        surfaces.sprite = Surface(6, 3, 0x555555);
        for (int32_t y = 1; y < 3; ++y) {
            for (int32_t x = 0; x < 6; ++x) surfaces.sprite.at(x, y) = x < 3 ? kCellA : kCellB;
        }
    }

    sprite_rec& slot(int32_t s) { return tables.sprites[s]; }
    void draw() { draw_sprites(surfaces.work, surfaces.sprite, scene); }
    // Left-most column of row y showing `pixel`, or -1.
    int32_t drawn_at(int32_t y, uint32_t pixel) const {
        for (int32_t x = 0; x < surfaces.work.width; ++x)
            if (surfaces.work.at(x, y) == pixel) return x;
        return -1;
    }
};

TEST(DrawSprites, AcceleratingSpriteIsDrawnAtTheRoundedSums) {
    Rig rig;
    place_sprite(rig.tables, 1, 0, 4, 1, 1);
    set_accelerating_motion(rig.tables, 1, 0, 0, 0.5, 0, -20, -20, 50, 40);
    std::vector<double> sums;
    std::vector<int32_t> drawn;
    for (int frame = 0; frame < 5; ++frame) {
        rig.surfaces.work.fill(kBackground);
        rig.draw();
        sums.push_back(rig.slot(1).x);
        drawn.push_back(rig.drawn_at(4, kCellA));
    }
    EXPECT_EQ(sums, (std::vector<double>{0, 0.5, 1.5, 3.0, 5.0}));
    EXPECT_EQ(drawn, (std::vector<int32_t>{0, 0, 2, 3, 5}));
    EXPECT_EQ(rig.slot(1).dx, 2.5);  // the velocity changes after each move
}

TEST(DrawSprites, StraightSpriteIsFreedOnceItsLeftEdgePassesTheRightBound) {
    Rig rig;  // 30 wide, so the launcher's right bound is 50
    place_sprite(rig.tables, 1, 38, 5, 1, 1);
    set_straight_motion(rig.tables, 1, 4, 0, -20, -20, 50, 40);
    std::vector<double> alive_at;
    for (int frame = 0; frame < 5 && rig.slot(1).active; ++frame) {
        rig.draw();
        if (rig.slot(1).active) alive_at.push_back(rig.slot(1).x);
    }
    EXPECT_EQ(alive_at, (std::vector<double>{42, 46, 50}));  // 50 is not beyond 50
    EXPECT_EQ(rig.slot(1).x, 54);
    EXPECT_EQ(rig.slot(1).motion, kMotionNone);
    EXPECT_EQ(rig.slot(1).picture, 0);
}

TEST(DrawSprites, BoundTestsAreStrictOnEverySide) {
    struct Case {
        double x, y, dx, dy;
        bool alive;
    };
    // Cell 1 is 3 x 2; bounds left -20, top -20, right 50, bottom 40.
    const Case cases[] = {
        {-22, 5, -1, 0, true},                          // right edge at -20: on the bound
        {-22, 5, -1.5, 0, false}, {5, 39, 0, 1, true},  // top edge at 40: on the bound
        {5, 39, 0, 1.25, false},                        // 40.25 is beyond
        {5, -21, 0, -1, true},                          // bottom edge at -20
        {5, -21, 0, -1.5, false},
    };
    for (const Case& c : cases) {
        Rig rig;
        place_sprite(rig.tables, 1, c.x, c.y, 1, 1);
        set_straight_motion(rig.tables, 1, c.dx, c.dy, -20, -20, 50, 40);
        rig.draw();
        EXPECT_EQ(rig.slot(1).active == 1, c.alive)
            << c.x << "," << c.y << " by " << c.dx << "," << c.dy;
    }
}

TEST(DrawSprites, AcceleratingSpriteReadsItsBoundsAfterTheAcceleration) {
    Rig rig;
    place_sprite(rig.tables, 2, 10, 5, 1, 1);
    set_accelerating_motion(rig.tables, 2, 0, 0, 0.25, 0, -20, -20, 50, 40);
    place_sprite(rig.tables, 3, 10, 5, 1, 1);
    set_accelerating_motion(rig.tables, 3, 0, 0, 0.25, 0, -20, -20, 9.5, 40);
    rig.draw();
    EXPECT_EQ(rig.slot(2).active, 1);
    EXPECT_EQ(rig.slot(3).active, 0);
    EXPECT_EQ(rig.drawn_at(5, kCellA), 10);
}

TEST(DrawSprites, LaterSpriteInDrawOrderCoversTheEarlier) {
    for (bool swapped : {false, true}) {
        Rig rig;
        if (swapped) std::swap(rig.tables.draw_order[1], rig.tables.draw_order[2]);
        place_sprite(rig.tables, 1, 4, 4, 1, 1);
        place_sprite(rig.tables, 2, 5, 4, 2, 2);
        rig.draw();
        EXPECT_EQ(rig.surfaces.work.at(5, 4), swapped ? kCellA : kCellB);
        EXPECT_EQ(rig.surfaces.work.at(4, 4), kCellA);
        EXPECT_EQ(rig.surfaces.work.at(7, 5), kCellB);
    }
}

TEST(DrawSprites, NoThemesShowsTheNoThemePictureForEveryCell) {
    Rig rig(700, 300);
    rig.run.no_themes = 1;
    rig.surfaces.no_mods = Surface(320, 240, 0x123456);
    rig.surfaces.no_mods.at(319, 239) = 0x654321;
    place_sprite(rig.tables, 1, 10, 20, 2, 2);
    place_sprite(rig.tables, 2, 360, 50, 7, 7);
    rig.draw();
    EXPECT_EQ(rig.surfaces.work.at(10, 20), 0x123456u);
    EXPECT_EQ(rig.surfaces.work.at(10 + 319, 20 + 239), 0x654321u);
    EXPECT_EQ(rig.surfaces.work.at(360 + 319, 50 + 239), 0x654321u);
    EXPECT_EQ(rig.surfaces.work.at(9, 20), kBackground);
}

TEST(DrawSprites, MotionZeroStaysAndIsDrawnEveryFrame) {
    Rig rig;
    place_sprite(rig.tables, 1, 7.5, 3, 1, 1);  // placed without a motion
    for (int frame = 0; frame < 3; ++frame) {
        rig.surfaces.work.fill(kBackground);
        rig.draw();
        EXPECT_EQ(rig.slot(1).active, 1);
        EXPECT_EQ(rig.slot(1).x, 7.5);
        EXPECT_EQ(rig.drawn_at(3, kCellA), 8);
    }
}

TEST(DrawSprites, OnlyLiveSlotsAreVisited) {
    Rig rig;
    rig.settings.sprite_active = 1;
    place_sprite(rig.tables, 2, 0, 0, 1, 1);
    set_straight_motion(rig.tables, 2, 1, 0, -20, -20, 50, 40);
    rig.draw();
    EXPECT_EQ(rig.slot(2).x, 0);
    EXPECT_EQ(rig.drawn_at(0, kCellA), -1);
}

TEST(MotionSteps, IgnoreSlotNumbersOutsideTheTable) {
    Rig rig;
    for (int32_t bad : {0, 11, -1, 1000}) {
        move_straight(rig.scene, bad);
        move_accelerating(rig.scene, bad);
    }
    EXPECT_EQ(rig.slot(0).x, 0);
}

}  // namespace
}  // namespace vistaloom
