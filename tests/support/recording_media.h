#pragma once
#include <functional>
#include <string>
#include <vector>

#include "ground/media_device.h"

namespace vistaloom::testing {

// A media device that behaves like a command control without sound: Open makes it stopped,
// Play playing, Close not open. finish_track() stands in for a track reaching its end.
// `log` holds every property write and command in order ("DeviceType=Sequencer", "Open").
class RecordingMedia : public MediaDevice {
  public:
    std::vector<std::string> log;
    std::vector<std::string> commands;
    std::vector<std::string> played;  // the file name at each Play
    std::string device_type;
    std::string filename;
    int current_mode = kModeNotOpen;
    bool fail_opens = false;  // every Open fails, as without an audio device
    bool failed = false;
    int mode_queries = 0;
    std::function<void(const std::string&)> on_command;  // after each command took effect

    void set_device_type(const std::string& t) override {
        device_type = t;
        log.push_back("DeviceType=" + t);
    }
    void set_filename(const std::string& path) override {
        filename = path;
        log.push_back("FileName=" + path);
    }
    void set_notify(bool n) override { log.push_back(n ? "Notify=1" : "Notify=0"); }
    void set_wait(bool w) override { log.push_back(w ? "Wait=1" : "Wait=0"); }
    void set_shareable(bool s) override { log.push_back(s ? "Shareable=1" : "Shareable=0"); }
    void command(const std::string& c) override {
        log.push_back(c);
        commands.push_back(c);
        if (c == "Open") {
            current_mode = kModeStopped;
            failed = fail_opens;
        }
        if (c == "Play" && current_mode != kModeNotOpen && !failed) {
            current_mode = kModePlaying;
            played.push_back(filename);
        }
        if (c == "Stop" && current_mode != kModeNotOpen) current_mode = kModeStopped;
        if (c == "Close") {
            current_mode = kModeNotOpen;
            failed = false;
        }
        if (on_command) on_command(c);
    }
    int mode() override {
        ++mode_queries;
        return current_mode;
    }
    bool open_failed() override { return failed; }
    void finish_track() {
        if (current_mode == kModePlaying) current_mode = kModeStopped;
    }
    int count(const std::string& c) const {
        int n = 0;
        for (const auto& x : commands) n += x == c;
        return n;
    }
};

}  // namespace vistaloom::testing
