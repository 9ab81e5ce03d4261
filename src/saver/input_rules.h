#pragma once
#include <cstdint>

namespace vistaloom {

class Desktop;
struct RunState;

// The input rules that end a run. They never stop the loop themselves: they clear
// keep_running, and the frame loop finishes its frame and decides what follows. Before the
// loop starts and after it ends (loop_active false) they do nothing.

// A key press or a mouse click ends the run at once.
void accept_key_or_click(RunState& run);

// The ten-second counting window of mouse movement. `first_move_time` is the time of day,
// in whole seconds since midnight, of the movement that opened the window; 0 means none is
// open.
struct MouseWindow {
    int32_t first_move_time = 0;
};

// One movement event at `seconds_since_midnight` (with its fraction). The run ends on the
// (sensitivity + 1)-th movement counted since the last reset; the first movement more than
// ten seconds after the one that opened the window clears the count (and opens none itself).
void count_mouse_move(RunState& run, MouseWindow& window, int32_t mouse_sensitivity,
                      double seconds_since_midnight);

// The system cursor keeps a display count; these call it until the count is past the
// threshold: hide until below -5, show until above 5 (before the password dialog) or at
// least 6 (at unload). Each gives up after a bounded number of calls, so a cursor service
// that never moves its count cannot hang the saver.
void hide_cursor_fully(Desktop& desktop);
void show_cursor_for_password(Desktop& desktop);
void show_cursor_at_unload(Desktop& desktop);

}  // namespace vistaloom
