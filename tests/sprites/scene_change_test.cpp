#include <gtest/gtest.h>

#include "pixels/palette.h"
#include "sprite_rig.h"
#include "sprites/scene_change.h"
#include "sprites/scene_step.h"
#include "support/seeded_test_random.h"

namespace vistaloom {
namespace {

using testing::SpriteRig;

bool same_pixels(const Surface& a, const Surface& b, int32_t w, int32_t h) {
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            if (a.at(x, y) != b.at(x, y)) return false;
        }
    }
    return true;
}

bool holds_only(const Surface& s, uint32_t pixel) {
    for (uint32_t p : s.pixels) {
        if (p != pixel) return false;
    }
    return true;
}

TEST(LeavingStep, PushesLiveSpritesOutwardUnscaledAndKeepsZeroComponents) {
    SpriteRig rig(1024, 768);
    rig.run().speed_factor = 2.0;  // must not scale the push
    rig.run().background_change_due = 1;
    rig.slot(1).active = 1;
    rig.slot(1).dx = 2.0;
    rig.slot(1).dy = 0.0;
    rig.slot(2).active = 1;
    rig.slot(2).dx = 0.0;
    rig.slot(2).dy = -1.0;
    rig.slot(3).dx = 5.0;    // free: untouched
    rig.slot(6).active = 1;  // above the four live slots: untouched
    rig.slot(6).dx = 5.0;

    leaving_step(rig.scene());
    EXPECT_DOUBLE_EQ(rig.slot(1).dx, 2.0256);
    EXPECT_EQ(rig.slot(1).dy, 0.0);
    EXPECT_EQ(rig.slot(2).dx, 0.0);
    EXPECT_DOUBLE_EQ(rig.slot(2).dy, -1.0192);
    EXPECT_EQ(rig.slot(3).dx, 5.0);
    EXPECT_EQ(rig.slot(6).dx, 5.0);
    // Sprites were still there: nothing painted, the change stays pending.
    EXPECT_EQ(rig.run().background_change_due, 1);
    EXPECT_EQ(rig.random.draws, 0);
}

// Gentle motion: the change waits for the pictures to leave at their own pace, and comes
// once they have gone, as it does otherwise.
TEST(LeavingStep, WithReducedMotionPicturesAreNotHurriedOut) {
    SaverSettings gentle;
    gentle.reduced_motion = "on";
    gentle.speed_scale = 17;
    SpriteRig rig(1024, 768, gentle);
    EXPECT_EQ(rig.owner->settings.speed_scale, 1);  // the slowest image speed
    rig.run().background_change_due = 1;
    rig.slot(1).active = 1;
    rig.slot(1).dx = 2.0;
    rig.slot(1).dy = -1.0;
    leaving_step(rig.scene());
    EXPECT_EQ(rig.slot(1).dx, 2.0);
    EXPECT_EQ(rig.slot(1).dy, -1.0);
    EXPECT_EQ(rig.run().background_change_due, 1);
    rig.slot(1).active = 0;
    rig.random.set_fallback(0.5);  // the new gradient's draws
    leaving_step(rig.scene());
    EXPECT_EQ(rig.run().background_change_due, 0);
}

TEST(SceneChange, WithNoLiveSpriteTheNewBackgroundIsPaintedInThatStep) {
    SpriteRig rig(64, 48);
    rig.surfaces().ascreen_repainted = false;
    rig.run().background_change_due = 1;
    rig.clock.now_ms = 50000;
    rig.queue({0.9, 0.35});  // angle entry 8 (315), colour entry 4 (palette 12, red)
    scene_step(rig.scene());

    EXPECT_EQ(rig.random.reseeds, 2);  // the step's and the change's own
    EXPECT_EQ(rig.run().background_change_due, 0);
    EXPECT_EQ(rig.run().scene_start_tick, 50000);
    EXPECT_TRUE(rig.surfaces().ascreen_repainted);
    EXPECT_EQ(rig.owner->gradient.Angle(), 315.0f);
    EXPECT_EQ(rig.owner->gradient.Color2(), static_cast<int32_t>(palette_color(12)));
    EXPECT_EQ(rig.owner->gradient.Color1(), 0);
    const SceneSurfaces& s = rig.surfaces();
    EXPECT_FALSE(holds_only(s.ascreen, HeadlessScene::kStartBackground));
    EXPECT_TRUE(same_pixels(s.main, s.ascreen, 64, 48));
    EXPECT_TRUE(same_pixels(s.work, s.ascreen, 64, 48));
    EXPECT_EQ(count_active_sprites(rig.tables(), 4), 0);  // launches wait for the next step
}

