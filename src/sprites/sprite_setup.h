#pragma once
#include <cstdint>

namespace vistaloom {

struct Scene;
struct Surface;

// Builds the session's sprite tables once the scene size is fixed and the sheet is loaded:
// cell table, speed tables, draw order, every slot freed, and (with `borders_on` 1) the
// frame tiles drawn round each cell of the sheet.
void setup_sprites(Scene& scene);

// speed_x(n) and speed_y(n) for n = 1..50 from the scene size.
void build_speed_tables(Scene& scene);

// Draws the 8-pixel frame cut from the 80 x 80 `border` picture round all 20 cells of
// `sheet`. Copies are clipped, so a sheet smaller than the full layout is safe.
void frame_sheet_cells(Surface& sheet, const Surface& border);

}  // namespace vistaloom
