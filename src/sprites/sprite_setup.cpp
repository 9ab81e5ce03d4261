#include "sprites/sprite_setup.h"

#include "pixels/scene_surfaces.h"
#include "pixels/sheet_layout.h"
#include "pixels/surface.h"
#include "sprites/scene.h"
#include "sprites/sprite_model.h"
#include "startup/run_settings.h"

namespace vistaloom {

namespace {

constexpr int32_t kTile = 8;

// Where the tiles sit on the 80 x 80 frame picture.
struct TileAt {
    int32_t x;
    int32_t y;
};
constexpr TileAt kTopLeft{0, 0};
constexpr TileAt kTopRight{72, 0};
constexpr TileAt kBottomLeft{0, 72};
constexpr TileAt kBottomRight{72, 72};
constexpr TileAt kTopEdge{16, 0};
constexpr TileAt kBottomEdge{16, 72};
constexpr TileAt kLeftEdge{0, 16};
constexpr TileAt kRightEdge{72, 16};

void put_tile(Surface& sheet, int32_t x, int32_t y, const Surface& border, TileAt tile) {
    blit(sheet, x, y, border, tile.x, tile.y, kTile, kTile);
}

}  // namespace

void build_speed_tables(Scene& scene) {
    const double unit_x = static_cast<double>(scene.surfaces.scene_width) / 4000.0;
    const double unit_y = static_cast<double>(scene.surfaces.scene_height) / 4000.0;
    for (int32_t n = 1; n <= 50; ++n) {
        scene.tables.speed_x[n] = n * unit_x;
        scene.tables.speed_y[n] = n * unit_y;
    }
}

void frame_sheet_cells(Surface& sheet, const Surface& border) {
    const int32_t right = kSheetCellWidth - kTile;    // 312
    const int32_t bottom = kSheetCellHeight - kTile;  // 232
    for (int32_t n = 1; n <= kSheetCells; ++n) {
        const SheetPoint at = sheet_cell_origin(n);
        const int32_t x0 = at.x;
        const int32_t y0 = at.y;
        for (int32_t k = 0; k < kSheetCellWidth / kTile; ++k) {
            put_tile(sheet, x0 + kTile * k, y0, border, kTopEdge);
            put_tile(sheet, x0 + kTile * k, y0 + bottom, border, kBottomEdge);
        }
        for (int32_t k = 0; k < kSheetCellHeight / kTile; ++k) {
            put_tile(sheet, x0, y0 + kTile * k, border, kLeftEdge);
            put_tile(sheet, x0 + right, y0 + kTile * k, border, kRightEdge);
        }
        // Corners last, over the ends of the edges.
        put_tile(sheet, x0, y0, border, kTopLeft);
        put_tile(sheet, x0 + right, y0, border, kTopRight);
        put_tile(sheet, x0, y0 + bottom, border, kBottomLeft);
        put_tile(sheet, x0 + right, y0 + bottom, border, kBottomRight);
    }
}

void setup_sprites(Scene& scene) {
    SpriteTables& t = scene.tables;
    // A sheet at the screen's scale has every measure that many times.
    const int32_t k = scene.settings.picture_scale;
    for (int32_t n = 1; n <= kSheetCells; ++n) {
        const SheetPoint at = sheet_cell_origin(n);
        set_cell(t, n, at.x * k, at.y * k, kSheetCellWidth * k, kSheetCellHeight * k);
    }
    build_speed_tables(scene);
    for (int32_t k = 1; k <= 10; ++k) {
        t.draw_order[k] = k;
        reset_sprite(t, k);
    }
    if (scene.settings.borders_on) {
        frame_sheet_cells(scene.surfaces.sprite, scene.surfaces.border);
    }
}

}  // namespace vistaloom
