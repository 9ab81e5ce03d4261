#pragma once
#include <cstdint>

#include "compose/frame.h"
#include "sprites/scene.h"

namespace vistaloom {

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
