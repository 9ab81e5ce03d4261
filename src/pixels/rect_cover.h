#pragma once
#include <vector>

#include "pixels/surface.h"

namespace vistaloom {

// The pixels `a` and `b` share (empty when none).
Rect intersect(const Rect& a, const Rect& b);

// The parts of `area` that none of `covers` overlaps, as disjoint rectangles. When the pieces
// would grow past `max_parts`, `area` is returned whole: copying a little more than needed is
// always correct, only slower.
std::vector<Rect> uncovered_parts(const Rect& area, const std::vector<Rect>& covers,
                                  size_t max_parts = 32);

}  // namespace vistaloom
