#include "compose/frame.h"

#include "compose/draw_pass.h"
#include "compose/frame_passes.h"
#include "pixels/rect_cover.h"
#include "pixels/scene_surfaces.h"
#include "sprites/scene.h"
#include "sprites/scene_change.h"
#include "sprites/scene_step.h"
#include "startup/run_settings.h"
#include "startup/run_state.h"

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

namespace {

// Erases the previous frame's sprites from `work`, except where this frame's sprites are
// about to be drawn: those pixels are overwritten whole, so copying the background under
// them first would only be undone. A sprite that moves a few pixels leaves a thin strip.
uint64_t erase_uncovered(SceneSurfaces& s, const std::vector<Rect>& erase,
                         const std::vector<Rect>& covered) {
    uint64_t bytes = 0;
    for (const Rect& r : erase) {
        for (const Rect& part : uncovered_parts(r, covered))
            bytes += rect_bytes(blit(s.work, part.x, part.y, s.main, part.x, part.y, part.w, part.h));
    }
    return bytes;
}

}  // namespace

FrameCopies compose_frame(Scene& scene) {
    SceneSurfaces& s = scene.surfaces;
    FrameCopies copies;
    // The erase waits for the sprites' new places. Nothing in between reads `work`, and a
    // background change in between leaves `work` equal to `main`, which the erase keeps.
    const std::vector<Rect> erase = take_restore_rects(s.work, s.main, scene);
    if (!scene.settings.objects_off) {
        const bool change_due = scene.run.background_change_due != 0;
        scene_step(scene);
        if (change_due && scene.run.background_change_due == 0) {
            // The new background went from ascreen into main and work.
            ++copies.background_changes;
            copies.background_bytes = 2 * static_cast<uint64_t>(s.scene_width) *
                                      static_cast<uint64_t>(s.scene_height) * sizeof(uint32_t);
        }
    }
    move_sprites(scene);
    copies.restore_bytes = erase_uncovered(s, erase, moved_sprite_rects(s.work, s.sprite, scene));
    const DrawnSprites drawn = draw_moved_sprites(s.work, s.sprite, scene);
    copies.draw_bytes = drawn.bytes;
    copies.live_sprites = drawn.live;
    copies.present_bytes = present_frame(s.ascreen, s.work, scene);
    return copies;
}

FrameCopies scene_frame(Scene& scene) {
    const FrameCopies copies = compose_frame(scene);
    check_scene_timer(scene);
    return copies;
}

}  // namespace vistaloom
