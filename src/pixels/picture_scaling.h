#pragma once
#include <cstdint>

#include "pixels/surface.h"

namespace vistaloom {

// The picture `factor` times as large each way, smoothly (each new pixel a blend of the four
// source pixels nearest its centre), as a screen of that many device pixels per pixel needs
// it: the same size on the desk as at 1, and sharp. Done once per picture, never per frame.
Surface scale_picture(const Surface& source, int32_t factor);

// A sheet of pictures scaled the same way, each cell (and the unseen top line) on its own, so
// that no picture's edge takes colour from its neighbour's.
Surface scale_sheet(const Surface& sheet, int32_t factor);

}  // namespace vistaloom
