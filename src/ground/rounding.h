#pragma once
#include <cmath>
#include <cstdint>

namespace vistaloom {

// Every fractional position, size or colour component becomes a whole number here, with
// halves going to the even neighbour. Callers must not round any other way.
inline int64_t round_half_even(double value) {
    return static_cast<int64_t>(std::nearbyint(value));  // default FE_TONEAREST mode
}

// Clamped to the 32-bit range (NaN gives 0) so that no input can make the cast undefined.
inline int32_t round_to_int(double value) {
    if (!(value == value)) return 0;
    if (value >= 2147483647.0) return 2147483647;
    if (value <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int32_t>(std::nearbyint(value));
}

}  // namespace vistaloom
