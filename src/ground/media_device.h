#pragma once
#include <string>

namespace vistaloom {

// The music player, modelled on a multimedia command control: a device type and a file are
// set, then commands are carried out. status_update() is polled by the saver window; it
// returns the control's mode, where 525 means stopped.
class MediaDevice {
public:
    static constexpr int kModeStopped = 525;
    static constexpr int kModePlaying = 526;
    static constexpr int kModeNotOpen = 524;

    virtual ~MediaDevice() = default;
    virtual void set_device_type(const std::string& device_type) = 0;
    virtual void set_filename(const std::string& path) = 0;
    virtual void set_notify(bool notify) = 0;
    virtual void set_wait(bool wait) = 0;
    virtual void set_shareable(bool shareable) = 0;
    // "Open", "Play", "Stop", "Close".
    virtual void command(const std::string& command) = 0;
    virtual int mode() = 0;
    // The last "Open" could not be carried out: no working audio device, or a file the
    // player refuses. Read after mode() reports stopped, so a track that can never play is
    // told apart from one that played to its end.
    virtual bool open_failed() = 0;
};

}  // namespace vistaloom
