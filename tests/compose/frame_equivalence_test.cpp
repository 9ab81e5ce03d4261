#include "compose/frame.h"

#include <gtest/gtest.h>

#include "compose/draw_pass.h"
#include "compose/frame_passes.h"
#include "compose/scene_runner.h"
#include "sprites/scene_change.h"
#include "sprites/scene_step.h"
#include "support/headless_scene.h"
#include "support/scripted_clock.h"
#include "support/seeded_test_random.h"

namespace vistaloom {
namespace {

// The frame as the three passes make it one after the other, each copying all it names.
void passes_one_by_one(HeadlessScene& h) {
    SceneSurfaces& s = h.surfaces;
    restore_background(s.work, s.main, h.scene);
    if (!h.settings.objects_off) scene_step(h.scene);
    draw_sprites(s.work, s.sprite, h.scene);
    present_frame(s.ascreen, s.work, h.scene);
    check_scene_timer(h.scene);
    s.presented.clear();
    s.ascreen_repainted = false;
}

// The composed frame skips erasing what this frame's sprites cover anyway; with ten sprites
// crowding a small scene, through background changes, every frame must still equal the
// passes run one by one, and the erase must copy less.
TEST(ComposeFrame, EqualsThePassesOneByOneWhileCopyingLess) {
    SaverSettings settings;
    settings.sprite_active = 10;
    settings.speed_scale = 3;
    testing::ScriptedClock clock_a, clock_b;
    testing::SeededTestRandom random_a(11), random_b(11);
    HeadlessScene a(700, 500, clock_a, random_a, settings), b(700, 500, clock_b, random_b, settings);
    SceneRunner runner(a.scene);
    b.run.scene_start_tick = clock_b.tick_ms();
    uint64_t erased = 0;
    uint64_t drawn = 0;
    for (int frame = 0; frame < 1500; ++frame) {
        const FrameCopies copies = runner.run_frame();
        erased += copies.restore_bytes;
        drawn += copies.draw_bytes;
        passes_one_by_one(b);
        ASSERT_EQ(a.surfaces.work.pixels, b.surfaces.work.pixels) << "frame " << frame;
        ASSERT_EQ(a.surfaces.ascreen.pixels, b.surfaces.ascreen.pixels) << "frame " << frame;
        clock_a.advance(50);
        clock_b.advance(50);
    }
    EXPECT_GT(runner.totals().background_changes, 0);
    EXPECT_GT(drawn, 0u);
    EXPECT_LT(erased, drawn / 4);
}

}  // namespace
}  // namespace vistaloom
