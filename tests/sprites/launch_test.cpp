#include <gtest/gtest.h>

#include "sprites/sprite_motion.h"
#include "sprite_rig.h"
#include "sprites/scene_step.h"

namespace vistaloom {
namespace {

using testing::SpriteRig;

// One launch draws: picture, minor speed, major speed, path, start position.
void queue_launch(SpriteRig& rig, double picture, double minor, double major, int32_t path,
                  double start) {
    rig.queue({picture, minor, major, (path - 1) / 5.0 + 0.01, start});
}

TEST(Launch, FourFreeSlotsTakeTheNextFourEdgesWithFourPictures) {
    SpriteRig rig;
    rig.run().rotation_index = 2;  // next edges: positions 3..6 = left, right, left, bottom
    for (int i = 0; i < 4; ++i) queue_launch(rig, 0.0, 0.0, 0.0, 1, 0.0);
    scene_step(rig.scene());

    EXPECT_EQ(rig.random.reseeds, 1);
    EXPECT_TRUE(rig.random.values.empty());
    EXPECT_EQ(rig.run().rotation_index, 6);
    EXPECT_EQ(count_active_sprites(rig.tables(), 4), 4);
    EXPECT_EQ(rig.slot(1).x, -320);  // left
    EXPECT_EQ(rig.slot(2).x, 1024);  // right
    EXPECT_EQ(rig.slot(3).x, -320);  // left
    EXPECT_EQ(rig.slot(4).y, 768);   // bottom
    // Every draw of 1 is passed over for the next number nobody holds.
    EXPECT_EQ(rig.slot(1).picture, 2);
    EXPECT_EQ(rig.slot(2).picture, 3);
    EXPECT_EQ(rig.slot(3).picture, 4);
    EXPECT_EQ(rig.slot(4).picture, 5);
    for (int32_t s = 1; s <= 4; ++s) EXPECT_EQ(rig.slot(s).cell, rig.slot(s).picture);
    for (int32_t s = 5; s <= 10; ++s) EXPECT_EQ(rig.slot(s).active, 0);

    // Live slots are left alone; only a freed one is refilled.
    rig.slot(3).active = 0;
    rig.slot(3).picture = 0;
    queue_launch(rig, 0.0, 0.0, 0.0, 1, 0.0);
    scene_step(rig.scene());
    EXPECT_EQ(rig.run().rotation_index, 7);
    EXPECT_EQ(rig.slot(3).y, -239);  // position 7 is the top edge
    EXPECT_EQ(rig.slot(3).picture, 4);
}

TEST(Launch, RotationWrapsFromTenToTheTopEdge) {
    SpriteRig rig;
    rig.run().rotation_index = 10;
    queue_launch(rig, 0.0, 0.0, 0.0, 1, 0.0);
    launch_sprite(rig.scene(), 1);
    EXPECT_EQ(rig.run().rotation_index, 1);
    EXPECT_EQ(rig.slot(1).y, -239);
}

TEST(Launch, PictureSearchStartsAfterTheDrawAndSkipsPicturesInUse) {
    SpriteRig rig;  // four live slots
    rig.slot(1).picture = 5;
    rig.slot(2).picture = 6;
    rig.slot(3).picture = 7;
    rig.queue({0.16});  // draw 4
    EXPECT_EQ(choose_picture(rig.scene()), 8);

    rig.slot(1).picture = 20;
    rig.slot(2).picture = 1;
    rig.slot(3).picture = 0;
    rig.queue({0.91});  // draw 19
    EXPECT_EQ(choose_picture(rig.scene()), 2);

    // A picture held by a slot above the live ones does not count.
    rig.slot(5).picture = 2;
    rig.queue({0.91});
    EXPECT_EQ(choose_picture(rig.scene()), 2);

    // With one live slot the draw itself is taken, even the picture already shown.
    rig.owner->settings.sprite_active = 1;
    rig.slot(1).picture = 4;
    rig.queue({0.16});
    EXPECT_EQ(choose_picture(rig.scene()), 4);
    EXPECT_TRUE(rig.random.values.empty());
}

TEST(Launch, EveryPathOnEveryEdgeStartsAndMovesAsTabled) {
    // 1024 x 768, speed factor 1. Minor draw 0.3 -> table entry 3, major 0.6 -> entry 12,
    // start position draw 0.5.
    const double mx = 3 * 1024 / 4000.0, my = 3 * 768 / 4000.0;
    const double Mx = 12 * 1024 / 4000.0, My = 12 * 768 / 4000.0;
    struct Row {
        int32_t edge, path;
        double x, y;
        int32_t motion;
        double dx, dy, ax, ay;
    };
    const Row rows[] = {
        {1, 1, 353, -239, 3, 0, My, 0, 0},        {1, 2, 257, -239, 3, mx, My, 0, 0},
        {1, 3, 607, -239, 3, -mx, My, 0, 0},      {1, 4, 81, -239, 5, 0, My, mx / 64, 0},
        {1, 5, 783, -239, 5, 0, My, -mx / 64, 0}, {2, 1, 353, 768, 3, 0, -My, 0, 0},
        {2, 2, 257, 768, 3, mx, -My, 0, 0},       {2, 3, 607, 768, 3, -mx, -My, 0, 0},
        {2, 4, 81, 768, 5, 0, -My, mx / 64, 0},   {2, 5, 783, 768, 5, 0, -My, -mx / 64, 0},
        {3, 1, -320, 265, 3, Mx, 0, 0, 0},        {3, 2, -320, 193, 3, Mx, my, 0, 0},
        {3, 3, -320, 455, 3, Mx, -my, 0, 0},      {3, 4, -320, 61, 5, Mx, 0, 0, my / 64},
        {3, 5, -320, 587, 5, Mx, 0, 0, -my / 64}, {4, 1, 1024, 265, 3, -Mx, 0, 0, 0},
        {4, 2, 1024, 193, 3, -Mx, my, 0, 0},      {4, 3, 1024, 455, 3, -Mx, -my, 0, 0},
        {4, 4, 1024, 61, 5, -Mx, 0, 0, my / 64},  {4, 5, 1024, 587, 5, -Mx, 0, 0, -my / 64},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << "edge " << row.edge << " path " << row.path);
        SpriteRig rig;
        rig.run().rotation_index = row.edge - 1;  // positions 1..4 hold edges 1..4
        queue_launch(rig, 0.0, 0.3, 0.6, row.path, 0.5);
        launch_sprite(rig.scene(), 1);
        ASSERT_TRUE(rig.random.values.empty());
        const sprite_rec& s = rig.slot(1);
        EXPECT_EQ(s.active, 1);
        EXPECT_EQ(s.x, row.x);
        EXPECT_EQ(s.y, row.y);
        EXPECT_EQ(s.motion, row.motion);
        EXPECT_DOUBLE_EQ(s.dx, row.dx);
        EXPECT_DOUBLE_EQ(s.dy, row.dy);
        if (row.motion == kMotionAccelerating) {
            EXPECT_DOUBLE_EQ(s.param1, row.ax);
            EXPECT_DOUBLE_EQ(s.param2, row.ay);
            EXPECT_EQ(s.param3, -20);
            EXPECT_EQ(s.param4, -20);
            EXPECT_EQ(s.param5, 1044);
            EXPECT_EQ(s.param6, 788);
        } else {
            EXPECT_EQ(s.param1, -20);
            EXPECT_EQ(s.param2, -20);
            EXPECT_EQ(s.param3, 1044);
            EXPECT_EQ(s.param4, 788);
        }
    }
}

TEST(Launch, SpeedDrawsSpanTheirTableEntriesMinorFirst) {
    SpriteRig rig;
    const auto& t = rig.tables();
    rig.run().speed_factor = 2.0;
    rig.run().rotation_index = 0;  // top: minor horizontal, major vertical
    queue_launch(rig, 0.0, 0.0, 0.9999, 2, 0.0);
    launch_sprite(rig.scene(), 1);
    EXPECT_DOUBLE_EQ(rig.slot(1).dx, 2.0 * t.speed_x[2]);
    EXPECT_DOUBLE_EQ(rig.slot(1).dy, 2.0 * t.speed_y[16]);

    rig.run().rotation_index = 2;  // left: minor vertical, major horizontal
    queue_launch(rig, 0.0, 0.9999, 0.0, 2, 0.0);
    launch_sprite(rig.scene(), 2);
    EXPECT_DOUBLE_EQ(rig.slot(2).dy, 2.0 * t.speed_y[5]);
    EXPECT_DOUBLE_EQ(rig.slot(2).dx, 2.0 * t.speed_x[5]);

    // Start positions stay inside their ranges at both ends of the draw.
    rig.run().rotation_index = 0;
    queue_launch(rig, 0.0, 0.0, 0.0, 1, 0.0);
    launch_sprite(rig.scene(), 3);
    EXPECT_EQ(rig.slot(3).x, 1);
    rig.run().rotation_index = 0;
    queue_launch(rig, 0.0, 0.0, 0.0, 1, 0.999999);
    launch_sprite(rig.scene(), 3);
    EXPECT_EQ(rig.slot(3).x, 704);
}

TEST(Launch, ZeroSpeedFactorStillMovesSprites) {
    SpriteRig rig;
    for (double factor : {0.0, -1.0}) {
        rig.run().speed_factor = factor;
        rig.run().rotation_index = 0;
        queue_launch(rig, 0.0, 0.0, 0.0, 1, 0.0);
        launch_sprite(rig.scene(), 1);
        EXPECT_DOUBLE_EQ(rig.slot(1).dy, 0.1 * rig.tables().speed_y[5]);
    }
}

TEST(Launch, SpriteCountOutsideOneToTenIsBroughtIntoRange) {
    SaverSettings many;
    many.sprite_active = 25;
    SpriteRig rig(1024, 768, many);
    rig.random.set_fallback(0.3);
    scene_step(rig.scene());
    EXPECT_EQ(count_active_sprites(rig.tables(), 10), 10);
    EXPECT_EQ(rig.random.draws, 50);

    for (int32_t stored : {0, -3}) {
        SaverSettings none;
        none.sprite_active = stored;
        SpriteRig low(1024, 768, none);
        low.random.set_fallback(0.3);
        scene_step(low.scene());
        EXPECT_EQ(low.slot(1).active, 1);
        EXPECT_EQ(count_active_sprites(low.tables(), 10), 1);
    }
}

TEST(Launch, PendingChangeLaunchesNothing) {
    SpriteRig rig;
    rig.run().background_change_due = 1;
    rig.slot(1).active = 1;  // one sprite still leaving, so no repaint either
    rig.slot(1).dx = 1;
    scene_step(rig.scene());
    EXPECT_EQ(rig.random.draws, 0);
    EXPECT_EQ(count_active_sprites(rig.tables(), 4), 1);
    EXPECT_EQ(rig.run().background_change_due, 1);
}

TEST(Launch, BoundsFreeASpriteOnlyWhenWhollyTwentyPixelsOut) {
    SpriteRig rig(1024, 768);
    rig.run().rotation_index = 2;  // left edge, path 1, moving right
    queue_launch(rig, 0.0, 0.0, 0.0, 1, 0.0);
    launch_sprite(rig.scene(), 1);
    sprite_rec& s = rig.slot(1);
    s.dx = -2;
    s.x = -318;  // moves to -320: right edge at 0, not below -20
    move_straight(rig.scene(), 1);
    EXPECT_EQ(s.x, -320);
    EXPECT_EQ(s.active, 1);
    s.x = -339;  // moves to -341: right edge at -21
    move_straight(rig.scene(), 1);
    EXPECT_EQ(s.active, 0);

    rig.run().rotation_index = 0;  // top edge, path 1, moving down
    queue_launch(rig, 0.0, 0.0, 0.0, 1, 0.0);
    launch_sprite(rig.scene(), 1);
    s.dy = 1;
    s.y = 787;  // 788 is still inside the bound
    move_straight(rig.scene(), 1);
    EXPECT_EQ(s.active, 1);
    move_straight(rig.scene(), 1);
    EXPECT_EQ(s.active, 0);
}

}  // namespace
}  // namespace vistaloom

