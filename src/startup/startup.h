#pragma once
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "startup/command_line.h"
#include "startup/saver_settings.h"
#include "ground/settings_backend.h"
#include "startup/startup_values.h"

namespace vistaloom {

// The saver window's title; a second saver looks for it to stay away.
inline constexpr const char* kSaverWindowTitle = "Screen Saver Main Form";
inline constexpr const char* kInstallPathErrorText =
    "Install path error! Please uninstall, then Reinstall this program!";
inline constexpr const char* kInstallPathErrorTitle = "Vistaloom";

struct TwipsPerPixel {
    int16_t x = 15;
    int16_t y = 15;
};

// 1440 twips make an inch: round(1440 / dpi), 15 at 96 dpi. A screen that reports no usable
// resolution counts as 96 dpi.
int16_t twips_per_pixel_from_dpi(double logical_dpi);

// What start-up opens, supplied by the user interface. Each call opens (or asks for) exactly
// one thing; the window then owns the process until it unloads.
class ModeHost {
  public:
    virtual ~ModeHost() = default;
    // True when no top-level window has exactly this title.
    virtual bool is_first_instance(const std::string& title) = 0;
    // The install-path message box; start-up ends the process after it.
    virtual void show_install_path_error() = 0;
    virtual void open_configuration() = 0;
    // The saver window. How and where it draws (full screen, --windowed, -root, -window-id)
    // is in the CommandLine the caller parsed and keeps.
    virtual void open_saver() = 0;
    virtual void open_preview(int64_t handle) = 0;
    // The system's password change; opens no window of ours.
    virtual void change_password(int64_t handle) = 0;
};

enum class StartupAction {
    ShowHelp,          // --help: print usage_text()
    ShowVersion,       // --version: print version_text()
    BadCommandLine,    // CommandLine::error says what is wrong
    InstallPathError,  // message shown, nothing loaded or written
    Configuration,
    Saver,
    SaverAlreadyRunning,  // a second full-screen saver: silently nothing
    Preview,
    ChangePassword,
    Nothing,  // "/M" and every other mode
};

struct StartupOutcome {
    StartupAction action = StartupAction::Nothing;
    std::string mode;            // the two-character mode that was dispatched
    int64_t handle = 0;          // "/P" and "/A"
    bool window_opened = false;  // true: run the event loop until the window unloads
    int exit_code = 0;           // the process's exit status when no window was opened
};

// The entry point's work: install path, twips per pixel, settings, then the mode. `values`
// and `settings` are the process-wide records the windows read afterwards. --help, --version
// and a bad command line return at once without touching the host, the store or the records.
StartupOutcome run_startup(const CommandLine& command_line, SettingsBackend& settings_backend,
                           ModeHost& host, TwipsPerPixel twips_per_pixel, StartupValues& values,
                           SaverSettings& settings);

// For main(), before any window system is touched: prints --help or --version to `out`, or a
// bad command line's complaint to `err`, and gives the exit status; nullopt when start-up
// should go on.
std::optional<int> answer_without_windows(const CommandLine& command_line, std::ostream& out,
                                          std::ostream& err);

}  // namespace vistaloom
