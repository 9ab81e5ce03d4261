#pragma once

namespace vistaloom {

class RandomSource;
class clsGradient;
struct RunState;
struct Surface;

// The random background of a scene: black, then a gradient from black to one of the run's
// gradient colours at one of its angles, both drawn after reseeding from the clock (angle
// first, then colour). The start of a run and every scene change paint it this way.
void paint_random_gradient(Surface& target, const RunState& run, RandomSource& random,
                           clsGradient& gradient);

// The draws of paint_random_gradient alone: `gradient` is set up to paint that background
// (Draw, DrawRows) on a surface first filled black.
void pick_random_gradient(const RunState& run, RandomSource& random, clsGradient& gradient);

}  // namespace vistaloom
