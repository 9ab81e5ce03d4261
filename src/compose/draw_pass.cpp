#include "compose/draw_pass.h"

#include "compose/frame_passes.h"
#include "ground/rounding.h"
#include "pixels/scene_surfaces.h"
#include "sprites/draw_order.h"
#include "sprites/scene.h"
#include "sprites/sprite_motion.h"
#include "startup/run_state.h"
#include "startup/saver_settings.h"

namespace vistaloom {

namespace {

constexpr int32_t kNoModsWidth = 320;
constexpr int32_t kNoModsHeight = 240;

}  // namespace

DrawnSprites draw_sprites(Surface& target, const Surface& sheet, Scene& scene) {
    SpriteTables& tables = scene.tables;
    const bool no_themes = scene.run.no_themes == 1;
    DrawnSprites drawn;
    for_each_slot_in_draw_order(
        tables, sprite_active_in_range(scene.settings), [&](int32_t slot, sprite_rec& s) {
            if (s.active == 0) return;
            move_sprite(scene, slot);
            if (s.active == 0) return;  // left its bounds in this step

            ++drawn.live;
            const int32_t x = round_to_int(s.x);
            const int32_t y = round_to_int(s.y);
            if (no_themes) {
                drawn.bytes += rect_bytes(blit(target, x, y, scene.surfaces.no_mods, 0, 0,
                                               kNoModsWidth, kNoModsHeight));
            } else {
                const CellRow cell = cell_row_or_empty(tables, s.cell);
                drawn.bytes += rect_bytes(
                    blit(target, x, y, sheet, cell.src_x, cell.src_y, cell.width, cell.height));
            }
        });
    return drawn;
}

}  // namespace vistaloom
