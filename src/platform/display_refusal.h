#pragma once

namespace vistaloom {

// Until the toolkit's application object has started, a toolkit that cannot start its window
// system (the display refused its connection after our own check said yes) ends the process
// with status 1 and one line on stderr, as a display found unreachable at the check does,
// instead of the toolkit's abort and its lines about plugins. `display` names the display for
// that line; null where the window system is not X11. Messages the toolkit logs meanwhile
// are held back and handed on once it has started.
void end_with_status_1_if_toolkit_cannot_start(const char* display);

}  // namespace vistaloom
