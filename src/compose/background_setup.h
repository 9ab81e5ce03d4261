#pragma once
#include <cstdint>

namespace vistaloom {

struct Scene;

// Fixes the scene size for the run, sizes `ascreen` to it and centres it in the window, paints
// the start background on it (a random two-colour gradient, or black when gradients are off)
// and copies it into `main` and `work`. A window size of 0 or less in either direction (a
// window not yet mapped) is taken as 800 x 600, so the scene is never empty.
void setup_background(Scene& scene, int32_t window_width_px, int32_t window_height_px);

}  // namespace vistaloom
