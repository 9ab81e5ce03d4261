#pragma once
#include <cstdint>

namespace vistaloom {

struct Scene;

// How long a background scene lasts before it is replaced, with gradients on.
inline constexpr int64_t kSceneChangeIntervalMs = 35000;

// One frame of a pending change: live sprites speed up along their direction; once none is
// left the new background is painted.
void leaving_step(Scene& scene);

// Paints a new random gradient on `ascreen`, makes it the background of `main` and `work`,
// restarts the scene timer and clears the pending flag.
void change_background(Scene& scene);

// The background timer the frame loop runs once per frame, after presenting the frame.
void check_scene_timer(Scene& scene);

}  // namespace vistaloom
