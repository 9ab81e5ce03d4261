#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace vistaloom {

class Clock;
class SaverScreen;
class SaverSession;

// For timing measurements from outside (VISTALOOM_FRAME_LOG): one line "frame deadline" per
// scheduled frame, written as the run goes so a reader can follow it, and once each the
// wall-clock time of the first picture on the screen ("first-frame-presented", the start
// background where the window shows it before the first frame) and of the first frame of the
// scene ("first-scene-frame-presented"). Deadlines are frame starts plus a constant.
class FrameLog {
  public:
    // Nothing is logged when the file cannot be opened.
    FrameLog(const std::string& path, Clock& clock);
    ~FrameLog();
    FrameLog(const FrameLog&) = delete;
    FrameLog& operator=(const FrameLog&) = delete;

    // Logs the frames of `screen`, which must outlive the log or be the last one followed.
    void follow(SaverScreen& screen);
    // The same for a saver without a window: what its host calls at each schedule.
    std::function<void(int64_t delay_ms)> observer_for(SaverSession& session);
    // One line of its own ("picture <path>"), with the control bytes of `text` escaped so a
    // file name cannot break the log into lines.
    void note(const std::string& kind, const std::string& text);

  private:
    // "# <what>-unix-us T", in wall-clock time, so that a measurement outside can subtract
    // the moment it started the program.
    void stamp(const char* what);

    Clock& clock_;
    std::FILE* file_ = nullptr;
    bool first_picture_logged_ = false;
    bool first_frame_logged_ = false;
};

}  // namespace vistaloom
