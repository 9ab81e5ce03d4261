#include "saver/frame_pacing.h"

#include <gtest/gtest.h>

#include "support/scripted_clock.h"
#include "support/scripted_events.h"

namespace vistaloom {
namespace {

using testing::ScriptedClock;
using testing::ScriptedEvents;

TEST(FramePacing, FirstSatisfyingMillisecondMatchesTheRuleForEveryRate) {
    EXPECT_EQ(min_frame_ms(10), 91);
    EXPECT_EQ(min_frame_ms(20), 48);
    EXPECT_EQ(min_frame_ms(60), 17);
    for (int32_t rate = 1; rate <= 1000; ++rate) {
        const int64_t e = min_frame_ms(rate);
        EXPECT_TRUE(frame_long_enough(0, e, rate)) << rate;
        if (e > 1) {
            EXPECT_FALSE(frame_long_enough(0, e - 1, rate)) << rate;
        }
    }
}

TEST(FramePacing, EndNotLaterThanStartCountsAsOneMillisecond) {
    EXPECT_EQ(frame_rate_for(0), 1000);
    EXPECT_EQ(frame_rate_for(-7), 1000);
    EXPECT_FALSE(frame_long_enough(500, 500, 60));
    EXPECT_FALSE(frame_long_enough(500, 400, 999));
    EXPECT_TRUE(frame_long_enough(500, 400, 1000));
}

TEST(FramePacing, SleepsOnceUntilTheDeadlineInsteadOfSpinning) {
    ScriptedClock clock;
    ScriptedEvents events(clock);
    bool keep_running = true;
    clock.now_ms = 10'000;
    const int64_t end = wait_for_frame_end(clock, events, 10'000, 20, keep_running);
    EXPECT_EQ(end, 10'048);
    ASSERT_EQ(events.waits.size(), 1u);
    EXPECT_EQ(events.waits[0], 10'048);
}

TEST(FramePacing, AnEventThatDoesNotStopTheRunWaitsAgainForTheSameDeadline) {
    ScriptedClock clock;
    ScriptedEvents events(clock);
    bool keep_running = true;
    clock.now_ms = 0;
    int handled = 0;
    events.at(15, [&] { ++handled; });
    events.at(30, [&] { ++handled; });
    const int64_t end = wait_for_frame_end(clock, events, 0, 10, keep_running);
    EXPECT_EQ(handled, 2);
    EXPECT_EQ(end, 91);
    EXPECT_EQ(events.waits, (std::vector<int64_t>{91, 91, 91}));
}

TEST(FramePacing, InputThatStopsTheRunEndsTheWaitAtOnce) {
    ScriptedClock clock;
    ScriptedEvents events(clock);
    bool keep_running = true;
    clock.now_ms = 0;
    events.at(5, [&] { keep_running = false; });
    EXPECT_EQ(wait_for_frame_end(clock, events, 0, 10, keep_running), 5);

    // Already stopped before the wait: the pending events run, nothing is waited for.
    const size_t waits = events.waits.size();
    EXPECT_EQ(wait_for_frame_end(clock, events, 5, 10, keep_running), 6);
    EXPECT_EQ(events.waits.size(), waits);
}

TEST(FramePacing, ARateBelowOneStillEnds) {
    // A hand-edited rate of 0 or less can never be met by Int(1000 / elapsed); the wait must
    // still come to an end instead of sleeping forever.
    ScriptedClock clock;
    ScriptedEvents events(clock);
    events.max_waits = 10;
    bool keep_running = true;
    EXPECT_EQ(wait_for_frame_end(clock, events, clock.now_ms, -5, keep_running),
              clock.now_ms);  // the clock was moved to the deadline
    EXPECT_EQ(events.waits.size(), 1u);
}

}  // namespace
}  // namespace vistaloom
