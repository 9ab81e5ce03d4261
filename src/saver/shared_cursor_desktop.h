#pragma once
#include "ground/desktop.h"

namespace vistaloom {

// The one pointer, shared by the savers of several screens. Each saver hides and shows the
// cursor through a counter of its own, as if it were alone; the real cursor stays hidden
// while any of them has it hidden. Without this, the saver of a screen that is unplugged
// would show the cursor again over the screens still running. Everything else goes to the
// real desktop as it is.
class SharedCursorDesktop : public Desktop {
  public:
    // `hidden_by` counts the savers that have the cursor hidden; all of them share it.
    SharedCursorDesktop(Desktop& desktop, int& hidden_by)
        : desktop_(desktop), hidden_by_(hidden_by) {}
    SharedCursorDesktop(const SharedCursorDesktop&) = delete;
    SharedCursorDesktop& operator=(const SharedCursorDesktop&) = delete;
    // A saver that goes away while hiding the cursor no longer keeps it hidden.
    ~SharedCursorDesktop() override;

    int show_cursor(bool show) override;
    void set_screen_saver_running(bool running) override {
        desktop_.set_screen_saver_running(running);
    }
    int32_t platform_id() override { return desktop_.platform_id(); }
    int verify_screen_save_password(int64_t window) override {
        return desktop_.verify_screen_save_password(window);
    }
    bool set_wallpaper(const std::string& path) override { return desktop_.set_wallpaper(path); }
    bool copy_to_clipboard(const Surface& picture) override {
        return desktop_.copy_to_clipboard(picture);
    }
    bool open_url(const std::string& url) override { return desktop_.open_url(url); }
    bool display_on() override { return desktop_.display_on(); }
    bool on_battery() override { return desktop_.on_battery(); }
    std::string time_designator(bool pm) override { return desktop_.time_designator(pm); }
    uint32_t system_color(int index) override { return desktop_.system_color(index); }

  private:
    void set_hidden(bool hidden);

    Desktop& desktop_;
    int& hidden_by_;
    int count_ = 0;  // this saver's own display count
    bool hidden_ = false;
};

}  // namespace vistaloom
