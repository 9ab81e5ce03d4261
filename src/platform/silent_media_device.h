#pragma once
#include "ground/media_device.h"

namespace vistaloom {

// A player that never sounds and is always stopped: for the savers on the second and further
// screens, so the theme's music is heard once however many screens there are.
class SilentMediaDevice : public MediaDevice {
  public:
    void set_device_type(const std::string&) override {}
    void set_filename(const std::string&) override {}
    void set_notify(bool) override {}
    void set_wait(bool) override {}
    void set_shareable(bool) override {}
    void command(const std::string&) override {}
    int mode() override { return kModeNotOpen; }
    bool open_failed() override { return false; }
};

}  // namespace vistaloom
