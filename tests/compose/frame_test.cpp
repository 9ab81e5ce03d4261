// The frame as the user sees it: after any number of frames, `ascreen` must be exactly the
// clean background with every live sprite's cell drawn where the sprite now is, later slots
// in draw order on top. Leaving out any pass of the frame breaks that picture: without the
// erase the old positions leave trails, without the scene step no sprite ever enters,
// without the drawing pass nothing is drawn, without presenting nothing reaches the screen.
#include "compose/frame.h"

#include <gtest/gtest.h>

#include "compose/scene_runner.h"
#include "ground/rounding.h"
#include "sprites/draw_order.h"
#include "support/headless_scene.h"
#include "support/queued_random.h"
#include "support/scripted_clock.h"

namespace vistaloom {
namespace {

using testing::QueuedRandom;
using testing::ScriptedClock;

// What the screen must show, worked out from the sprite records alone.
Surface expected_screen(HeadlessScene& h) {
    Surface expected(h.surfaces.scene_width, h.surfaces.scene_height,
                     HeadlessScene::kStartBackground);
    for_each_slot_in_draw_order(h.tables, h.settings.sprite_active, [&](int32_t, sprite_rec& s) {
        if (s.active == 0) return;
        const CellRow cell = cell_row_or_empty(h.tables, s.cell);
        blit(expected, round_to_int(s.x), round_to_int(s.y), h.surfaces.sprite, cell.src_x,
             cell.src_y, cell.width, cell.height);
    });
    return expected;
}

int64_t differing_pixels(const Surface& a, const Surface& b) {
    int64_t n = 0;
    for (int32_t y = 0; y < a.height; ++y)
        for (int32_t x = 0; x < a.width; ++x) n += a.at(x, y) != b.at(x, y);
    return n;
}

TEST(Frame, TheScreenIsTheBackgroundWithEveryLiveSpriteWhereItIs) {
    ScriptedClock clock;
    QueuedRandom random;
    SaverSettings settings;
    settings.sprite_active = 6;
    settings.gradients_on = "0";  // no scene change: the background stays the start colour
    HeadlessScene h(900, 700, clock, random, settings);
    SceneRunner runner(h.scene);
    int64_t most_live = 0;
    for (int frame = 1; frame <= 120; ++frame) {
        clock.advance(48);
        const FrameCopies copies = runner.run_frame();
        most_live = std::max(most_live, copies.live_sprites);
        ASSERT_EQ(differing_pixels(h.surfaces.ascreen, expected_screen(h)), 0) << "frame " << frame;
    }
    // The check above means something only if sprites entered and moved.
    EXPECT_GE(most_live, 3);
}

TEST(Frame, CopiesAreCountedFromWhatActuallyMoved) {
    ScriptedClock clock;
    QueuedRandom random;
    HeadlessScene h(640, 480, clock, random);
    SceneRunner runner(h.scene);
    FrameCopies first = runner.run_frame();
    EXPECT_EQ(first.restore_bytes, 0u);  // nothing drawn before the first frame
    FrameCopies sum = runner.run_frames(50);
    EXPECT_GT(sum.draw_bytes, 0u);
    EXPECT_GT(sum.present_bytes, 0u);
    // Each live sprite's cell is at most 320 x 240 pixels.
    EXPECT_LE(sum.draw_bytes, static_cast<uint64_t>(sum.live_sprites) * 320 * 240 * 4);
}

}  // namespace
}  // namespace vistaloom
