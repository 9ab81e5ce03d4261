#pragma once
#include <cstdint>

#include "render/surface.h"

namespace vistaloom {

struct Scene;

// Moves every live sprite one step by its motion kind, frees those that left their bounds and
// copies the others' cells from `sheet` into `target` (or the no-theme picture when no theme
// is installed). Sprites later in draw_order cover earlier ones.
void draw_sprites(Surface& target, const Surface& sheet, Scene& scene);

// One step of the straight (3) and the accelerating (5) motion of one slot. A slot number
// outside 1..10 is ignored.
void move_straight(Scene& scene, int32_t slot);
void move_accelerating(Scene& scene, int32_t slot);

}  // namespace vistaloom
