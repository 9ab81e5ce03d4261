#pragma once
#include <cstdint>

namespace vistaloom {

// The sheet a theme's twenty pictures come on: two columns, ten rows of 320 x 240 cells, and
// one line above the first row that is never shown (the cells start at y = 1), 640 x 2401 in
// all. Everything that cuts, draws, checks or makes a sheet takes its measures from here.
inline constexpr int32_t kSheetCellWidth = 320;
inline constexpr int32_t kSheetCellHeight = 240;
inline constexpr int32_t kSheetColumns = 2;
inline constexpr int32_t kSheetRows = 10;
inline constexpr int32_t kSheetCells = kSheetColumns * kSheetRows;
inline constexpr int32_t kSheetTopLine = 1;
inline constexpr int32_t kSheetWidth = kSheetColumns * kSheetCellWidth;
inline constexpr int32_t kSheetHeight = kSheetRows * kSheetCellHeight + kSheetTopLine;
// Half a cell: where a picture entering on a curving path may start.
inline constexpr int32_t kHalfCellWidth = kSheetCellWidth / 2;
inline constexpr int32_t kHalfCellHeight = kSheetCellHeight / 2;

struct SheetPoint {
    int32_t x;
    int32_t y;
};

// Top left of cell n (1..20); cells 1 and 2 form the top row.
constexpr SheetPoint sheet_cell_origin(int32_t n) {
    return {((n - 1) % kSheetColumns) * kSheetCellWidth,
            ((n - 1) / kSheetColumns) * kSheetCellHeight + kSheetTopLine};
}

}  // namespace vistaloom
