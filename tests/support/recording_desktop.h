#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ground/desktop.h"

namespace vistaloom::testing {

// A desktop that keeps the system's cursor display count, answers the password dialog as the
// test queued, and records everything it was asked.
class RecordingDesktop : public Desktop {
  public:
    int cursor_count = 0;
    int cursor_calls = 0;
    std::vector<int> cursor_counts;  // the count after each call
    std::vector<bool> screen_saver_running;
    int32_t platform = 2;
    int platform_queries = 0;
    std::deque<int> password_answers;  // front first; 1 when empty
    std::vector<int64_t> verified_windows;
    std::vector<int> cursor_count_at_verify;
    std::function<void()> on_verify;  // runs inside the password dialog
    std::vector<std::string> wallpapers;
    bool wallpaper_result = true;
    int clipboard_copies = 0;
    std::vector<std::string> opened_urls;

    int show_cursor(bool show) override {
        ++cursor_calls;
        cursor_count += show ? 1 : -1;
        cursor_counts.push_back(cursor_count);
        return cursor_count;
    }
    void set_screen_saver_running(bool running) override {
        screen_saver_running.push_back(running);
    }
    int32_t platform_id() override {
        ++platform_queries;
        return platform;
    }
    int verify_screen_save_password(int64_t window) override {
        verified_windows.push_back(window);
        cursor_count_at_verify.push_back(cursor_count);
        if (on_verify) on_verify();
        if (password_answers.empty()) return 1;
        int answer = password_answers.front();
        password_answers.pop_front();
        return answer;
    }
    bool set_wallpaper(const std::string& path) override {
        wallpapers.push_back(path);
        return wallpaper_result;
    }
    bool copy_to_clipboard(const Surface&) override {
        ++clipboard_copies;
        return true;
    }
    bool open_url(const std::string& url) override {
        opened_urls.push_back(url);
        return true;
    }
    bool display_powered = true;
    bool battery = false;
    int power_queries = 0;
    bool display_on() override {
        ++power_queries;
        return display_powered;
    }
    bool on_battery() override { return battery; }
    std::string am = "AM";
    std::string pm = "PM";
    std::string time_designator(bool after_noon) override { return after_noon ? pm : am; }
    uint32_t system_color(int index) override { return static_cast<uint32_t>(index) * 0x010101u; }
};

}  // namespace vistaloom::testing
