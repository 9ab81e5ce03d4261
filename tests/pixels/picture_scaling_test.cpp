#include "pixels/picture_scaling.h"

#include <gtest/gtest.h>

#include "pixels/sheet_layout.h"

namespace vistaloom {
namespace {

uint32_t grey(uint32_t v) {
    return v << 16 | v << 8 | v;
}

// Doubling blends each new pixel from the two (or four) source pixels nearest its centre,
// 3:1 towards the nearer; the edges only blend with themselves.
TEST(PictureScaling, DoublingBlendsNeighboursAndKeepsEdges) {
    Surface row(2, 1);
    row.at(0, 0) = grey(0);
    row.at(1, 0) = grey(200);
    const Surface doubled = scale_picture(row, 2);
    ASSERT_EQ(doubled.width, 4);
    ASSERT_EQ(doubled.height, 2);
    const uint32_t want[] = {grey(0), grey(50), grey(150), grey(200)};
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(doubled.at(x, y), want[x]) << x << "," << y;
    // Channels blend on their own.
    Surface colours(1, 2);
    colours.at(0, 0) = 0x00FF0000u;
    colours.at(0, 1) = 0x000000FFu;
    EXPECT_EQ(scale_picture(colours, 2).at(0, 1), 0x00BF0040u);
    // A plain picture stays plain; scale 1 is the picture itself.
    const Surface flat(3, 3, 0x123456);
    for (uint32_t p : scale_picture(flat, 2).pixels) EXPECT_EQ(p, 0x123456u);
    EXPECT_TRUE(scale_picture(flat, 1).pixels == flat.pixels);
}

// Each cell of a sheet is scaled on its own: no picture's edge takes colour from the one next
// to it, and every cell lands at twice its place.
TEST(PictureScaling, SheetCellsDoNotBleedIntoEachOther) {
    Surface sheet(kSheetWidth, kSheetHeight, 0x777777);
    for (int32_t n = 1; n <= kSheetCells; ++n) {
        const SheetPoint at = sheet_cell_origin(n);
        for (int32_t y = 0; y < kSheetCellHeight; ++y)
            for (int32_t x = 0; x < kSheetCellWidth; ++x)
                sheet.at(at.x + x, at.y + y) = static_cast<uint32_t>(n * 10);
    }
    const Surface doubled = scale_sheet(sheet, 2);
    ASSERT_EQ(doubled.width, 2 * kSheetWidth);
    ASSERT_EQ(doubled.height, 2 * kSheetHeight);
    for (int32_t n = 1; n <= kSheetCells; ++n) {
        const SheetPoint at = sheet_cell_origin(n);
        const auto want = static_cast<uint32_t>(n * 10);
        for (const auto [x, y] : {std::pair{0, 0}, {2 * kSheetCellWidth - 1, 0},
                                  {0, 2 * kSheetCellHeight - 1},
                                  {2 * kSheetCellWidth - 1, 2 * kSheetCellHeight - 1}})
            EXPECT_EQ(doubled.at(2 * at.x + x, 2 * at.y + y), want) << "cell " << n;
    }
    EXPECT_EQ(doubled.at(5, 1), 0x777777u);  // the unseen top line, on its own too
}

}  // namespace
}  // namespace vistaloom
