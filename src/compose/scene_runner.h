#pragma once
#include <cstdint>

#include "compose/frame.h"
#include "pixels/gradient_rect.h"
#include "pixels/scene_surfaces.h"
#include "sprites/scene.h"
#include "sprites/sprite_model.h"
#include "startup/run_state.h"
#include "startup/saver_settings.h"

namespace vistaloom {

class Clock;
class RandomSource;

// Everything one saver session's sprite engine works on, owned in one place and ready to
// run without a window: surfaces sized to the scene, a patterned sheet, fresh run-time
// tables and the sprite tables built. Tests and benchmarks share it. Not copyable: `scene`
// refers to the members.
class HeadlessScene {
  public:
    // Colour of the start background, so a test can tell it from a painted gradient.
    static constexpr uint32_t kStartBackground = 0x00203040;

    HeadlessScene(int32_t scene_width, int32_t scene_height, Clock& clock, RandomSource& random,
                  const SaverSettings& settings = SaverSettings{});
    HeadlessScene(const HeadlessScene&) = delete;
    HeadlessScene& operator=(const HeadlessScene&) = delete;

    SaverSettings settings;
    RunState run;
    SpriteTables tables;
    SceneSurfaces surfaces;
    clsGradient gradient;
    Scene scene;

    // The pixel the patterned sheet holds at (x, y): each cell has its own colour, so a test
    // can tell which picture was drawn where.
    static uint32_t sheet_pixel(int32_t x, int32_t y);
};

// Runs whole frames of a saver session as the saver window does: the composed frame, then
// the background timer. It stands in for the window
// too: after each frame it takes the presented rectangles and the repaint flag, as a
// repaint would.
class SceneRunner {
  public:
    explicit SceneRunner(Scene& scene);

    // The frame loop's start: the scene timer begins now.
    void start();
    // One frame; returns what it copied.
    FrameCopies run_frame();
    // `frames` frames; returns the sum.
    FrameCopies run_frames(int64_t frames);

    const FrameCopies& totals() const { return totals_; }
    int64_t frames_run() const { return frames_; }

  private:
    Scene& scene_;
    FrameCopies totals_;
    int64_t frames_ = 0;
};

}  // namespace vistaloom
