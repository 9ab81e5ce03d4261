#pragma once
#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace vistaloom {

// Making a theme from a folder of the user's own photos and music. One implementation for
// the theme tool and the configuration window: both watch the progress and may cancel.

struct ThemeMakeRequest {
    std::string base_path;       // themes folder + new theme's name, no extension
    std::string picture_folder;  // where the photos and music are
    bool replace = false;        // overwrite a theme of that name instead of refusing
};

struct ThemeMakeProgress {
    int done = 0;
    int total = 0;
    std::string step;  // what is being done now, for a progress line
};
using ThemeMakeProgressFn = std::function<void(const ThemeMakeProgress&)>;

struct ThemeMakeResult {
    enum class Status { made, failed, cancelled };
    Status status = Status::failed;
    std::string error;                  // one line, when failed
    std::vector<std::string> skipped;   // "NAME: reason" for every file left out
    std::vector<std::string> notes;     // how the pictures filled the sheet
    std::vector<std::string> pictures;  // file names, one per cell in cell order
    std::vector<std::string> music;     // file names of the music tracks, in playing order
};

// Writes base_path.icf and base_path.img: item 1 a sample picture from the first photo,
// item 2 the sprite sheet of twenty photos, then the music. The theme appears whole or not
// at all: when making fails or `cancel` becomes true, nothing is left in the themes folder
// and no staging file anywhere. `cancel` may be set from a signal handler; it is looked at
// between photos, which take a fraction of a second each.
ThemeMakeResult make_theme(const ThemeMakeRequest& request, const ThemeMakeProgressFn& progress,
                           const std::atomic<bool>* cancel);

}  // namespace vistaloom
