#include "render/palette.h"

#include <array>
#include <cstddef>

namespace vistaloom {

namespace {

constexpr uint32_t bgr(uint32_t r, uint32_t g, uint32_t b) {
    return r | (g << 8) | (b << 16);
}

constexpr std::array<uint32_t, 16> kPalette = {
    bgr(0, 0, 0),        // 0 black
    bgr(0, 0, 128),      // 1 blue
    bgr(0, 128, 0),      // 2 green
    bgr(0, 128, 128),    // 3 cyan
    bgr(128, 0, 0),      // 4 red
    bgr(128, 0, 128),    // 5 magenta
    bgr(128, 128, 0),    // 6 yellow (brown)
    bgr(192, 192, 192),  // 7 white (light grey)
    bgr(128, 128, 128),  // 8 grey
    bgr(0, 0, 255),      // 9 light blue
    bgr(0, 255, 0),      // 10 light green
    bgr(0, 255, 255),    // 11 light cyan
    bgr(255, 0, 0),      // 12 light red
    bgr(255, 0, 255),    // 13 light magenta
    bgr(255, 255, 0),    // 14 light yellow
    bgr(255, 255, 255),  // 15 bright white
};

}  // namespace

uint32_t palette_color(int32_t number) {
    if (number < 0 || number >= static_cast<int32_t>(kPalette.size())) return 0;
    return kPalette[static_cast<size_t>(number)];
}

}  // namespace vistaloom
