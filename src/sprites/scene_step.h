#pragma once
#include <cstdint>

namespace vistaloom {

class RandomSource;
struct Scene;

// One frame's worth of scene upkeep: fills every free live slot with a new sprite, or, while
// a background change is pending, carries out one step of it instead.
void scene_step(Scene& scene);

// A picture number 1..picture_count that no live slot shows (any number with one live slot).
int32_t choose_picture(Scene& scene);

// Launches a new sprite into `slot` (1..10): picture, next entry edge, speeds, path and start
// point. The slot is overwritten whether or not it was free.
void launch_sprite(Scene& scene, int32_t slot);

// The speed factor launches use. A factor of 0 or below (a hand-edited speed scale) would
// leave every sprite motionless, and a pending background change could then never finish,
// so it counts as the slowest factor the options offer.
double launch_speed_factor(double speed_factor);

}  // namespace vistaloom
