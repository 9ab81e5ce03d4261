#pragma once
#include <cstdint>

#include "render/surface.h"

namespace vistaloom {

// Draws a one-pixel-wide line in one pixel value from (x0, y0) towards (x1, y1). The end
// point itself is left out, as the window system's LineTo does, so a line of length 0 draws
// nothing.
//
// The line is clipped to the surface before any pixel is visited: the work follows the
// pixels that land inside, however far the ends lie outside. Clipping never moves a pixel:
// every pixel drawn is one the unclipped line would have drawn at the same place.
//
// Pixel rule: along the major axis (x when |dx| > |dy|, else y) step i sits at
// minor offset floor((2 * minor_delta * i + major_delta) / (2 * major_delta)), that is the
// exact position rounded with halves away from the start. The rule depends only on the
// deltas, never on where the line is, so a line shifted by whole pixels draws exactly the
// shifted pixels. That is what lets a family of parallel lines one pixel apart cover a
// surface without gaps: each line crosses every row (or column) it spans with a non-empty
// run of pixels, and its neighbour's run is the same run moved by one.
void draw_line(Surface& target, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t pixel);

}  // namespace vistaloom
