#pragma once
#include <cstddef>
#include <cstdint>

#include "sprites/sprite_model.h"

namespace vistaloom {

// Size of a cell_table row; a number outside the table (0 included) is a 0 x 0 cell, so a
// damaged slot draws and restores nothing instead of reading past the table.
inline CellRow cell_row_or_empty(const SpriteTables& tables, int32_t cell) {
    if (cell < 1 || cell >= static_cast<int32_t>(tables.cell_table.size())) return CellRow{};
    return tables.cell_table[static_cast<std::size_t>(cell)];
}

// The slot visited k-th (draw_order), or 0 when the entry does not name a slot 1..10.
inline int32_t slot_in_draw_order(const SpriteTables& tables, int32_t k) {
    constexpr int32_t kSlotCount = 10;
    if (k < 1 || k > kSlotCount) return 0;
    const int32_t slot = tables.draw_order[static_cast<std::size_t>(k)];
    return (slot >= 1 && slot <= kSlotCount) ? slot : 0;
}

// The one walk over the live slots (1..live) in draw order that every frame pass takes:
// `visit(slot, record)` for each entry that names a slot. Later calls cover earlier ones
// on the screen, so the order is part of what the user sees.
template <typename Visit>
void for_each_slot_in_draw_order(SpriteTables& tables, int32_t live, Visit&& visit) {
    for (int32_t k = 1; k <= live; ++k) {
        const int32_t slot = slot_in_draw_order(tables, k);
        if (slot == 0) continue;
        visit(slot, tables.sprites[static_cast<std::size_t>(slot)]);
    }
}

}  // namespace vistaloom
