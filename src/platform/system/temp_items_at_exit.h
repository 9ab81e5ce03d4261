#pragma once

namespace vistaloom {

class UserFolders;

// Removes this process's temporary item files, and the private folder when nothing else is
// left in it, when the process ends (after main returns, or through exit() without
// unwinding: Qt ends the program that way when the X server goes away, and the saver
// window's own clean-up then never runs). Safe to call more than once; the ordinary clean-up
// at unload still comes first, this one finds nothing left then.
void remove_temp_items_at_exit(UserFolders& folders);

}  // namespace vistaloom
