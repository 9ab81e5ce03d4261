#include "saver/frame_pacing.h"

#include <gtest/gtest.h>

namespace vistaloom {
namespace {

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

}  // namespace
}  // namespace vistaloom
