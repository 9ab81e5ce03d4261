#include "startup/run_state.h"

#include <gtest/gtest.h>

#include "startup/run_settings.h"
#include "startup/saver_settings.h"
#include "support/scripted_random.h"

namespace vistaloom {
namespace {

using testing::ScriptedRandom;

TEST(RunState, TablesAreFilledFromPositionOne) {
    RunState run;
    run.background_change_due = 1;
    run.picture_count = 3;
    ScriptedRandom random{0.0};
    init_run_state(run, RunSettings{}, random);

    const int colors[] = {15, 14, 13, 12, 11, 10, 9, 5, 4, 2, 1};
    for (int i = 1; i <= 11; ++i) EXPECT_EQ(run.gradient_colors[i], colors[i - 1]) << i;
    const int angles[] = {0, 180, 90, 270, 45, 135, 225, 315};
    for (int i = 1; i <= 8; ++i) EXPECT_EQ(run.gradient_angles[i], angles[i - 1]) << i;
    const int rotation[] = {1, 2, 3, 4, 3, 2, 1, 2, 3, 4};
    for (int i = 1; i <= 10; ++i) EXPECT_EQ(run.rotation_sequence[i], rotation[i - 1]) << i;
    EXPECT_EQ(run.background_change_due, 0);
    EXPECT_EQ(run.picture_count, 20);
    EXPECT_EQ(random.draws, 1);
}

TEST(RunState, RotationIndexStaysWithinOneToTen) {
    const std::pair<double, int> cases[] = {{0.0, 1},        {0.0999, 1}, {0.1, 2}, {0.55, 6},
                                            {0.9999999, 10}, {1.0, 10},   {-0.5, 1}};
    for (auto [fraction, expected] : cases) {
        RunState run;
        ScriptedRandom random{fraction};
        init_run_state(run, RunSettings{}, random);
        EXPECT_EQ(run.rotation_index, expected) << fraction;
    }
}

TEST(RunState, SpeedFactorIsATenthOfTheSpeedScaleInRange) {
    const std::pair<int32_t, double> cases[] = {{10, 1.0}, {1, 0.1},  {20, 2.0},
                                                {0, 0.1},  {-4, 0.1}, {500, 2.0}};
    for (auto [scale, factor] : cases) {
        RunState run;
        SaverSettings settings;
        settings.speed_scale = scale;
        ScriptedRandom random{0.5};
        init_run_state(run, resolve_run_settings(settings), random);
        EXPECT_DOUBLE_EQ(run.speed_factor, factor) << scale;
    }
}

TEST(PickFirstTrack, ReseedsAndPicksTheTrackBeforeTheFirst) {
    RunState run;
    SaverSettings settings;
    run.music_track = 9;
    ScriptedRandom random{0.99};
    pick_first_track(run, settings, random);
    // No theme read yet in this process: the first track played is track 1.
    EXPECT_EQ(run.music_track, 0);
    EXPECT_EQ(random.reseeds, 1);
    EXPECT_EQ(random.draws, 1);

    run.music_count = 5;
    random.push(0.0);
    pick_first_track(run, settings, random);
    EXPECT_EQ(run.music_track, 0);
    random.push(0.99);
    pick_first_track(run, settings, random);
    EXPECT_EQ(run.music_track, 4);
    random.push(0.5);
    pick_first_track(run, settings, random);
    EXPECT_EQ(run.music_track, 2);
}

TEST(PickFirstTrack, CustomMusicUsesItsOwnCountAndNegativeCountsGiveZero) {
    RunState run;
    SaverSettings settings;
    settings.custom_music_flag = "1";
    run.music_count = 8;
    ScriptedRandom random{0.9};
    pick_first_track(run, settings, random);
    EXPECT_EQ(run.music_track, 0);  // the user's music list is empty

    settings.custom_music_flag = "0";
    run.music_count = -5;
    random.push(0.9);
    pick_first_track(run, settings, random);
    EXPECT_EQ(run.music_track, 0);
}

}  // namespace
}  // namespace vistaloom
