#pragma once
#include <cstdint>

namespace vistaloom {

// Colour number 0..15 of the standard 16-colour palette as 0x00BBGGRR. Numbers outside the
// palette give black.
uint32_t palette_color(int32_t number);

}  // namespace vistaloom
