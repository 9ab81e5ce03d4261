#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace vistaloom {

// A bound only against a hostile folder of millions of files, far above any real collection:
// a shorter list would hide installed themes from the configuration window and leave a
// chosen theme that the list missed looking absent to the saver.
inline constexpr int32_t kMaxListedThemes = 100000;

// The themes of an install folder as the saver lists them: every normal file whose name ends
// in "icf" (any letter case), in the order the file system returns them, named without the
// last four characters; at most kMaxListedThemes of them. `active_found` tells whether one
// of them equals `active_module`, ignoring letter case.
struct ThemeListing {
    std::vector<std::string> names;  // position 0 is theme number 1
    bool active_found = false;
    // The matching theme as its file is spelt. Names match ignoring letter case, but the
    // files are opened by name on a file system that may not ignore it.
    std::string active_name;
};

// A folder that cannot be read lists no theme.
ThemeListing list_themes(const std::string& install_path, const std::string& active_module);

// Letter case ignored, as file names on the original system.
bool same_theme_name(const std::string& a, const std::string& b);

}  // namespace vistaloom
