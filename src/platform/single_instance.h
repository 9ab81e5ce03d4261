#pragma once
#include <string>

namespace vistaloom {

// True when this process holds the saver lock of the user and display, and no top-level
// window titled `title` exists on the display the program runs on. The lock makes two savers
// started at once agree; the window search finds a saver that holds no lock. Windows can be
// searched only on X11; elsewhere the lock alone decides.
bool is_first_instance(const std::string& title);

}  // namespace vistaloom
