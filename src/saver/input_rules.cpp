#include "saver/input_rules.h"

#include "ground/rounding.h"
#include "ground/desktop.h"
#include "startup/run_state.h"

namespace vistaloom {

namespace {

// From any sane count the loops end within a dozen calls; this only guards a cursor service
// whose count never moves.
constexpr int kMaxCursorCalls = 1000;

}  // namespace

void accept_key_or_click(RunState& run) {
    if (run.loop_active) run.keep_running = false;
}

void count_mouse_move(RunState& run, MouseWindow& window, int32_t mouse_sensitivity,
                      double seconds_since_midnight) {
    if (!run.loop_active) return;
    if (run.mouse_move_count < INT16_MAX) ++run.mouse_move_count;
    if (run.mouse_move_count > mouse_sensitivity) {
        run.mouse_move_count = 0;
        run.keep_running = false;
    }
    if (window.first_move_time != 0) {
        // The seconds-since-midnight clock starts again at 0 at midnight. A time well before
        // the window's opening can only mean that midnight has passed since, so the window is
        // treated as expired rather than left open until the clock catches up a day later.
        // The opening time was rounded, so it may lie up to half a second after the events
        // that follow it at once; only a larger step back counts as the wrap.
        const double elapsed = seconds_since_midnight - window.first_move_time;
        if (elapsed > 10.0 || elapsed < -1.0) {
            window.first_move_time = 0;
            run.mouse_move_count = 0;
        }
    } else {
        window.first_move_time = round_to_int(seconds_since_midnight);
    }
}

void hide_cursor_fully(Desktop& desktop) {
    for (int i = 0; i < kMaxCursorCalls; ++i) {
        if (desktop.show_cursor(false) < -5) return;
    }
}

void show_cursor_for_password(Desktop& desktop) {
    for (int i = 0; i < kMaxCursorCalls; ++i) {
        if (desktop.show_cursor(true) > 5) return;
    }
}

void show_cursor_at_unload(Desktop& desktop) {
    for (int i = 0; i < kMaxCursorCalls; ++i) {
        if (desktop.show_cursor(true) >= 6) return;
    }
}

}  // namespace vistaloom
