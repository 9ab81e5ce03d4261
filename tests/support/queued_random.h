#pragma once
#include <cstdint>
#include <deque>

#include "ground/random_source.h"

namespace vistaloom::testing {

// Queued numbers first, then a fixed pseudo-random sequence, so a whole run has varied
// draws while a test can still decide the first few.
class QueuedRandom : public RandomSource {
  public:
    std::deque<double> queued;
    int draws = 0;
    int reseeds = 0;
    double next() override {
        ++draws;
        if (!queued.empty()) {
            double v = queued.front();
            queued.pop_front();
            return v;
        }
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<double>(state_ >> 11) / 9007199254740992.0;
    }
    void reseed_from_clock() override { ++reseeds; }

  private:
    uint64_t state_ = 0x9E3779B97F4A7C15ull;
};

}  // namespace vistaloom::testing
