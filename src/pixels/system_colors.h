#pragma once
#include <cstdint>

namespace vistaloom {

// Number of classic system colours (indices 0..24).
inline constexpr int kSystemColorCount = 25;

// The classic ("Windows Standard") scheme's system colour `index` as 0x00BBGGRR, for
// desktops that have no system colours of their own. Indices outside 0..24 give black.
uint32_t classic_system_color(int index);

}  // namespace vistaloom
