#pragma once
#include <cstdint>

#include "pixels/surface.h"

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

// Draws `count` parallel lines, line k running from (x0, y0) + k * step to (x1, y1) + k * step
// in pixels[k], where step is one pixel along one axis: (1, 0), (-1, 0), (0, 1) or (0, -1).
// The result is exactly that of calling draw_line for k = 0, 1, ... in turn (later lines
// painting over earlier ones), but it is produced row by row: because every line is the first
// one moved by whole pixels, each row of the result is a slice of `pixels` (or a few spans),
// so the cost is that of writing the covered pixels once, in memory order. Any other step
// is ignored.
void draw_parallel_lines(Surface& target, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                         int32_t step_x, int32_t step_y, const uint32_t* pixels, int64_t count);

}  // namespace vistaloom
