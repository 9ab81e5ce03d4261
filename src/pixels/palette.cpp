#include "pixels/palette.h"

#include <array>
#include <cstddef>

#include "pixels/surface.h"

namespace vistaloom {

namespace {

constexpr std::array<uint32_t, 16> kPalette = {
    rgb_color(0, 0, 0),        // 0 black
    rgb_color(0, 0, 128),      // 1 blue
    rgb_color(0, 128, 0),      // 2 green
    rgb_color(0, 128, 128),    // 3 cyan
    rgb_color(128, 0, 0),      // 4 red
    rgb_color(128, 0, 128),    // 5 magenta
    rgb_color(128, 128, 0),    // 6 yellow (brown)
    rgb_color(192, 192, 192),  // 7 white (light grey)
    rgb_color(128, 128, 128),  // 8 grey
    rgb_color(0, 0, 255),      // 9 light blue
    rgb_color(0, 255, 0),      // 10 light green
    rgb_color(0, 255, 255),    // 11 light cyan
    rgb_color(255, 0, 0),      // 12 light red
    rgb_color(255, 0, 255),    // 13 light magenta
    rgb_color(255, 255, 0),    // 14 light yellow
    rgb_color(255, 255, 255),  // 15 bright white
};

}  // namespace

uint32_t palette_color(int32_t number) {
    if (number < 0 || number >= static_cast<int32_t>(kPalette.size())) return 0;
    return kPalette[static_cast<size_t>(number)];
}

}  // namespace vistaloom
