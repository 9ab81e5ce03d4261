#pragma once
#include <cstdint>
#include <vector>

#include "pixels/draw_list.h"
#include "pixels/surface.h"

namespace vistaloom {

// The picture surfaces of one saver session. `ascreen` is what the window shows; the others
// are never shown.
struct SceneSurfaces {
    Surface work;     // the frame being composed
    Surface main;     // the clean background
    Surface sprite;   // the sprite sheet
    Surface no_mods;  // built-in picture shown for every sprite when no theme is installed
    Surface border;   // built-in 80 x 80 frame picture
    Surface ascreen;  // what the user sees

    int32_t scene_width = 0;
    int32_t scene_height = 0;
    // Where `ascreen` sits in the saver window, in pixels (centred).
    int32_t ascreen_left = 0;
    int32_t ascreen_top = 0;

    // What changed on `ascreen` since the window last repainted: the rectangles present_frame
    // copied, or the whole of it after a background was painted. The window clears both.
    std::vector<Rect> presented;
    bool ascreen_repainted = false;
    // Whether all of `ascreen` was painted anew (a background) since then: beside the
    // rectangles in `presented`, the only pixels written to it. (A repaint may also be due
    // when nothing was written, after the window was covered.)
    bool ascreen_painted = false;

    // Where frames are built. Here (false): every copy between these pictures runs in our
    // memory. Elsewhere (the display server holds a copy of each picture): the copies are
    // only listed in `draws` for it to replay, `work` and `main` keep their sizes but no
    // pixels, and `ascreen` holds the last painted background until it is read back. The
    // window takes the steps with the rectangles.
    bool composed_elsewhere = false;
    std::vector<DrawStep> draws;

    // Built here, but straight into `ascreen` (true) instead of in `work` with the changed
    // rectangles then copied onto `ascreen`: for a window that shows `ascreen` itself, since
    // whatever a frame writes there it also presents. `work` then holds no pixels, and
    // `ascreen_written` lists what was written into `ascreen` besides a painted background
    // (cleared with `presented`), which is less than `presented`: a buffer that lags the
    // picture must take the rest from where it is whole.
    bool composed_in_ascreen = false;
    std::vector<Rect> ascreen_written;
    // Built so: where `ascreen` still shows a picture that left the scene while `work` would
    // hold the background there (a picture's last place is erased in `work` but never
    // presented). Presenting over them shows the background again, as a copy from `work` would.
    std::vector<Rect> remnants;
    // The picture frames are built in.
    Surface& frame() { return composed_in_ascreen ? ascreen : work; }
};

}  // namespace vistaloom
