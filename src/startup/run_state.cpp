#include "startup/run_state.h"

#include <cmath>

#include "ground/random_source.h"
#include "startup/run_settings.h"
#include "startup/saver_settings.h"

namespace vistaloom {

namespace {

// Int(fraction x count + 1) - 1, never below 0: a count that is not positive (no tracks, or a
// damaged theme's negative count) leaves the track before the first one at 0.
int32_t track_before_first(double fraction, double count) {
    double track = std::floor(fraction * count + 1.0) - 1.0;
    if (!(track > 0.0)) return 0;
    if (track > 2147483647.0) return 2147483647;
    return static_cast<int32_t>(track);
}

}  // namespace

void init_run_state(RunState& run, const RunSettings& settings, RandomSource& random) {
    // White, light yellow, light magenta, light red, light cyan, light green, light blue,
    // magenta, red, green, blue.
    run.gradient_colors = {0, 15, 14, 13, 12, 11, 10, 9, 5, 4, 2, 1};
    run.gradient_angles = {0, 0, 180, 90, 270, 45, 135, 225, 315};
    run.background_change_due = 0;
    run.picture_count = 20;
    run.rotation_sequence = {0, 1, 2, 3, 4, 3, 2, 1, 2, 3, 4};
    run.rotation_index = random_position(random, 10);
    // The speed is in range already: a hand-edited 0 would leave every sprite standing still.
    run.speed_factor = settings.speed_scale * 0.1;
}

void pick_first_track(RunState& run, const SaverSettings& settings, RandomSource& random) {
    run.music_track = 0;
    random.reseed_from_clock();
    if (is_one(settings.custom_music_flag)) {
        run.music_track = track_before_first(random.next(), run.custom_music_count);
    } else {
        run.music_track = track_before_first(random.next(), run.music_count);
    }
}

}  // namespace vistaloom
