#pragma once

namespace vistaloom {

// Without a session bus in the environment, the D-Bus library that Qt loads would start one
// of its own through dbus-launch ("autolaunch"): a start that waits for it, and a stray
// dbus-daemon left behind on every run. A screen saver started by a daemon with a cut-down
// environment, by `env -i` or from a console must never do that. Call before Qt starts.
// A bus that is there (the address in the environment, or the user's bus socket in the
// runtime folder, which the library finds by itself) is left to be used.
void keep_session_bus_from_autolaunching();

}  // namespace vistaloom
