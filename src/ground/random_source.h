#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vistaloom {

// The one source of randomness for the core: uniform reals in [0, 1).
class RandomSource {
  public:
    virtual ~RandomSource() = default;
    virtual double next() = 0;
    // "Reseed from the clock". A source that was given a fixed seed derives the new state from
    // its own sequence instead, so a seeded run stays reproducible.
    virtual void reseed_from_clock() = 0;
};

// Int(R x n + 1): a uniform whole number in 1..n, the draw every table pick uses. Kept inside
// 1..n even if a source ever hands out 1.0 (or n is not positive), so no pick can index past
// its table.
inline int32_t random_position(RandomSource& random, int32_t n) {
    const double v = std::floor(random.next() * n + 1.0);
    return static_cast<int32_t>(std::clamp(v, 1.0, static_cast<double>(std::max(n, 1))));
}

}  // namespace vistaloom
