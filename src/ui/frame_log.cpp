#include "ui/frame_log.h"

#include <chrono>

#include "ground/clock.h"
#include "ground/printable_text.h"
#include "startup/output_files.h"
#include "ui/saver_screen.h"

namespace vistaloom {

FrameLog::FrameLog(const std::string& path, Clock& clock) : clock_(clock) {
    if (path.empty()) return;
    // A FIFO would hold the saver in open() before its first frame, deaf to SIGTERM.
    if (const std::string problem = output_file_problem(path); !problem.empty()) {
        std::fprintf(stderr, "vistaloom: VISTALOOM_FRAME_LOG: %s\n", problem.c_str());
        return;
    }
    file_ = std::fopen(path.c_str(), "w");
    if (file_) std::setvbuf(file_, nullptr, _IOLBF, 0);
}

FrameLog::~FrameLog() {
    if (file_) std::fclose(file_);
}

void FrameLog::note(const std::string& kind, const std::string& text) {
    if (file_) std::fprintf(file_, "%s %s\n", kind.c_str(), printable(text).c_str());
}

void FrameLog::follow(SaverScreen& screen) {
    if (!file_) return;
    note("presentation", screen.window().presentation_name());
    screen.window().set_schedule_observer(observer_for(screen.session()));
    screen.window().set_start_observer([this] {
        if (first_picture_logged_) return;
        first_picture_logged_ = true;
        stamp("first-frame-presented");
    });
}

std::function<void(int64_t)> FrameLog::observer_for(SaverSession& session) {
    if (!file_) return {};
    return [this, &session](int64_t delay_ms) {
        if (!first_frame_logged_ && session.frames_drawn() >= 1) {
            first_frame_logged_ = true;
            if (!first_picture_logged_) stamp("first-frame-presented");
            first_picture_logged_ = true;
            stamp("first-scene-frame-presented");
        }
        if (delay_ms <= 0) return;  // the run ended: no frame to wait for
        std::fprintf(file_, "%lld %lld\n", static_cast<long long>(session.frames_drawn()),
                     static_cast<long long>(clock_.tick_ms() + delay_ms));
    };
}

void FrameLog::stamp(const char* what) {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    std::fprintf(file_, "# %s-unix-us %lld\n", what,
                 static_cast<long long>(
                     std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
}

}  // namespace vistaloom