TEST(SceneChange, BackgroundSurfacesTakeTheSizeOfTheScreenPicture) {
    SpriteRig rig(64, 48);
    rig.surfaces().main.resize(10, 10);
    rig.surfaces().work.resize(0, 0);
    rig.queue({0.0, 0.0});
    change_background(rig.scene());
    EXPECT_EQ(rig.surfaces().main.width, 64);
    EXPECT_EQ(rig.surfaces().main.height, 48);
    EXPECT_TRUE(same_pixels(rig.surfaces().work, rig.surfaces().ascreen, 64, 48));
}

TEST(SceneTimer, RaisesTheChangeOnlyAfterThirtyFiveSeconds) {
    SpriteRig rig;
    rig.run().scene_start_tick = 10000;
    rig.clock.now_ms = 45000;  // exactly 35 s: not yet
    check_scene_timer(rig.scene());
    EXPECT_EQ(rig.run().background_change_due, 0);
    rig.clock.now_ms = 5000;  // a reading behind the start counts as start + 1
    check_scene_timer(rig.scene());
    EXPECT_EQ(rig.run().background_change_due, 0);
    EXPECT_EQ(rig.run().scene_start_tick, 10000);
    rig.clock.now_ms = 45001;
    check_scene_timer(rig.scene());
    EXPECT_EQ(rig.run().background_change_due, 1);
    EXPECT_EQ(rig.run().scene_start_tick, 10000);

    SaverSettings plain;
    plain.gradients_on = "0";
    SpriteRig off(1024, 768, plain);
    off.run().scene_start_tick = 10000;
    off.clock.now_ms = 45001;
    check_scene_timer(off.scene());
    EXPECT_EQ(off.run().background_change_due, 0);
    EXPECT_EQ(off.run().scene_start_tick, 45001);
}

// Frames until the pending change has been carried out, or -1 after `limit` frames.
int64_t frames_until_changed(SceneRunner& runner, RunState& run, int64_t limit) {
    for (int64_t n = 1; n <= limit; ++n) {
        const FrameCopies copies = runner.run_frame();
        if (copies.background_changes > 0) {
            EXPECT_EQ(run.background_change_due, 0);
            return n;
        }
    }
    return -1;
}

TEST(SceneRun, AfterThirtyFiveSecondsSpritesLeaveAndANewSceneStarts) {
    SpriteRig rig(400, 300);
    rig.random.set_fallback(0.37);
    SceneRunner runner(rig.scene());
    const SceneSurfaces& s = rig.surfaces();

    runner.run_frame();
    EXPECT_EQ(count_active_sprites(rig.tables(), 4), 4);
    rig.clock.advance(35001);
    runner.run_frame();
    EXPECT_EQ(rig.run().background_change_due, 1);

    const int64_t frames = frames_until_changed(runner, rig.run(), 5000);
    ASSERT_GT(frames, 0);
    EXPECT_EQ(count_active_sprites(rig.tables(), 4), 0);
    EXPECT_FALSE(holds_only(s.main, HeadlessScene::kStartBackground));
    EXPECT_TRUE(same_pixels(s.main, s.ascreen, 400, 300));
    EXPECT_TRUE(same_pixels(s.work, s.main, 400, 300));
    EXPECT_EQ(rig.run().scene_start_tick, rig.clock.now_ms);

    runner.run_frame();
    EXPECT_EQ(count_active_sprites(rig.tables(), 4), 4);
    EXPECT_EQ(rig.run().background_change_due, 0);
}

TEST(SceneRun, ZeroSpeedFactorDoesNotStallAChange) {
    SaverSettings settings;
    settings.speed_scale = 0;
    SpriteRig rig(400, 300, settings);
    rig.run().speed_factor = 0.0;  // as a hand-edited speed scale would leave it unguarded
    rig.random.set_fallback(0.37);
    SceneRunner runner(rig.scene());
    runner.run_frame();
    rig.clock.advance(35001);
    runner.run_frame();
    ASSERT_EQ(rig.run().background_change_due, 1);
    EXPECT_GT(frames_until_changed(runner, rig.run(), 20000), 0);
}

TEST(SceneRun, WithoutGradientsNothingIsHeldBack) {
    SaverSettings settings;
    settings.gradients_on = "0";
    SpriteRig rig(400, 300, settings);
    rig.random.set_fallback(0.37);
    SceneRunner runner(rig.scene());
    for (int i = 0; i < 3; ++i) {
        rig.clock.advance(35001);
        const FrameCopies copies = runner.run_frame();
        EXPECT_EQ(copies.background_changes, 0);
        EXPECT_EQ(rig.run().background_change_due, 0);
        EXPECT_EQ(count_active_sprites(rig.tables(), 4), 4);
    }
    EXPECT_TRUE(holds_only(rig.surfaces().main, HeadlessScene::kStartBackground));
}

