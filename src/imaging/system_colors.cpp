#include "imaging/system_colors.h"

#include <array>
#include <cstddef>

namespace vistaloom {

namespace {

constexpr uint32_t bgr(uint32_t r, uint32_t g, uint32_t b) {
    return r | (g << 8) | (b << 16);
}

constexpr std::array<uint32_t, kSystemColorCount> kClassic = {
    bgr(192, 192, 192),  // 0 scroll bar
    bgr(0, 128, 128),    // 1 desktop background
    bgr(0, 0, 128),      // 2 active caption
    bgr(128, 128, 128),  // 3 inactive caption
    bgr(192, 192, 192),  // 4 menu
    bgr(255, 255, 255),  // 5 window
    bgr(0, 0, 0),        // 6 window frame
    bgr(0, 0, 0),        // 7 menu text
    bgr(0, 0, 0),        // 8 window text
    bgr(255, 255, 255),  // 9 caption text
    bgr(192, 192, 192),  // 10 active border
    bgr(192, 192, 192),  // 11 inactive border
    bgr(128, 128, 128),  // 12 application workspace
    bgr(0, 0, 128),      // 13 highlight
    bgr(255, 255, 255),  // 14 highlight text
    bgr(192, 192, 192),  // 15 button face
    bgr(128, 128, 128),  // 16 button shadow
    bgr(128, 128, 128),  // 17 grey text
    bgr(0, 0, 0),        // 18 button text
    bgr(192, 192, 192),  // 19 inactive caption text
    bgr(255, 255, 255),  // 20 button highlight
    bgr(0, 0, 0),        // 21 3-D dark shadow
    bgr(192, 192, 192),  // 22 3-D light
    bgr(0, 0, 0),        // 23 tool tip text
    bgr(255, 255, 225),  // 24 tool tip background
};

}  // namespace

uint32_t classic_system_color(int index) {
    if (index < 0 || index >= kSystemColorCount) return 0;
    return kClassic[static_cast<size_t>(index)];
}

}  // namespace vistaloom
