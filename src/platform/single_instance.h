#pragma once
#include <string>

namespace vistaloom {

// True when this process holds the saver lock of the user and display, and no top-level
// window titled `title` exists on the display the program runs on. The lock makes two savers
// started at once agree; the window search finds a saver that holds no lock. Windows can be
// searched only on X11; elsewhere the lock alone decides.
bool is_first_instance(const std::string& title);

// Takes the lock named `kind` ("saver", "watch") of this user and display for the rest of the
// process's life; false when another process holds it. Where no lock file can be made, the
// answer is true: a missing runtime folder must not keep the program from running.
bool take_display_lock(const std::string& kind);

}  // namespace vistaloom
