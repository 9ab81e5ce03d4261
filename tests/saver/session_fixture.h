#pragma once
#include <stdlib.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "saver/saver_session.h"
#include "saver/saver_window_host.h"
#include "ground/random_source.h"
#include "startup/saver_settings.h"
#include "startup/startup_values.h"
#include "support/memory_registry.h"
#include "support/queued_random.h"
#include "support/recording_desktop.h"
#include "support/recording_media.h"
#include "support/scripted_clock.h"
#include "support/scripted_events.h"
#include "support/temp_user_folders.h"
#include "support/temp_folder.h"

namespace vistaloom::testing {

// A window that records what the session asked of it.
class RecordingHost : public SaverWindowHost {
  public:
    RecordingHost(ScriptedClock& clock, ScriptedEvents& events) : clock_(clock), events_(events) {
        timer_ = events_.add_timer([this] {
            ++frame_calls;
            if (!session) return;
            const int64_t next = session->step();
            if (next != SaverSession::kNoFrame) schedule_frame(next);
        });
    }

    SaverSession* session = nullptr;  // whose step() the frame timer calls
    std::vector<int64_t> scheduled;   // delays asked for
    int frame_calls = 0;

    int32_t width = 320;
    int32_t height = 240;
    bool maximised = false;
    int maximise_calls = 0;
    BoxSize time_box{80, 16};
    BoxSize info_box{300, 14};
    std::vector<std::pair<int32_t, int32_t>> time_box_moves;
    bool time_box_visible = false;
    std::vector<std::string> time_texts;
    std::vector<std::vector<int32_t>> info_box_moves;
    std::vector<std::string> info_texts;
    int info_shows = 0;
    int topmost_calls = 0;
    std::vector<int64_t> repaint_ticks;
    int repaint_all_calls = 0;
    int unloads = 0;
    std::function<void()> on_repaint;

    int32_t inner_width_px() override { return width; }
    int32_t inner_height_px() override { return height; }
    bool is_maximised() override { return maximised; }
    void maximise() override {
        ++maximise_calls;
        maximised = true;
    }
    BoxSize time_box_size() override { return time_box; }
    void move_time_box(int32_t left, int32_t top) override {
        time_box_moves.push_back({left, top});
    }
    void set_time_box_visible(bool v) override { time_box_visible = v; }
    void set_time_box_text(const std::string& t) override { time_texts.push_back(t); }
    BoxSize info_box_size() override { return info_box; }
    void move_info_box(int32_t l, int32_t t, int32_t w, int32_t h) override {
        info_box_moves.push_back({l, t, w, h});
    }
    void set_info_box_text(const std::string& t) override { info_texts.push_back(t); }
    void show_info_box() override { ++info_shows; }
    void make_topmost() override { ++topmost_calls; }
    void repaint(const std::vector<Rect>&) override { painted(); }
    void repaint_all() override {
        ++repaint_all_calls;
        painted();
    }
    void schedule_frame(int64_t delay_ms) override {
        scheduled.push_back(delay_ms);
        events_.arm(timer_, delay_ms);
    }
    void unload() override {
        ++unloads;
        events_.disarm(timer_);
    }
    int64_t window_handle() override { return 4242; }

  private:
    void painted() {
        repaint_ticks.push_back(clock_.now_ms);
        if (on_repaint) on_repaint();
    }
    ScriptedClock& clock_;
    ScriptedEvents& events_;
    size_t timer_ = 0;
};

// Writes a theme of `tracks` MIDI tracks (items: sample, sheet, tracks) into `folder`. The
// sheet is not a real JPEG: the loader then carries on with a blank sheet, which is all the
// session needs.
inline void write_theme(const TempFolder& folder, const std::string& name, int tracks) {
    std::string info = "\"Vistaloom Theme\",\"test\"," + std::to_string(tracks) + "," +
                       std::to_string(2 + tracks) + "\r\n";
    std::string bytes;
    info += "\"sample.jpg\",4\r\n\"sheet.jpg\",4\r\n";
    bytes += "SMPLSHET";
    for (int t = 1; t <= tracks; ++t) {
        info += "\"track" + std::to_string(t) + ".mid\",4\r\n";
        bytes += "MID" + std::to_string(t % 10);
    }
    folder.write(name + ".icf", info);
    folder.write(name + ".img", bytes);
}

struct SessionFixture : ::testing::Test {
    TempFolder install;
    TempFolder runtime;
    TempFolder data;
    SaverSettings settings;
    StartupValues startup;
    ScriptedClock clock;
    QueuedRandom random;
    RecordingDesktop desktop;
    RecordingMedia media;
    ScriptedEvents events{clock};
    MemoryRegistry registry;
    TempUserFolders folders{data.path()};
    RecordingHost host{clock, events};
    SaverSessionOptions options;
    std::unique_ptr<SaverSession> session;

    void SetUp() override {
        startup.install_path = install.slash();
        clock.now_ms = 100'000;
        events.max_steps = 400'000;
    }

    SaverSession& make() {
        session = std::make_unique<SaverSession>(
            settings, startup, SaverSeams{clock, random, desktop, media, registry, folders}, host,
            options);
        host.session = session.get();
        return *session;
    }
    // Loads and activates a fresh session and runs the event loop until it has unloaded.
    SaverSession& run() {
        SaverSession& s = make();
        s.Form_Load();
        s.Form_Activate();
        events.run_until([&s] { return s.unloaded(); });
        return s;
    }
    // Ends the run at `tick` as a key press would.
    void key_at(int64_t tick) {
        events.at(tick, [this] { session->key_press(); });
    }
};

}  // namespace vistaloom::testing
