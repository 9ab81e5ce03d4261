#include "saver/headless_session.h"

namespace vistaloom {

HeadlessSession::HeadlessSession(int32_t width, int32_t height, SaverSettings& settings,
                                 const StartupValues& startup, SaverSeams seams,
                                 SaverSessionOptions options)
    : host_(width, height), session_(settings, startup, seams, host_, std::move(options)) {}

void HeadlessSession::start() {
    if (started_) return;
    started_ = true;
    session_.Form_Load();
    session_.Form_Activate();
    next_ = host_.take_pending();
}

// One step, as the window's timer runs it. A wake-up the session asked for meanwhile replaces
// the delay, as it replaces the window's armed timer.
bool HeadlessSession::run_step(const Advance& advance) {
    const int64_t woken = host_.take_pending();
    if (woken != SaverSession::kNoFrame) next_ = woken;
    if (next_ == SaverSession::kNoFrame || host_.unloaded()) return false;
    if (next_ > 0) advance(next_);
    next_ = session_.step();
    // What the step returns is scheduled after it, so it wins over a request made inside it.
    host_.take_pending();
    return true;
}

int64_t HeadlessSession::run_frames(int64_t frames, const Advance& advance) {
    start();
    const int64_t goal = session_.frames_drawn() + frames;
    while (session_.frames_drawn() < goal && run_step(advance)) {
    }
    return session_.frames_drawn();
}

void HeadlessSession::finish(const Advance& advance) {
    start();
    session_.request_stop();
    while (run_step(advance)) {
    }
}

}  // namespace vistaloom
