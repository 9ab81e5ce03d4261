#include "compose/draw_pass.h"

#include "compose/frame_passes.h"
#include "ground/rounding.h"
#include "pixels/scene_surfaces.h"
#include "pixels/sheet_layout.h"
#include "sprites/draw_order.h"
#include "sprites/scene.h"
#include "sprites/sprite_motion.h"
#include "startup/run_settings.h"
#include "startup/run_state.h"

namespace vistaloom {

namespace {

// Where a live sprite's picture comes from: its cell of the sheet, or the no-theme picture.
struct SpriteSource {
    const Surface* picture;
    int32_t x, y, w, h;
};

SpriteSource source_of(const sprite_rec& s, const Surface& sheet, Scene& scene) {
    if (scene.run.no_themes == 1)
        return {&scene.surfaces.no_mods, 0, 0, kSheetCellWidth * scene.settings.picture_scale,
                kSheetCellHeight * scene.settings.picture_scale};
    const CellRow cell = cell_row_or_empty(scene.tables, s.cell);
    return {&sheet, cell.src_x, cell.src_y, cell.width, cell.height};
}

}  // namespace

void move_sprites(Scene& scene) {
    for_each_slot_in_draw_order(scene.tables, scene.settings.sprite_active,
                                [&](int32_t slot, sprite_rec& s) {
                                    if (s.active != 0) move_sprite(scene, slot);
                                });
}

DrawnSprites draw_moved_sprites(Surface& target, const Surface& sheet, Scene& scene) {
    DrawnSprites drawn;
    for_each_slot_in_draw_order(
        scene.tables, scene.settings.sprite_active, [&](int32_t, sprite_rec& s) {
            if (s.active == 0) return;  // free, or left its bounds in this step
            ++drawn.live;
            const SpriteSource src = source_of(s, sheet, scene);
            drawn.bytes +=
                rect_bytes(scene_blit(scene.surfaces, target, round_to_int(s.x), round_to_int(s.y),
                                      *src.picture, src.x, src.y, src.w, src.h));
        });
    return drawn;
}

std::vector<Rect> moved_sprite_rects(const Surface& target, const Surface& sheet, Scene& scene) {
    std::vector<Rect> rects;
    for_each_slot_in_draw_order(
        scene.tables, scene.settings.sprite_active, [&](int32_t, sprite_rec& s) {
            if (s.active == 0) return;
            const SpriteSource src = source_of(s, sheet, scene);
            const Rect r = clip_copy(target, round_to_int(s.x), round_to_int(s.y), *src.picture,
                                     src.x, src.y, src.w, src.h)
                               .target;
            if (r.w > 0 && r.h > 0) rects.push_back(r);
        });
    return rects;
}

DrawnSprites draw_sprites(Surface& target, const Surface& sheet, Scene& scene) {
    move_sprites(scene);
    return draw_moved_sprites(target, sheet, scene);
}

}  // namespace vistaloom
