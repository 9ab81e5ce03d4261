#include "compose/frame.h"

#include <algorithm>

#include "compose/draw_pass.h"
#include "compose/frame_passes.h"
#include "pixels/rect_cover.h"
#include "pixels/scene_surfaces.h"
#include "sprites/draw_order.h"
#include "sprites/scene.h"
#include "sprites/scene_change.h"
#include "sprites/scene_step.h"
#include "sprites/sprite_model.h"
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
            bytes += rect_bytes(
                scene_blit(s, s.frame(), part.x, part.y, s.main, part.x, part.y, part.w, part.h));
    }
    return bytes;
}

// The sprites drawn in the last frame, before this frame clears their `drawn`.
std::vector<int32_t> drawn_slots(Scene& scene) {
    std::vector<int32_t> slots;
    for_each_slot_in_draw_order(scene.tables, scene.settings.sprite_active,
                                [&](int32_t slot, sprite_rec& s) {
                                    if (s.drawn) slots.push_back(slot);
                                });
    return slots;
}

// In a frame built in `ascreen`, a sprite that left in this frame stays where it was last
// drawn, as it does where the frame is built in `work` (which erases it there but never
// presents that place): its erase is dropped and the place becomes a remnant.
void keep_leavers(Scene& scene, const std::vector<int32_t>& drawn, std::vector<Rect>& erase) {
    SceneSurfaces& s = scene.surfaces;
    for (int32_t slot : drawn) {
        const sprite_rec& sprite = scene.tables.sprites[slot];
        if (sprite.active != 0) continue;
        const Rect r = last_place(s.ascreen, s.main, scene.tables, sprite);
        const auto it = std::find_if(erase.begin(), erase.end(), [&](const Rect& e) {
            return e.x == r.x && e.y == r.y && e.w == r.w && e.h == r.h;
        });
        if (it == erase.end()) continue;
        erase.erase(it);
        s.remnants.push_back(r);
    }
}

}  // namespace

FrameCopies compose_frame(Scene& scene) {
    SceneSurfaces& s = scene.surfaces;
    FrameCopies copies;
    // The erase waits for the sprites' new places. Nothing in between reads `work`, and a
    // background change in between leaves `work` equal to `main`, which the erase keeps.
    const std::vector<int32_t> drawn_before =
        s.composed_in_ascreen ? drawn_slots(scene) : std::vector<int32_t>();
    std::vector<Rect> erase = take_restore_rects(s.frame(), s.main, scene);
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
    if (s.composed_in_ascreen) keep_leavers(scene, drawn_before, erase);
    copies.restore_bytes =
        erase_uncovered(s, erase, moved_sprite_rects(s.frame(), s.sprite, scene));
    uncover_remnants(scene);
    const DrawnSprites drawn = draw_moved_sprites(s.frame(), s.sprite, scene);
    copies.draw_bytes = drawn.bytes;
    copies.live_sprites = drawn.live;
    copies.present_bytes = present_frame(s.ascreen, s.frame(), scene);
    return copies;
}

FrameCopies scene_frame(Scene& scene) {
    const FrameCopies copies = compose_frame(scene);
    check_scene_timer(scene);
    return copies;
}

}  // namespace vistaloom
