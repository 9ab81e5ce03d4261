#pragma once
#include <cstdint>

namespace vistaloom {

class Clock;
class EventPump;

// A frame lasts until Int(1000 / elapsed) is at most the target rate, with elapsed counted
// as at least 1 ms. Rather than polling the tick counter until that holds, the loop works out
// the first millisecond at which it holds and sleeps in the event loop until then.

// Frames per second measured over one frame of `elapsed_ms` (raised to 1 when not positive).
int64_t frame_rate_for(int64_t elapsed_ms);

// True once a frame that began at `start_ms` and has reached `end_ms` has lasted long enough.
// An end tick not later than the start counts as start + 1.
bool frame_long_enough(int64_t start_ms, int64_t end_ms, int32_t frame_rate);

// The smallest elapsed time that satisfies the rule: 91 ms at 10, 48 at 20, 17 at 60. A rate
// below 1 is treated as 1, since no elapsed time could ever satisfy a negative rate.
int64_t min_frame_ms(int32_t frame_rate);

// Lets the event loop run until the frame that began at `start_ms` has lasted long enough,
// or at once after the pending events once `keep_running` is false (input must not wait for
// the frame to end). Input handlers run inside and may clear `keep_running`. Returns the end
// tick, already raised to start + 1 when the clock had not moved on.
int64_t wait_for_frame_end(Clock& clock, EventPump& events, int64_t start_ms, int32_t frame_rate,
                           const bool& keep_running);

}  // namespace vistaloom