TEST(SceneRun, ObjectsOffLaunchesNothingAndKeepsTheBackground) {
    SaverSettings settings;
    settings.objects_off = "1";
    SpriteRig rig(400, 300, settings);
    SceneRunner runner(rig.scene());
    rig.clock.advance(35001);
    const FrameCopies copies = runner.run_frames(20);
    EXPECT_EQ(rig.random.draws, 0);
    EXPECT_EQ(copies.live_sprites, 0);
    EXPECT_EQ(copies.present_bytes + copies.restore_bytes + copies.draw_bytes, 0u);
    EXPECT_EQ(rig.run().background_change_due, 1);  // raised, but never carried out
    EXPECT_TRUE(holds_only(rig.surfaces().ascreen, HeadlessScene::kStartBackground));
}

TEST(SceneRun, TwoScenesShareNothing) {
    SpriteRig a(400, 300), b(400, 300);
    a.random.set_fallback(0.37);
    SceneRunner runner_a(a.scene());
    runner_a.run_frames(50);
    EXPECT_EQ(count_active_sprites(a.tables(), 4), 4);
    EXPECT_EQ(count_active_sprites(b.tables(), 10), 0);
    EXPECT_EQ(b.random.draws, 0);
    EXPECT_TRUE(holds_only(b.surfaces().work, HeadlessScene::kStartBackground));
}

TEST(SceneRun, SameSeedRunsInterleavedStayIdentical) {
    testing::ScriptedClock clock_a, clock_b;
    testing::SeededTestRandom random_a(7), random_b(7);
    HeadlessScene a(300, 200, clock_a, random_a), b(300, 200, clock_b, random_b);
    SceneRunner runner_a(a.scene), runner_b(b.scene);
    for (int i = 0; i < 2000; ++i) {
        runner_a.run_frame();
        runner_b.run_frame();
        clock_a.advance(50);
        clock_b.advance(50);
    }
    EXPECT_GT(runner_a.totals().background_changes, 1);
    EXPECT_EQ(a.surfaces.ascreen.pixels, b.surfaces.ascreen.pixels);
    for (int32_t slot = 1; slot <= 10; ++slot) {
        EXPECT_EQ(a.tables.sprites[slot].x, b.tables.sprites[slot].x);
        EXPECT_EQ(a.tables.sprites[slot].picture, b.tables.sprites[slot].picture);
    }
}

TEST(SceneRun, CountsTheRectanglesEachPassCopies) {
    SaverSettings settings;
    settings.objects_off = "1";  // the test places its own sprite
    SpriteRig rig(1024, 768, settings);
    place_sprite(rig.tables(), 1, 100, 200, 3, 3);
    set_straight_motion(rig.tables(), 1, -3, 0, -20, -20, 1044, 788);
    SceneRunner runner(rig.scene());
    runner.run_frame();
    const FrameCopies c = runner.run_frame();
    const uint64_t sprite_bytes = 320u * 240u * 4u;
    EXPECT_EQ(c.live_sprites, 1);
    // Only the 3-pixel strip the sprite moved off is erased; the rest it covers again.
    EXPECT_EQ(c.restore_bytes, 3u * 240u * 4u);
    EXPECT_EQ(c.draw_bytes, sprite_bytes);
    EXPECT_EQ(c.present_bytes, 324u * 241u * 4u);
    EXPECT_EQ(rig.surfaces().ascreen.at(114, 220), HeadlessScene::sheet_pixel(20, 261));
}

// A picture freed where it can still be seen stays on the screen until another presents over
// its place, whether the frames are built in `work` or straight in the shown picture.
TEST(SceneRun, APictureFreedOnTheSceneStaysShownAlikeWhereverFramesAreBuilt) {
    SaverSettings settings;
    settings.objects_off = "1";  // the test places its own sprites
    testing::SpriteRig in_work(1024, 768, settings), in_ascreen(1024, 768, settings);
    in_ascreen.surfaces().composed_in_ascreen = true;
    in_ascreen.surfaces().work = Surface();
    bool remnant_seen = false;
    for (testing::SpriteRig* rig : {&in_work, &in_ascreen}) {
        place_sprite(rig->tables(), 1, 100, 200, 3, 3);
        set_straight_motion(rig->tables(), 1, 6, 0, -20, -20, 400, 788);  // freed at x 400
        place_sprite(rig->tables(), 2, 900, 260, 5, 5);
        set_straight_motion(rig->tables(), 2, -5, 1, -400, -20, 1044, 788);
    }
    SceneRunner a(in_work.scene()), b(in_ascreen.scene());
    for (int frame = 0; frame < 160; ++frame) {
        a.run_frame();
        b.run_frame();
        ASSERT_EQ(in_work.surfaces().ascreen.pixels, in_ascreen.surfaces().ascreen.pixels)
            << "frame " << frame;
        remnant_seen = remnant_seen || !in_ascreen.surfaces().remnants.empty();
        in_work.clock.advance(50);
        in_ascreen.clock.advance(50);
    }
    EXPECT_TRUE(remnant_seen);
    EXPECT_EQ(in_ascreen.slot(1).active, 0);
    EXPECT_EQ(in_ascreen.slot(2).active, 1);
}

}  // namespace
}  // namespace vistaloom
