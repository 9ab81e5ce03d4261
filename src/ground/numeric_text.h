#pragma once
#include <cstdint>
#include <string_view>

namespace vistaloom {

// Settings are stored as text and compared as numbers where they are used. This is the one
// conversion for that: blanks, tabs and line feeds anywhere are ignored, the longest leading
// decimal number (sign, digits, one point, exponent) is taken, no number at all gives 0.
double numeric_value(std::string_view text);

// numeric_value rounded to the nearest whole number (halves to even) and held inside the
// 32-bit signed range, so a hand-edited huge value can never overflow a caller.
int32_t numeric_int(std::string_view text);

}  // namespace vistaloom
