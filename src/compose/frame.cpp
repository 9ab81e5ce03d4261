#include "compose/frame.h"

#include "compose/draw_pass.h"
#include "compose/frame_passes.h"
#include "pixels/scene_surfaces.h"
#include "sprites/scene.h"
#include "sprites/scene_step.h"
#include "startup/run_state.h"
#include "startup/saver_settings.h"

namespace vistaloom {

FrameCopies& FrameCopies::operator+=(const FrameCopies& other) {
    restore_bytes += other.restore_bytes;
    draw_bytes += other.draw_bytes;
    present_bytes += other.present_bytes;
    background_bytes += other.background_bytes;
    live_sprites += other.live_sprites;
    background_changes += other.background_changes;
    return *this;
}

FrameCopies compose_frame(Scene& scene) {
    SceneSurfaces& s = scene.surfaces;
    FrameCopies copies;
    copies.restore_bytes = restore_background(s.work, s.main, scene);
    if (!is_nonzero(scene.settings.objects_off)) {
        const bool change_due = scene.run.background_change_due != 0;
        scene_step(scene);
        if (change_due && scene.run.background_change_due == 0) {
            // The new background went from ascreen into main and work.
            ++copies.background_changes;
            copies.background_bytes = 2 * static_cast<uint64_t>(s.scene_width) *
                                      static_cast<uint64_t>(s.scene_height) * sizeof(uint32_t);
        }
    }
    const DrawnSprites drawn = draw_sprites(s.work, s.sprite, scene);
    copies.draw_bytes = drawn.bytes;
    copies.live_sprites = drawn.live;
    copies.present_bytes = present_frame(s.ascreen, s.work, scene);
    return copies;
}

}  // namespace vistaloom
