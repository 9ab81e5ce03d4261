#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ground/desktop.h"

namespace vistaloom {

class RawRegistry;

// How the wallpaper is handed to the desktop. Tests point `tool_path` at a folder of stand-in
// programs so they never change the real desktop.
struct DesktopTools {
    // Folders searched for gsettings, xfconf-query and feh, in order; empty means $PATH.
    std::vector<std::string> tool_path;
    // How long one tool run may take before it is killed and counted as failed.
    int timeout_ms = 5000;
};

// The desktop the saver runs on, through Qt and the desktop's own tools.
//
// The cursor keeps the system's display counter (starts at 0, each call moves it by one and
// returns the new count) because the saver's rules are written against that counter; the cursor
// is actually hidden with a blank override cursor for as long as the count is negative.
// Needs a QGuiApplication for the cursor, clipboard and URL calls; without one they do nothing
// (and report failure where they can).
class DesktopQt : public Desktop {
  public:
    // `registry` (may be null) holds the wallpaper style ("Control Panel\Desktop"
    // WallpaperStyle / TileWallpaper) that set_wallpaper applies; without one, stretched.
    explicit DesktopQt(RawRegistry* registry = nullptr, DesktopTools tools = {});
    ~DesktopQt() override;

    int show_cursor(bool show) override;
    void set_screen_saver_running(bool running) override;
    int32_t platform_id() override;
    int verify_screen_save_password(int64_t window) override;
    bool set_wallpaper(const std::string& path) override;
    bool copy_to_clipboard(const Surface& picture) override;
    bool open_url(const std::string& url) override;
    bool display_on() override;
    bool on_battery() override;
    std::string time_designator(bool pm) override;
    uint32_t system_color(int index) override;

    int cursor_count() const { return cursor_count_; }
    // The wallpaper placement read from the registry: "centered", "stretched", "tiled",
    // "scaled" (fit) or "zoom" (fill).
    std::string wallpaper_placement() const;

  private:
    bool run_tool(const std::string& program, const std::vector<std::string>& args,
                  std::string* output = nullptr) const;
    std::string find_tool(const std::string& program) const;
    bool apply_gnome(const std::string& path, const std::string& placement) const;
    bool apply_xfce(const std::string& path, const std::string& placement) const;
    bool apply_feh(const std::string& path, const std::string& placement) const;

    RawRegistry* registry_;
    DesktopTools tools_;
    int cursor_count_ = 0;
    bool override_set_ = false;
};

}  // namespace vistaloom
