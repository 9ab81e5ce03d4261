#pragma once
#include <string>

namespace vistaloom {

// True when no top-level window titled `title` exists on the display the program runs on.
// Only X11 can be asked; elsewhere (Wayland, no display) the answer is true, so the saver
// still starts.
bool is_first_instance(const std::string& title);

}  // namespace vistaloom
