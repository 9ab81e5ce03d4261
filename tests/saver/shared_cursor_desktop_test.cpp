#include "saver/shared_cursor_desktop.h"

#include <gtest/gtest.h>

#include <memory>

#include "saver/input_rules.h"
#include "support/recording_desktop.h"

namespace vistaloom {
namespace {

// Two savers with the hide and show rules of a run: the cursor comes back only when the
// last of them has ended, and a saver that vanishes mid-run lets go of it.
TEST(SharedCursorDesktop, CursorHiddenWhileAnySaverHidesIt) {
    testing::RecordingDesktop real;
    int hidden_by = 0;
    SharedCursorDesktop left(real, hidden_by);
    auto right = std::make_unique<SharedCursorDesktop>(real, hidden_by);

    hide_cursor_fully(left);
    hide_cursor_fully(*right);
    EXPECT_LT(real.cursor_count, 0);
    EXPECT_EQ(real.cursor_calls, 1);  // the real counter moved once

    show_cursor_at_unload(*right);  // one screen unplugged, the other runs on
    EXPECT_LT(real.cursor_count, 0);
    show_cursor_at_unload(left);
    EXPECT_GE(real.cursor_count, 0);

    hide_cursor_fully(left);
    hide_cursor_fully(*right);
    right.reset();
    EXPECT_LT(real.cursor_count, 0);
    show_cursor_at_unload(left);
    EXPECT_GE(real.cursor_count, 0);
    EXPECT_EQ(hidden_by, 0);
}

TEST(SharedCursorDesktop, EachSaverSeesItsOwnCountAndTheRestPassesThrough) {
    testing::RecordingDesktop real;
    int hidden_by = 0;
    SharedCursorDesktop one(real, hidden_by);
    EXPECT_EQ(one.show_cursor(false), -1);
    EXPECT_EQ(one.show_cursor(false), -2);
    EXPECT_EQ(one.show_cursor(true), -1);
    EXPECT_TRUE(one.set_wallpaper("/tmp/w.bmp"));
    ASSERT_EQ(real.wallpapers.size(), 1u);
    EXPECT_EQ(real.wallpapers[0], "/tmp/w.bmp");
}

}  // namespace
}  // namespace vistaloom
