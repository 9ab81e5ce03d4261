#pragma once
#include <cstdint>
#include <ctime>

#include "ground/clock.h"

namespace vistaloom {

// The real clock: a monotonic millisecond count for frame timing and the local wall clock for
// the time shown on screen and the mouse-movement window.
class SteadyClock : public Clock {
  public:
    int64_t tick_ms() override;
    TimeOfDay time_of_day() override;

  private:
    std::time_t local_of_ = -1;  // the second `local_` was worked out for
    std::tm local_{};
};

}  // namespace vistaloom
