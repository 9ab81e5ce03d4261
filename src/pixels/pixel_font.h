#pragma once
#include <cstdint>
#include <string_view>

#include "pixels/surface.h"

namespace vistaloom {

// A small bitmap font of our own: 5 x 7 glyphs on a 6-pixel advance, with two rows below the
// baseline for descenders, drawn at a whole-number scale. Characters it lacks draw as a box.
inline constexpr int32_t kGlyphWidth = 5;
inline constexpr int32_t kGlyphAdvance = 6;
inline constexpr int32_t kGlyphCapHeight = 7;
inline constexpr int32_t kGlyphCellHeight = 9;

// Width in pixels of `text` at `scale` (no trailing gap).
int32_t text_width(std::string_view text, int32_t scale);

// Draws `text` with its top-left at (x, y); pixels outside the surface are skipped.
void draw_text(Surface& target, int32_t x, int32_t y, std::string_view text, uint32_t pixel,
               int32_t scale);

// Draws `text` centred horizontally on the surface, top at y.
void draw_text_centred(Surface& target, int32_t y, std::string_view text, uint32_t pixel,
                       int32_t scale);

}  // namespace vistaloom
