#pragma once
#include <cstdint>

namespace vistaloom {

struct Scene;

// What composing one frame copied, in bytes of 32-bit pixels, counted from the rectangles
// the copies actually moved (after clipping).
struct FrameCopies {
    uint64_t restore_bytes = 0;     // main -> work, previous frame's sprites
    uint64_t draw_bytes = 0;        // sheet -> work, this frame's sprites
    uint64_t present_bytes = 0;     // work -> ascreen, dirty rectangles
    uint64_t background_bytes = 0;  // ascreen -> main and work after a background change
    int64_t live_sprites = 0;       // sprites drawn
    int64_t background_changes = 0;

    FrameCopies& operator+=(const FrameCopies& other);
};

// Composes one frame, the same way wherever a frame is made (the saver window, the headless
// runner, benchmarks, tests): erase last frame's sprites from `work`, advance the scene
// (unless objects are off), move and draw the sprites into `work`, and copy what changed to
// `ascreen`, recording the rectangles in scene.surfaces.presented.
FrameCopies compose_frame(Scene& scene);

// One frame of the scene in the order every frame loop runs it (the saver session, the
// headless runner): the composed frame, then the scene timer, which may call for the next
// background.
FrameCopies scene_frame(Scene& scene);

}  // namespace vistaloom
