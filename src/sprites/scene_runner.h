#pragma once
#include <cstdint>

#include "imaging/gradient_rect.h"
#include "render/scene_surfaces.h"
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

// What the passes copied, in bytes of 32-bit pixels, counted from the rectangles they work
// on (clipped as the copies clip them).
struct FrameCopies {
    uint64_t restore_bytes = 0;     // main -> work, previous frame's sprites
    uint64_t draw_bytes = 0;        // sheet -> work, this frame's sprites
    uint64_t present_bytes = 0;     // work -> ascreen, dirty rectangles
    uint64_t background_bytes = 0;  // ascreen -> main and work after a background change
    int64_t live_sprites = 0;       // sprites presented
    int64_t background_changes = 0;

    FrameCopies& operator+=(const FrameCopies& other);
};

// Runs whole frames of a saver session in the frame loop's order: restore, scene step
// (unless objects are off), draw, present, background timer. It stands in for the window
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
