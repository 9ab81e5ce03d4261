#pragma once
#include <cstdint>
#include <string>

namespace vistaloom {

struct Surface;

// Everything the saver asks of the desktop it runs on.
class Desktop {
public:
    virtual ~Desktop() = default;
    // Returns the new display count, as the system's cursor counter does.
    virtual int show_cursor(bool show) = 0;
    // "A screen saver is running" (action 97); on Linux nothing is told to the system.
    virtual void set_screen_saver_running(bool running) = 0;
    virtual int32_t platform_id() = 0;
    // Non-zero when the password was accepted.
    virtual int verify_screen_save_password(int64_t window) = 0;
    virtual bool set_wallpaper(const std::string& path) = 0;
    virtual bool copy_to_clipboard(const Surface& picture) = 0;
    virtual bool open_url(const std::string& url) = 0;
    // False while the display is powered down (blanked, in standby, suspended or off); true
    // when it is on or nothing can tell.
    virtual bool display_on() = 0;
    // True while the machine runs on its battery rather than on mains power.
    virtual bool on_battery() = 0;
    // The locale's designator for times before noon (pm false) or after it, as "AM" / "PM".
    virtual std::string time_designator(bool pm) = 0;
    // One of the classic 25 system colours, as 0x00BBGGRR.
    virtual uint32_t system_color(int index) = 0;
};

}  // namespace vistaloom
