#pragma once
#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <vector>

namespace vistaloom {

// The sheet the saver cuts its twenty 320 x 240 pictures from: two columns, ten rows, and one
// line above the first row that is never shown (the cells start at y = 1), 640 x 2401 in all.
inline constexpr int kSheetCells = 20;
inline constexpr int kSheetCellWidth = 320;
inline constexpr int kSheetCellHeight = 240;
inline constexpr int kSheetWidth = 2 * kSheetCellWidth;
inline constexpr int kSheetHeight = 10 * kSheetCellHeight + 1;

// Top left of cell n (1..20) on the sheet; cells 1 and 2 form the top row.
QPoint sheet_cell_origin(int n);

// The sheet with `cells` (kSheetCells pictures of the cell size, in order) in place; the
// unshown top line is black.
QImage compose_sprite_sheet(const std::vector<QImage>& cells);

// `picture` as a baseline JPEG, the only kind of picture the saver's sheet reader takes.
// Empty when encoding failed.
QByteArray jpeg_bytes(const QImage& picture, int quality);

}  // namespace vistaloom
