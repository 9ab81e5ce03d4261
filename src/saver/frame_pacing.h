#pragma once
#include <cstdint>

namespace vistaloom {

// A frame lasts until Int(1000 / elapsed) is at most the target rate, with elapsed counted
// as at least 1 ms. Rather than polling the tick counter until that holds, the session works
// out the first millisecond at which it holds and has the event loop call it back then.

// Frames per second measured over one frame of `elapsed_ms` (raised to 1 when not positive).
int64_t frame_rate_for(int64_t elapsed_ms);

// True once a frame that began at `start_ms` and has reached `end_ms` has lasted long enough.
// An end tick not later than the start counts as start + 1.
bool frame_long_enough(int64_t start_ms, int64_t end_ms, int32_t frame_rate);

// The smallest elapsed time that satisfies the rule: 91 ms at 10, 48 at 20, 17 at 60. A rate
// below 1 is treated as 1, since no elapsed time could ever satisfy a negative rate.
int64_t min_frame_ms(int32_t frame_rate);

}  // namespace vistaloom
