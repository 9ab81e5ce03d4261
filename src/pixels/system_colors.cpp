#include "pixels/system_colors.h"

#include <array>
#include <cstddef>

#include "pixels/surface.h"

namespace vistaloom {

namespace {

constexpr std::array<uint32_t, kSystemColorCount> kClassic = {
    rgb_color(192, 192, 192),  // 0 scroll bar
    rgb_color(0, 128, 128),    // 1 desktop background
    rgb_color(0, 0, 128),      // 2 active caption
    rgb_color(128, 128, 128),  // 3 inactive caption
    rgb_color(192, 192, 192),  // 4 menu
    rgb_color(255, 255, 255),  // 5 window
    rgb_color(0, 0, 0),        // 6 window frame
    rgb_color(0, 0, 0),        // 7 menu text
    rgb_color(0, 0, 0),        // 8 window text
    rgb_color(255, 255, 255),  // 9 caption text
    rgb_color(192, 192, 192),  // 10 active border
    rgb_color(192, 192, 192),  // 11 inactive border
    rgb_color(128, 128, 128),  // 12 application workspace
    rgb_color(0, 0, 128),      // 13 highlight
    rgb_color(255, 255, 255),  // 14 highlight text
    rgb_color(192, 192, 192),  // 15 button face
    rgb_color(128, 128, 128),  // 16 button shadow
    rgb_color(128, 128, 128),  // 17 grey text
    rgb_color(0, 0, 0),        // 18 button text
    rgb_color(192, 192, 192),  // 19 inactive caption text
    rgb_color(255, 255, 255),  // 20 button highlight
    rgb_color(0, 0, 0),        // 21 3-D dark shadow
    rgb_color(192, 192, 192),  // 22 3-D light
    rgb_color(0, 0, 0),        // 23 tool tip text
    rgb_color(255, 255, 225),  // 24 tool tip background
};

}  // namespace

uint32_t classic_system_color(int index) {
    if (index < 0 || index >= kSystemColorCount) return 0;
    return kClassic[static_cast<size_t>(index)];
}

}  // namespace vistaloom
