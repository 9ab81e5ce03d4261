#include "compose/frame.h"

#include <gtest/gtest.h>

#include <vector>

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
    HeadlessScene a(700, 500, clock_a, random_a, settings),
        b(700, 500, clock_b, random_b, settings);
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

// Built straight into the shown picture instead of in `work`: the same pictures frame by
// frame, through background changes. What the frame lists as written must hold every pixel
// that changed, and lie within what it presents; the rest of what it presents is as it was,
// so a buffer a frame behind may take it from the buffer shown before.
TEST(ComposeFrame, BuiltInTheShownPictureEqualsBuiltInWork) {
    SaverSettings settings;
    settings.sprite_active = 10;
    settings.speed_scale = 3;
    testing::ScriptedClock clock_a, clock_b;
    testing::SeededTestRandom random_a(5), random_b(5);
    HeadlessScene a(500, 400, clock_a, random_a, settings),
        b(500, 400, clock_b, random_b, settings);
    b.surfaces.composed_in_ascreen = true;
    b.surfaces.work = Surface();
    SceneRunner in_work(a.scene);
    b.run.scene_start_tick = clock_b.tick_ms();
    Surface before = b.surfaces.ascreen;
    for (int frame = 0; frame < 800; ++frame) {
        in_work.run_frame();
        SceneSurfaces& s = b.surfaces;
        s.presented.clear();
        s.ascreen_written.clear();
        s.ascreen_painted = false;
        scene_frame(b.scene);
        ASSERT_EQ(a.surfaces.ascreen.pixels, s.ascreen.pixels) << "frame " << frame;
        ASSERT_TRUE(s.work.pixels.empty());
        if (!s.ascreen_painted) {
            const int32_t w = s.ascreen.width;
            std::vector<uint8_t> covered(static_cast<size_t>(w) * s.ascreen.height, 0);
            auto mark = [&](const std::vector<Rect>& rects, uint8_t bit) {
                for (const Rect& r : rects)
                    for (int32_t y = r.y; y < r.y + r.h; ++y)
                        for (int32_t x = r.x; x < r.x + r.w; ++x)
                            covered[static_cast<size_t>(y) * w + x] |= bit;
            };
            mark(s.ascreen_written, 1);
            mark(s.presented, 2);
            for (int32_t y = 0; y < s.ascreen.height; ++y)
                for (int32_t x = 0; x < w; ++x) {
                    const uint8_t c = covered[static_cast<size_t>(y) * w + x];
                    if (c == 1)
                        FAIL() << "written, not presented: frame " << frame << " at " << x << ","
                               << y;
                    if (c == 0 && s.ascreen.at(x, y) != before.at(x, y))
                        FAIL() << "changed, not written: frame " << frame << " at " << x << ","
                               << y;
                }
        }
        before = s.ascreen;
        clock_a.advance(100);
        clock_b.advance(100);
    }
    EXPECT_GT(in_work.totals().background_changes, 0);
}

}  // namespace
}  // namespace vistaloom
