#pragma once
#include <array>
#include <cstdint>
#include <optional>

#include "ground/random_source.h"

namespace vistaloom {

// The real random source: xoshiro256** with a splitmix64 seeding.
//
// The scene step reseeds on every frame, so a reseed has to cost next to nothing: filling
// a Mersenne Twister's 2.5 KB of state (and, through std::seed_seq, allocating for it) took
// tens of microseconds per frame. Here a reseed is four splitmix64 steps.
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
    uint64_t next64();
    void seed_state(uint64_t seed);

    std::optional<uint64_t> fixed_seed_;
    std::array<uint64_t, 4> state_{};
};

}  // namespace vistaloom
