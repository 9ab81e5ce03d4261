#include "saver/frame_pacing.h"

#include "saver/event_pump.h"
#include "startup/clock.h"

namespace vistaloom {

int64_t frame_rate_for(int64_t elapsed_ms) {
    if (elapsed_ms < 1) elapsed_ms = 1;
    return 1000 / elapsed_ms;
}

bool frame_long_enough(int64_t start_ms, int64_t end_ms, int32_t frame_rate) {
    if (end_ms <= start_ms) end_ms = start_ms + 1;
    return frame_rate_for(end_ms - start_ms) <= frame_rate;
}

int64_t min_frame_ms(int32_t frame_rate) {
    if (frame_rate < 1) frame_rate = 1;
    // floor(1000 / e) <= r  <=>  1000 / e < r + 1  <=>  e > 1000 / (r + 1).
    return 1000 / (static_cast<int64_t>(frame_rate) + 1) + 1;
}

int64_t wait_for_frame_end(Clock& clock, EventPump& events, int64_t start_ms, int32_t frame_rate,
                           const bool& keep_running) {
    if (frame_rate < 1) frame_rate = 1;
    const int64_t deadline = start_ms + min_frame_ms(frame_rate);
    for (;;) {
        if (keep_running) {
            events.wait_until(deadline);
        } else {
            events.process_pending();
        }
        int64_t end_ms = clock.tick_ms();
        if (end_ms <= start_ms) end_ms = start_ms + 1;
        // Re-read rather than trust the deadline: a wait may end early for an event that did
        // not stop the run, and the clock, not the wake-up, decides whether the frame is over.
        if (!keep_running || frame_rate_for(end_ms - start_ms) <= frame_rate) return end_ms;
    }
}

}  // namespace vistaloom
