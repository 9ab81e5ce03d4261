#pragma once
#include <cstdint>

#include "ground/clock.h"

namespace vistaloom {

// The real clock: a monotonic millisecond count for frame timing and the local wall clock for
// the time shown on screen and the mouse-movement window.
class SteadyClock : public Clock {
  public:
    int64_t tick_ms() override;
    TimeOfDay time_of_day() override;
};

}  // namespace vistaloom
