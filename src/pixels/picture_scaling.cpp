#include "pixels/picture_scaling.h"

#include <algorithm>

#include "pixels/sheet_layout.h"

namespace vistaloom {

namespace {

uint32_t channel(uint32_t pixel, int shift) {
    return (pixel >> shift) & 0xFFu;
}

// Weights in 1/256: the four neighbours of a point between pixel centres.
uint32_t blend(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t fx, uint32_t fy) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t top = channel(a, shift) * (256 - fx) + channel(b, shift) * fx;
        const uint32_t bottom = channel(c, shift) * (256 - fx) + channel(d, shift) * fx;
        const uint32_t value = (top * (256 - fy) + bottom * fy + 32768) >> 16;
        out |= value << shift;
    }
    return out;
}

// Where a target pixel's centre falls in the source, in 1/256 pixel, from the first source
// pixel's centre; clamped into the area so its edges are only ever blended with themselves.
struct Tap {
    int32_t first;
    int32_t second;
    uint32_t weight;
};

Tap tap(int32_t target, int32_t factor, int32_t length) {
    const int32_t at = ((2 * target + 1) * 256) / (2 * factor) - 128;
    const int32_t clamped = std::clamp(at, 0, (length - 1) * 256);
    const int32_t first = clamped / 256;
    return {first, std::min(first + 1, length - 1), static_cast<uint32_t>(clamped % 256)};
}

// Scales `area` of `source` into `target` at (area.x, area.y) * factor.
void scale_area(Surface& target, const Surface& source, const Rect& area, int32_t factor) {
    for (int32_t y = 0; y < area.h * factor; ++y) {
        const Tap ty = tap(y, factor, area.h);
        const uint32_t* row0 = source.row(area.y + ty.first) + area.x;
        const uint32_t* row1 = source.row(area.y + ty.second) + area.x;
        uint32_t* out = target.row(area.y * factor + y) + area.x * factor;
        for (int32_t x = 0; x < area.w * factor; ++x) {
            const Tap tx = tap(x, factor, area.w);
            out[x] = blend(row0[tx.first], row0[tx.second], row1[tx.first], row1[tx.second],
                           tx.weight, ty.weight);
        }
    }
}

}  // namespace

Surface scale_picture(const Surface& source, int32_t factor) {
    if (factor <= 1 || source.empty()) return source;
    Surface out(source.width * factor, source.height * factor);
    scale_area(out, source, {0, 0, source.width, source.height}, factor);
    return out;
}

Surface scale_sheet(const Surface& sheet, int32_t factor) {
    if (factor <= 1 || sheet.empty()) return sheet;
    if (sheet.width != kSheetWidth || sheet.height != kSheetHeight)
        return scale_picture(sheet, factor);
    Surface out(sheet.width * factor, sheet.height * factor);
    scale_area(out, sheet, {0, 0, kSheetWidth, kSheetTopLine}, factor);
    for (int32_t n = 1; n <= kSheetCells; ++n) {
        const SheetPoint at = sheet_cell_origin(n);
        scale_area(out, sheet, {at.x, at.y, kSheetCellWidth, kSheetCellHeight}, factor);
    }
    return out;
}

}  // namespace vistaloom
