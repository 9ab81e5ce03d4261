#pragma once
#include <deque>
#include <stdexcept>

#include "ground/random_source.h"

namespace vistaloom::testing {

// Hands out the numbers the test queued, in order; records reseeds. Running dry is a test
// fault unless a fallback value was set.
class ScriptedRandom : public RandomSource {
public:
    std::deque<double> values;
    bool has_fallback = false;
    double fallback = 0.0;
    int draws = 0;
    int reseeds = 0;

    ScriptedRandom() = default;
    ScriptedRandom(std::initializer_list<double> v) : values(v) {}

    double next() override {
        ++draws;
        if (values.empty()) {
            if (has_fallback) return fallback;
            throw std::runtime_error("ScriptedRandom: no more values queued");
        }
        double v = values.front();
        values.pop_front();
        return v;
    }
    void reseed_from_clock() override { ++reseeds; }
    void push(double v) { values.push_back(v); }
    void set_fallback(double v) {
        has_fallback = true;
        fallback = v;
    }
};

}  // namespace vistaloom::testing
