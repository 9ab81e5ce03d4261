#pragma once
#include <cstdint>

#include "render/surface.h"
#include "sprites/sprite_model.h"

namespace vistaloom {

struct Scene;

// Size of a cell_table row; a number outside the table (0 included) is a 0 x 0 cell, so a
// damaged slot draws and restores nothing instead of reading past the table.
CellRow cell_row_or_empty(const SpriteTables& tables, int32_t cell);

// The slot visited k-th (draw_order), or 0 when the entry does not name a slot 1..10.
int32_t slot_in_draw_order(const SpriteTables& tables, int32_t k);

// Erases the sprites of the previous frame: copies each one's last rectangle from `source`
// (the clean background) into `target` (the frame being composed) and clears `drawn`.
void restore_background(Surface& target, const Surface& source, Scene& scene);

// Copies each active sprite's dirty rectangle (where it was plus where it is, one extra pixel
// right and down) from `source` (the composed frame) to `target` (what the user sees), then
// remembers where the sprite now is. Every rectangle copied is appended to
// scene.surfaces.presented so the window repaints only those.
void present_frame(Surface& target, const Surface& source, Scene& scene);

}  // namespace vistaloom
