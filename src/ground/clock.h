#pragma once
#include <cstdint>

namespace vistaloom {

struct TimeOfDay {
    int hour = 0;  // 0..23
    int minute = 0;
    int second = 0;
    double seconds_since_midnight = 0.0;  // with its fraction
};

// The one source of time for the core. Ticks are 64-bit monotonic milliseconds, so they never
// wrap the way a 32-bit tick counter does after 24.8 days.
class Clock {
public:
    virtual ~Clock() = default;
    virtual int64_t tick_ms() = 0;
    virtual TimeOfDay time_of_day() = 0;
};

}  // namespace vistaloom
