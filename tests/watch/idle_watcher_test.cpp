#include "watch/idle_watcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

using namespace vistaloom;

namespace {

// Records what the watcher asked of its idle source and its saver launcher.
struct Recorder : IdleSource, SaverLauncher {
    std::vector<std::string> log;
    bool saver_starts = true;

    std::string name() const override { return "recorder"; }
    void arm(int64_t idle_ms) override { log.push_back("arm " + std::to_string(idle_ms)); }
    void disarm() override { log.push_back("disarm"); }
    bool start_saver() override {
        log.push_back(saver_starts ? "start" : "start failed");
        return saver_starts;
    }
    void stop_saver() override { log.push_back("stop"); }
};

struct WatcherTest : ::testing::Test {
    Recorder recorder;
    std::ostringstream messages;
    IdleWatcher watcher{recorder, recorder, 600000, messages};

    std::vector<std::string> take() { return std::exchange(recorder.log, {}); }
};

using Log = std::vector<std::string>;

}  // namespace

TEST_F(WatcherTest, IdleStartsTheSaverAndItsEndWaitsAgain) {
    watcher.begin();
    EXPECT_EQ(take(), (Log{"arm 600000"}));
    watcher.user_idle();
    EXPECT_TRUE(watcher.saver_running());
    // A second report while the saver runs (a source that repeats itself) starts nothing.
    watcher.user_idle();
    EXPECT_EQ(take(), (Log{"start"}));
    watcher.saver_ended();
    EXPECT_FALSE(watcher.saver_running());
    EXPECT_EQ(take(), (Log{"arm 600000"}));
}

TEST_F(WatcherTest, ASaverThatCannotStartIsTriedAtTheNextIdleTimeNotAtOnce) {
    recorder.saver_starts = false;
    watcher.begin();
    watcher.user_idle();
    EXPECT_EQ(take(), (Log{"arm 600000", "start failed", "arm 600000"}));
    EXPECT_FALSE(watcher.saver_running());
    EXPECT_NE(messages.str().find("could not be started"), std::string::npos);
}

TEST_F(WatcherTest, HoldsKeepTheSaverOffUntilTheLastIsReleasedByItsOwner) {
    watcher.begin();
    take();
    const uint32_t video = watcher.inhibit(":1.7", "browser", "video");
    const uint32_t slides = watcher.inhibit(":1.9", "slides", "presenting");
    EXPECT_NE(video, 0u);
    EXPECT_NE(video, slides);
    EXPECT_EQ(take(), (Log{"disarm"}));
    watcher.user_idle();  // an idle report already on its way when the hold came
    EXPECT_FALSE(watcher.saver_running());

    watcher.uninhibit(video, ":1.9");  // not the owner of that cookie: nothing released
    watcher.uninhibit(video, ":1.7");
    EXPECT_TRUE(watcher.inhibited());
    EXPECT_EQ(take(), Log{});
    watcher.owner_left(":1.9");  // left the bus without releasing
    EXPECT_FALSE(watcher.inhibited());
    EXPECT_EQ(take(), (Log{"arm 600000"}));
    watcher.user_idle();
    EXPECT_TRUE(watcher.saver_running());
}

TEST_F(WatcherTest, SimulatedActivityRestartsTheCountOrEndsARunningSaver) {
    watcher.begin();
    watcher.simulate_activity();
    EXPECT_EQ(take(), (Log{"arm 600000", "arm 600000"}));
    watcher.user_idle();
    watcher.simulate_activity();
    EXPECT_EQ(take(), (Log{"start", "stop"}));
}

TEST_F(WatcherTest, ANewIdleTimeRestartsTheWaitButNotARunningSaverOrAHold) {
    watcher.begin();
    watcher.set_idle_ms(600000);  // the settings file was written, the time is the same
    watcher.set_idle_ms(60000);
    EXPECT_EQ(take(), (Log{"arm 600000", "arm 60000"}));
    const uint32_t hold = watcher.inhibit(":1.4", "player", "video");
    watcher.set_idle_ms(120000);
    watcher.uninhibit(hold, ":1.4");
    watcher.user_idle();
    watcher.set_idle_ms(300000);
    watcher.saver_ended();
    EXPECT_EQ(take(), (Log{"disarm", "disarm", "arm 120000", "start", "arm 300000"}));
}

TEST_F(WatcherTest, AGoneSessionFinishesTheWatcherForGood) {
    watcher.begin();
    watcher.source_lost("display closed");
    EXPECT_TRUE(watcher.finished());
    watcher.user_idle();
    watcher.saver_ended();
    EXPECT_EQ(take(), (Log{"arm 600000", "disarm"}));
    EXPECT_NE(messages.str().find("display closed"), std::string::npos);
}

TEST(Inhibitors, CookiesAreNeverZeroNorReusedWhileHeldAndRequestsAreBounded) {
    Inhibitors holds;
    std::vector<uint32_t> cookies;
    for (std::size_t i = 0; i < Inhibitors::kMaxRequests; ++i)
        cookies.push_back(holds.add(":1.1", "a", "b"));
    EXPECT_EQ(holds.add(":1.2", "a", "b"), 0u);
    std::sort(cookies.begin(), cookies.end());
    EXPECT_EQ(std::adjacent_find(cookies.begin(), cookies.end()), cookies.end());
    EXPECT_EQ(cookies.front(), 1u);
    EXPECT_EQ(holds.remove_owner(":1.1"), Inhibitors::kMaxRequests);
    EXPECT_FALSE(holds.any());
}
