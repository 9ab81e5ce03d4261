#include "platform/steady_clock.h"

#include <chrono>
#include <ctime>

namespace vistaloom {

int64_t SteadyClock::tick_ms() {
    // The epoch of steady_clock is arbitrary (usually the boot), which is all a tick count needs;
    // it is never 0, so code that treats 0 as "not set yet" keeps working.
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

TimeOfDay SteadyClock::time_of_day() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t whole = system_clock::to_time_t(now);
    // to_time_t may round; take the fraction relative to the second it returned so it stays in
    // [0, 1) either way.
    const auto fraction = now - system_clock::from_time_t(whole);
    double frac_s = duration<double>(fraction).count();
    if (frac_s < 0.0) frac_s = 0.0;
    if (frac_s >= 1.0) frac_s = 0.999;

    // Asked every frame, but the local time changes once a second: the zone's rules are
    // looked up only then.
    if (whole != local_of_) {
#if defined(_WIN32)
        localtime_s(&local_, &whole);
#else
        localtime_r(&whole, &local_);
#endif
        local_of_ = whole;
    }
    const std::tm& local = local_;
    TimeOfDay t;
    t.hour = local.tm_hour;
    t.minute = local.tm_min;
    // A leap second shows as :60 in some zones; the display and the seconds count stay in range.
    t.second = local.tm_sec > 59 ? 59 : local.tm_sec;
    t.seconds_since_midnight = t.hour * 3600.0 + t.minute * 60.0 + t.second + frac_s;
    return t;
}

}  // namespace vistaloom
