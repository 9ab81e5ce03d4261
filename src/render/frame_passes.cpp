#include "render/frame_passes.h"

#include <algorithm>

#include "render/rounding.h"
#include "render/scene_surfaces.h"
#include "sprites/scene.h"
#include "startup/saver_settings.h"

namespace vistaloom {

namespace {

constexpr int32_t kSlotCount = 10;

}  // namespace

CellRow cell_row_or_empty(const SpriteTables& tables, int32_t cell) {
    if (cell < 1 || cell >= static_cast<int32_t>(tables.cell_table.size())) return CellRow{};
    return tables.cell_table[static_cast<size_t>(cell)];
}

int32_t slot_in_draw_order(const SpriteTables& tables, int32_t k) {
    if (k < 1 || k > kSlotCount) return 0;
    const int32_t slot = tables.draw_order[static_cast<size_t>(k)];
    return (slot >= 1 && slot <= kSlotCount) ? slot : 0;
}

void restore_background(Surface& target, const Surface& source, Scene& scene) {
    SpriteTables& tables = scene.tables;
    const int32_t live = sprite_active_in_range(scene.settings);
    for (int32_t k = 1; k <= live; ++k) {
        const int32_t slot = slot_in_draw_order(tables, k);
        if (slot == 0) continue;
        sprite_rec& s = tables.sprites[static_cast<size_t>(slot)];
        if (!s.drawn) continue;
        const CellRow size = cell_row_or_empty(tables, s.last_cell);
        const int32_t x = round_to_int(s.last_x);
        const int32_t y = round_to_int(s.last_y);
        blit(target, x, y, source, x, y, size.width, size.height);
        s.drawn = false;
    }
}

void present_frame(Surface& target, const Surface& source, Scene& scene) {
    SpriteTables& tables = scene.tables;
    const int32_t live = sprite_active_in_range(scene.settings);
    for (int32_t k = 1; k <= live; ++k) {
        const int32_t slot = slot_in_draw_order(tables, k);
        if (slot == 0) continue;
        sprite_rec& s = tables.sprites[static_cast<size_t>(slot)];
        if (s.active == 0) continue;

        const CellRow now = cell_row_or_empty(tables, s.cell);
        const CellRow before = cell_row_or_empty(tables, s.last_cell);
        // The union is worked out on the fractional positions; only the results are rounded,
        // each by itself, so the copy always covers both rounded sprite rectangles.
        const double left = std::min(s.x, s.last_x);
        const double right = std::max(s.x + now.width, s.last_x + before.width);
        const double top = std::min(s.y, s.last_y);
        const double bottom = std::max(s.y + now.height, s.last_y + before.height);
        const int32_t x = round_to_int(left);
        const int32_t y = round_to_int(top);
        const Rect copied = blit(target, x, y, source, x, y, round_to_int(right - left + 1),
                                 round_to_int(bottom - top + 1));
        if (copied.w > 0 && copied.h > 0) scene.surfaces.presented.push_back(copied);

        s.drawn = s.active != 0;
        s.last_x = s.x;
        s.last_y = s.y;
        s.last_cell = s.cell;
    }
}

}  // namespace vistaloom
