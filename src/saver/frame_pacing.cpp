#include "saver/frame_pacing.h"


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

}  // namespace vistaloom