namespace vistaloom {
namespace {

// A scene at twice the scale (a 200% screen: twice the device pixels each way, pictures of
// twice the size) is the scene at 1 blown up: every start, speed, bound and cell doubles, up
// to the one pixel that a start position's rounding may differ by.
TEST(Launch, AtDoubleScaleEveryMeasureOfTheSceneDoubles) {
    SaverSettings doubled;
    doubled.picture_scale = "2";
    for (int32_t edge_at = 1; edge_at <= 4; ++edge_at) {     // positions of left, right, top, bottom
        for (int32_t path = 1; path <= 5; ++path) {
            SCOPED_TRACE(::testing::Message() << "rotation " << edge_at << " path " << path);
            SpriteRig one(1024, 768);
            SpriteRig two(2048, 1536, doubled);
            for (SpriteRig* rig : {&one, &two}) {
                rig->run().rotation_index = edge_at;
                queue_launch(*rig, 0.3, 0.5, 0.7, path, 0.37);
                launch_sprite(rig->scene(), 1);
            }
            const sprite_rec& a = one.slot(1);
            const sprite_rec& b = two.slot(1);
            EXPECT_NEAR(b.x, 2 * a.x, 2.0);
            EXPECT_NEAR(b.y, 2 * a.y, 2.0);
            EXPECT_DOUBLE_EQ(b.dx, 2 * a.dx);
            EXPECT_DOUBLE_EQ(b.dy, 2 * a.dy);
            for (double sprite_rec::*p : {&sprite_rec::param1, &sprite_rec::param2,
                                          &sprite_rec::param3, &sprite_rec::param4,
                                          &sprite_rec::param5, &sprite_rec::param6})
                EXPECT_DOUBLE_EQ(b.*p, 2 * (a.*p));
            const CellRow ca = one.tables().cell_table[a.cell];
            const CellRow cb = two.tables().cell_table[b.cell];
            EXPECT_EQ((std::array{cb.src_x, cb.src_y, cb.width, cb.height}),
                      (std::array{2 * ca.src_x, 2 * ca.src_y, 2 * ca.width, 2 * ca.height}));
        }
    }
}

}  // namespace
}  // namespace vistaloom
