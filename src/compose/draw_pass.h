#pragma once
#include <cstdint>

#include "pixels/surface.h"

namespace vistaloom {

struct Scene;

// What the drawing pass did: bytes copied into the frame and sprites drawn.
struct DrawnSprites {
    uint64_t bytes = 0;
    int64_t live = 0;
};

// Moves every live sprite one step by its motion kind, frees those that left their bounds and
// copies the others' cells from `sheet` into `target` (or the no-theme picture when no theme
// is installed). Sprites later in draw_order cover earlier ones.
DrawnSprites draw_sprites(Surface& target, const Surface& sheet, Scene& scene);

}  // namespace vistaloom
