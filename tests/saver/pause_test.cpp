// Nobody looking: while the window is hidden, the display is off, or the machine runs on its
// battery with the still-frame option, the session draws nothing and wakes only every few
// seconds; when the picture is seen again the scene goes on where it was.
#include <gtest/gtest.h>

#include <algorithm>

#include "session_fixture.h"

namespace vistaloom {
namespace {

using namespace testing;

struct Pause : SessionFixture {
    // Starts a run that ends with a key at `end_tick`.
    SaverSession& start(int64_t end_tick) {
        SaverSession& s = make();
        s.Form_Load();
        s.Form_Activate();
        events.at(end_tick, [&s] { s.key_press(); });
        return s;
    }
    void run_to_end(SaverSession& s) {
        events.run_until([&s] { return s.unloaded(); });
    }
    // Frames drawn between two ticks, sampled by events.
    std::vector<int64_t> frames_at(SaverSession& s, std::initializer_list<int64_t> ticks) {
        auto samples = std::make_shared<std::vector<int64_t>>();
        for (int64_t t : ticks) events.at(t, [&s, samples] { samples->push_back(s.frames_drawn()); });
        run_to_end(s);
        return *samples;
    }
};

TEST_F(Pause, HiddenWindowDrawsNothingAndWakesRarely) {
    settings.mute_audio = "1";
    SaverSession& s = start(120'000);
    events.at(102'000, [&] { s.set_shown(false); });
    size_t scheduled_before = 0;
    events.at(102'001, [&] { scheduled_before = host.scheduled.size(); });
    size_t scheduled_hidden = 0;
    events.at(110'000, [&] {
        scheduled_hidden = host.scheduled.size() - scheduled_before;
        // Every wake-up while hidden is at least a second apart.
        for (size_t i = scheduled_before; i < host.scheduled.size(); ++i)
            EXPECT_GE(host.scheduled[i], 1000) << i;
    });
    const auto frames = frames_at(s, {102'100, 109'900});
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0], frames[1]);  // nothing drawn while hidden
    EXPECT_LE(scheduled_hidden, 5u);  // about one wake-up per two seconds
    EXPECT_TRUE(s.paused() == false || s.unloaded());
}

TEST_F(Pause, ShownAgainRepaintsEverythingAtOnceAndGoesOn) {
    settings.mute_audio = "1";
    SaverSession& s = start(105'000);
    int repaints_before = 0;
    events.at(101'000, [&] { s.set_shown(false); });
    events.at(103'000, [&] {
        repaints_before = host.repaint_all_calls;
        s.set_shown(true);
    });
    int64_t frames_right_after = -1;
    events.at(103'001, [&] { frames_right_after = s.frames_drawn(); });
    const auto frames = frames_at(s, {102'900, 104'900});
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_GT(frames_right_after, frames[0]);  // the first frame came at once
    EXPECT_GE(host.repaint_all_calls, repaints_before + 1);
    EXPECT_NEAR(static_cast<double>(frames[1] - frames[0]), 2000.0 / 48, 3);
}

TEST_F(Pause, DisplayOffIsNoticedWithinTheCheckIntervalAndMusicGoesOn) {
    write_theme(install, "Tune", 2);
    settings.active_module = "Tune";
    SaverSession& s = start(130'000);
    events.at(101'000, [&] { desktop.display_powered = false; });
    // A track that ends while the display is off is followed by the next one.
    size_t plays_before = 0;
    events.at(110'000, [&] {
        plays_before = media.played.size();
        media.finish_track();
    });
    size_t plays_later = 0;
    events.at(124'000, [&] { plays_later = media.played.size(); });
    events.at(125'000, [&] { desktop.display_powered = true; });
    const auto frames = frames_at(s, {104'000, 124'000, 129'000});
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0], frames[1]);
    EXPECT_GT(frames[2], frames[1] + 50);
    EXPECT_GE(plays_before, 1u);
    EXPECT_EQ(plays_later, plays_before + 1);
}

TEST_F(Pause, StillFrameOnBatteryOnlyWhenTheOptionIsOn) {
    settings.mute_audio = "1";
    desktop.battery = true;
    SaverSession& off = start(103'000);
    const auto drawn = frames_at(off, {101'000, 102'900});
    EXPECT_GT(drawn[1], drawn[0] + 30);

    settings.still_on_battery = "1";
    SaverSession& on = start(clock.now_ms + 3000);
    const int64_t t = clock.now_ms;
    const auto still = frames_at(on, {t + 1000, t + 2900});
    EXPECT_EQ(still[0], still[1]);
    EXPECT_LE(still[1], 1);  // at most the frame before the first power check
}

TEST_F(Pause, TheSceneTimerCountsOnlyShownTime) {
    settings.mute_audio = "1";
    settings.gradients_on = "1";
    SaverSession& s = start(200'000);
    // Shown 20 s, hidden 60 s, then shown again: the change is due 35 s of shown time after
    // the start, that is 15 s after the window came back, not at once.
    events.at(120'000, [&] { s.set_shown(false); });
    events.at(180'000, [&] { s.set_shown(true); });
    int32_t due_after_return = -1;
    events.at(180'500, [&] { due_after_return = s.run().background_change_due; });
    int64_t scene_start_after_return = 0;
    events.at(180'600, [&] { scene_start_after_return = s.run().scene_start_tick; });
    run_to_end(s);
    EXPECT_EQ(due_after_return, 0);
    EXPECT_GE(scene_start_after_return, 100'000 + 60'000);
}

TEST_F(Pause, InputWhilePausedEndsTheRunAtOnce) {
    settings.mute_audio = "1";
    SaverSession& s = make();
    s.Form_Load();
    s.Form_Activate();
    events.at(101'000, [&] { s.set_shown(false); });
    events.at(104'321, [&] { s.mouse_down(); });
    run_to_end(s);
    EXPECT_EQ(clock.now_ms, 104'321);
    EXPECT_EQ(host.unloads, 1);
}

}  // namespace
}  // namespace vistaloom
