#pragma once
#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <vector>

#include "pixels/sheet_layout.h"

namespace vistaloom {

// Top left of cell n (1..20) on the sheet, as Qt draws it.
QPoint sheet_cell_point(int n);

// The sheet with `cells` (kSheetCells pictures of the cell size, in order) in place; the
// unshown top line is black.
QImage compose_sprite_sheet(const std::vector<QImage>& cells);

// `picture` as a baseline JPEG, the only kind of picture the saver's sheet reader takes.
// Empty when encoding failed.
QByteArray jpeg_bytes(const QImage& picture, int quality);

}  // namespace vistaloom
