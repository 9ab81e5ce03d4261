#pragma once
#include <cstdint>

#include "ground/clock.h"

namespace vistaloom::testing {

// A clock the test moves by hand. Optionally advances by `step_ms` at every tick read, so
// loops that read the clock repeatedly still make progress.
class ScriptedClock : public Clock {
public:
    int64_t now_ms = 1000;
    int64_t step_ms = 0;
    TimeOfDay day{};
    int reads = 0;

    int64_t tick_ms() override {
        ++reads;
        int64_t t = now_ms;
        now_ms += step_ms;
        return t;
    }
    TimeOfDay time_of_day() override { return day; }
    void advance(int64_t ms) { now_ms += ms; }
};

}  // namespace vistaloom::testing
