#pragma once
#include <cstdint>

namespace vistaloom {

struct Scene;
struct Surface;

// The start background in two steps, so that a window can show it before the run has the
// memory for its scene-sized pictures.
//
// choose_start_background fixes the scene size for the run, centres it in the window and
// draws the background's random choices (a two-colour gradient, or black when gradients are
// off); no picture is sized yet. A window size of 0 or less in either direction (a window not
// yet mapped) is taken as 800 x 600, so the scene is never empty.
void choose_start_background(Scene& scene, int32_t window_width_px, int32_t window_height_px);

// Rows [top, top + band.height) of the chosen background, into `band` (as wide as the scene).
void paint_start_rows(Scene& scene, Surface& band, int32_t top);

// Sizes `ascreen` to the scene, paints the chosen background on it and copies it into `main`
// and `work`.
void fill_start_background(Scene& scene);

// Both steps at once.
void setup_background(Scene& scene, int32_t window_width_px, int32_t window_height_px);

}  // namespace vistaloom
