#include "pixels/random_gradient.h"

#include "ground/random_source.h"
#include "pixels/gradient_rect.h"
#include "pixels/palette.h"
#include "pixels/surface.h"
#include "startup/run_state.h"

namespace vistaloom {

void pick_random_gradient(const RunState& run, RandomSource& random, clsGradient& gradient) {
    random.reseed_from_clock();
    const int32_t angle = random_position(random, 8);
    const int32_t colour = random_position(random, 11);
    gradient.Angle(static_cast<float>(run.gradient_angles[static_cast<size_t>(angle)]));
    gradient.Color2(
        static_cast<int32_t>(palette_color(run.gradient_colors[static_cast<size_t>(colour)])));
    gradient.Color1(0);
}

void paint_random_gradient(Surface& target, const RunState& run, RandomSource& random,
                           clsGradient& gradient) {
    pick_random_gradient(run, random, gradient);
    // A surface too small to draw on stays black.
    target.fill(0);
    gradient.Draw(target);
}

}  // namespace vistaloom
