#include "saver/input_rules.h"

#include <gtest/gtest.h>

#include "startup/run_state.h"
#include "support/recording_desktop.h"

namespace vistaloom {
namespace {

struct Moves {
    RunState run;
    MouseWindow window;
    Moves() {
        run.loop_active = true;
        run.keep_running = true;
    }
    // The number of the movement that ended the run, or 0 when none did.
    int feed(int32_t sensitivity, std::initializer_list<double> times) {
        int n = 0;
        for (double t : times) {
            ++n;
            count_mouse_move(run, window, sensitivity, t);
            if (!run.keep_running) return n;
        }
        return 0;
    }
};

TEST(MouseMoves, TheMovementAfterTheSensitivityEndsTheRun) {
    Moves seven;
    EXPECT_EQ(seven.feed(7, {100, 100.1, 100.2, 100.3, 100.4, 100.5, 100.6, 100.7, 100.8}), 8);
    EXPECT_EQ(seven.run.mouse_move_count, 0);
    Moves two;
    EXPECT_EQ(two.feed(2, {100, 101, 102}), 3);
}

TEST(MouseMoves, MovementsSpreadOutNeverEndTheRun) {
    // Each one more than ten seconds after the one that opened the window: the count is
    // cleared by every second movement and never reaches three.
    Moves m;
    EXPECT_EQ(m.feed(2, {100, 111, 122, 133, 144, 155, 166, 177, 188}), 0);
}

TEST(MouseMoves, TheResettingMovementOpensNoWindowItself) {
    Moves m;
    m.feed(7, {100, 101});
    EXPECT_EQ(m.window.first_move_time, 100);
    m.feed(7, {111});
    EXPECT_EQ(m.window.first_move_time, 0);
    EXPECT_EQ(m.run.mouse_move_count, 0);
    m.feed(7, {112.4});
    EXPECT_EQ(m.window.first_move_time, 112);
    EXPECT_EQ(m.run.mouse_move_count, 1);
}

// Exactly ten seconds after the opening movement is still inside the window; the first
// movement past ten seconds clears the count.
TEST(MouseMoves, TheTenSecondWindowIncludesItsLastInstant) {
    Moves at_ten;
    at_ten.feed(7, {100, 101, 102});
    at_ten.feed(7, {110.0});
    EXPECT_EQ(at_ten.run.mouse_move_count, 4);
    EXPECT_EQ(at_ten.window.first_move_time, 100);

    Moves past_ten;
    past_ten.feed(7, {100, 101, 102});
    past_ten.feed(7, {110.001});
    EXPECT_EQ(past_ten.run.mouse_move_count, 0);
    EXPECT_EQ(past_ten.window.first_move_time, 0);
}

TEST(MouseMoves, MidnightClosesAnOpenWindow) {
    Moves m;
    m.feed(7, {86395, 86396, 86397, 86398, 86399});
    EXPECT_EQ(m.run.mouse_move_count, 5);
    // After midnight the clock reads from 0 again; the window opened at 86395 is over.
    m.feed(7, {2.0});
    EXPECT_EQ(m.run.mouse_move_count, 0);
    EXPECT_TRUE(m.run.keep_running);
    EXPECT_EQ(m.feed(2, {3.0, 3.1, 3.2}), 3);
}

TEST(MouseMoves, ARoundedUpOpeningDoesNotCloseTheWindowAtOnce) {
    // 100.6 opens the window at 101; a movement at 100.7 is in the same window.
    Moves m;
    EXPECT_EQ(m.feed(2, {100.6, 100.7, 100.8}), 3);
}

TEST(InputRules, InputOutsideTheLoopIsIgnored) {
    RunState run;
    MouseWindow window;
    run.keep_running = true;
    accept_key_or_click(run);
    count_mouse_move(run, window, 2, 100);
    EXPECT_TRUE(run.keep_running);
    EXPECT_EQ(run.mouse_move_count, 0);
    EXPECT_EQ(window.first_move_time, 0);
    run.loop_active = true;
    accept_key_or_click(run);
    EXPECT_FALSE(run.keep_running);
}

TEST(CursorRules, HideAndShowEndAtTheirThresholds) {
    testing::RecordingDesktop desktop;
    hide_cursor_fully(desktop);
    EXPECT_EQ(desktop.cursor_count, -6);
    show_cursor_for_password(desktop);
    EXPECT_EQ(desktop.cursor_count, 6);
    desktop.cursor_count = -6;
    show_cursor_at_unload(desktop);
    EXPECT_EQ(desktop.cursor_count, 6);
}

TEST(CursorRules, ACountThatNeverMovesDoesNotHang) {
    struct StuckDesktop : testing::RecordingDesktop {
        int show_cursor(bool) override {
            ++cursor_calls;
            return 0;
        }
    } desktop;
    hide_cursor_fully(desktop);
    show_cursor_at_unload(desktop);
    EXPECT_LE(desktop.cursor_calls, 2000);
}

}  // namespace
}  // namespace vistaloom
