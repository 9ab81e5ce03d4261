#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "saver/saver_session.h"
#include "saver/saver_window_host.h"

namespace vistaloom {

// A window that shows nothing: the inner area has a fixed size, the text boxes and repaints go
// nowhere, and the session's wake-up requests are kept for the runner below.
class NullHost final : public SaverWindowHost {
  public:
    NullHost(int32_t width, int32_t height) : width_(width), height_(height) {}

    int32_t inner_width_px() override { return width_; }
    int32_t inner_height_px() override { return height_; }
    bool is_maximised() override { return true; }
    void maximise() override {}
    BoxSize time_box_size() override { return {}; }
    void move_time_box(int32_t, int32_t) override {}
    void set_time_box_visible(bool) override {}
    void set_time_box_text(const std::string&) override {}
    BoxSize info_box_size() override { return {}; }
    void move_info_box(int32_t, int32_t, int32_t, int32_t) override {}
    void set_info_box_text(const std::string&) override {}
    void show_info_box() override {}
    void make_topmost() override {}
    void repaint(const std::vector<Rect>&) override {}
    void repaint_all() override {}
    void schedule_frame(int64_t delay_ms) override { pending_ = delay_ms; }
    void unload() override { unloaded_ = true; }
    int64_t window_handle() override { return 0; }

    // The delay the session last asked for outside a step, and forgets it.
    int64_t take_pending() {
        const int64_t delay = pending_;
        pending_ = SaverSession::kNoFrame;
        return delay;
    }
    bool unloaded() const { return unloaded_; }

  private:
    int32_t width_;
    int32_t height_;
    int64_t pending_ = SaverSession::kNoFrame;
    bool unloaded_ = false;
};

// A whole saver session without a window, driven as the saver window drives it: each step
// is called when the delay the previous one returned has passed. The clock is the caller's;
// `advance` moves it on by the delay before the step is called.
class HeadlessSession {
  public:
    using Advance = std::function<void(int64_t delay_ms)>;

    HeadlessSession(int32_t width, int32_t height, SaverSettings& settings,
                    const StartupValues& startup, SaverSeams seams,
                    SaverSessionOptions options = {});

    // Sets the run up and runs steps until `frames` frames more were drawn or the run has
    // unloaded; returns the frames drawn in all.
    int64_t run_frames(int64_t frames, const Advance& advance);
    // Ends the run as a close request does and runs it out.
    void finish(const Advance& advance);

    SaverSession& session() { return session_; }
    bool unloaded() const { return host_.unloaded(); }

  private:
    void start();
    bool run_step(const Advance& advance);

    NullHost host_;
    SaverSession session_;
    int64_t next_ = SaverSession::kNoFrame;
    bool started_ = false;
};

}  // namespace vistaloom
