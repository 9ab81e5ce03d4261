#pragma once
#include <cstdint>
#include <vector>

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

// The two halves of draw_sprites. A sprite's step never looks at another sprite or at the
// pictures, so moving them all first and then drawing them all gives the same frame.
void move_sprites(Scene& scene);
DrawnSprites draw_moved_sprites(Surface& target, const Surface& sheet, Scene& scene);
// The rectangles of `target` that draw_moved_sprites will cover, each wholly.
std::vector<Rect> moved_sprite_rects(const Surface& target, const Surface& sheet, Scene& scene);

}  // namespace vistaloom
