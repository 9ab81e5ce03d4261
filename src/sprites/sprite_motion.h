#pragma once
#include <cstdint>

namespace vistaloom {

struct Scene;

// One step of the straight (3) and the accelerating (5) motion of one slot; a sprite that
// leaves its bounds is freed. A slot number outside 1..10 is ignored.
void move_straight(Scene& scene, int32_t slot);
void move_accelerating(Scene& scene, int32_t slot);

// One step of whatever motion the slot has (none: it stays where it is).
void move_sprite(Scene& scene, int32_t slot);

}  // namespace vistaloom
