#pragma once
#include <cstdint>
#include <optional>
#include <random>

#include "startup/random_source.h"

namespace vistaloom {

// The real random source: one 64-bit Mersenne Twister.
//
// Without a seed it starts from the clock and every reseed_from_clock() mixes fresh clock
// readings into the state. With a fixed seed (the --seed option) the whole run is reproducible:
// a reseed then derives the new state from the engine's own next output instead of the clock.
class SeededRandom : public RandomSource {
  public:
    explicit SeededRandom(std::optional<uint64_t> fixed_seed = std::nullopt);

    double next() override;
    void reseed_from_clock() override;

    bool is_seeded() const { return fixed_seed_.has_value(); }

  private:
    std::optional<uint64_t> fixed_seed_;
    std::mt19937_64 engine_;
};

}  // namespace vistaloom
