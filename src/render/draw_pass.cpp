#include "render/draw_pass.h"

#include "render/frame_passes.h"
#include "render/rounding.h"
#include "render/scene_surfaces.h"
#include "sprites/scene.h"
#include "sprites/sprite_model.h"
#include "startup/run_state.h"
#include "startup/saver_settings.h"

namespace vistaloom {

namespace {

constexpr int32_t kNoModsWidth = 320;
constexpr int32_t kNoModsHeight = 240;

bool is_slot(int32_t slot) {
    return slot >= 1 && slot <= 10;
}

// Frees the slot once it lies wholly beyond a bound. The tests are strict: a sprite whose left
// edge sits exactly on the right bound (or right edge on the left bound) lives one more frame.
void free_if_outside(SpriteTables& tables, int32_t slot, double left, double top, double right,
                     double bottom) {
    const sprite_rec& s = tables.sprites[static_cast<size_t>(slot)];
    const CellRow size = cell_row_or_empty(tables, s.cell);
    if (s.x > right || s.x + size.width < left) {
        reset_sprite(tables, slot);
        return;
    }
    if (s.y > bottom || s.y + size.height < top) reset_sprite(tables, slot);
}

}  // namespace

void move_straight(Scene& scene, int32_t slot) {
    if (!is_slot(slot)) return;
    sprite_rec& s = scene.tables.sprites[static_cast<size_t>(slot)];
    s.x += s.dx;
    s.y += s.dy;
    free_if_outside(scene.tables, slot, s.param1, s.param2, s.param3, s.param4);
}

void move_accelerating(Scene& scene, int32_t slot) {
    if (!is_slot(slot)) return;
    sprite_rec& s = scene.tables.sprites[static_cast<size_t>(slot)];
    // The velocity changes after the move, so the first step moves by the launch velocity.
    s.x += s.dx;
    s.y += s.dy;
    s.dx += s.param1;
    s.dy += s.param2;
    free_if_outside(scene.tables, slot, s.param3, s.param4, s.param5, s.param6);
}

void draw_sprites(Surface& target, const Surface& sheet, Scene& scene) {
    SpriteTables& tables = scene.tables;
    const bool no_themes = scene.run.no_themes == 1;
    const int32_t live = sprite_active_in_range(scene.settings);
    for (int32_t k = 1; k <= live; ++k) {
        const int32_t slot = slot_in_draw_order(tables, k);
        if (slot == 0) continue;
        sprite_rec& s = tables.sprites[static_cast<size_t>(slot)];
        if (s.active == 0) continue;

        if (s.motion == kMotionStraight) {
            move_straight(scene, slot);
        } else if (s.motion == kMotionAccelerating) {
            move_accelerating(scene, slot);
        }
        if (s.active == 0) continue;  // left its bounds in this step

        const int32_t x = round_to_int(s.x);
        const int32_t y = round_to_int(s.y);
        if (no_themes) {
            blit(target, x, y, scene.surfaces.no_mods, 0, 0, kNoModsWidth, kNoModsHeight);
        } else {
            const CellRow cell = cell_row_or_empty(tables, s.cell);
            blit(target, x, y, sheet, cell.src_x, cell.src_y, cell.width, cell.height);
        }
    }
}

}  // namespace vistaloom
