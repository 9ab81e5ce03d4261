#pragma once

#include "pixels/surface.h"

namespace vistaloom {

// Pictures the program draws itself at start-up; none is read from a file.

// 320 x 240: shown in place of every sprite when no theme is installed.
Surface make_no_mods_picture();
// 80 x 80 bevelled frame whose 8 x 8 corner and edge tiles frame the sheet's cells.
Surface make_border_picture();
// 150 x 112 sample shown where a theme's own sample is missing.
Surface make_preview_sample();

}  // namespace vistaloom
