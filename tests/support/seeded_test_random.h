#pragma once
#include <cstdint>

#include "ground/random_source.h"

namespace vistaloom::testing {

// A seeded generator whose reseed derives from its own state, as a run with a fixed seed has.
class SeededTestRandom : public RandomSource {
  public:
    explicit SeededTestRandom(uint64_t seed) : state_(seed) {}
    double next() override {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<double>(state_ >> 11) * 0x1.0p-53;
    }
    void reseed_from_clock() override { state_ ^= state_ >> 29; }

  private:
    uint64_t state_;
};

}  // namespace vistaloom::testing
