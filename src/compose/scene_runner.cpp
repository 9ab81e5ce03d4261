#include "compose/scene_runner.h"

#include "ground/clock.h"
#include "pixels/scene_surfaces.h"
#include "sprites/scene.h"
#include "startup/run_state.h"

namespace vistaloom {

SceneRunner::SceneRunner(Scene& scene) : scene_(scene) {
    start();
}

void SceneRunner::start() {
    scene_.run.scene_start_tick = scene_.clock.tick_ms();
}

FrameCopies SceneRunner::run_frame() {
    SceneSurfaces& s = scene_.surfaces;
    // Whatever the window had not yet taken before this frame is not this frame's work.
    s.presented.clear();
    s.ascreen_written.clear();
    s.ascreen_repainted = false;
    s.ascreen_painted = false;

    const FrameCopies copies = scene_frame(scene_);
    // As the window would: it takes the rectangles (or the whole picture) and clears them.
    s.presented.clear();
    s.ascreen_written.clear();
    s.ascreen_repainted = false;
    s.ascreen_painted = false;

    totals_ += copies;
    ++frames_;
    return copies;
}

FrameCopies SceneRunner::run_frames(int64_t frames) {
    FrameCopies sum;
    for (int64_t i = 0; i < frames; ++i) sum += run_frame();
    return sum;
}

}  // namespace vistaloom
