#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "startup/settings_overrides.h"

namespace vistaloom {

// What the two-character mode asks for.
enum class StartMode {
    Configuration,   // "/C", or an empty command line
    Saver,           // "/S" (also -root, -window-id and XSCREENSAVER_WINDOW)
    Preview,         // "/P" with the host window's handle
    ChangePassword,  // "/A" with the parent window's handle
    Nothing,         // "/M" and any other text
};

// Where a saver run draws.
enum class Embedding {
    None,    // its own window: full screen, or ordinary with --windowed
    Root,    // the root window (-root)
    Window,  // a window someone else made (-window-id, XSCREENSAVER_WINDOW)
};

struct WindowSize {
    int32_t width = 0;
    int32_t height = 0;
};

// The command line as the entry point understands it. Options (below) may stand anywhere;
// every other word joins the mode text, whose first two characters pick the mode.
struct CommandLine {
    std::string mode_text;  // the non-option words, joined by single blanks
    std::string mode;       // first two characters, upper case; "/C" for none
    StartMode start_mode = StartMode::Configuration;
    int64_t handle = 0;  // "/P" and "/A": the number after the first two characters

    bool root = false;                 // -root
    std::optional<int64_t> window_id;  // -window-id ID, or XSCREENSAVER_WINDOW
    bool window_id_from_environment = false;

    std::optional<WindowSize> windowed;     // --windowed WxH
    std::optional<int64_t> frames;          // --frames N
    std::optional<uint64_t> seed;           // --seed N
    std::optional<std::string> screenshot;  // --screenshot FILE
    bool show_fps = false;                  // --fps
    SettingsOverrides overrides;            // --pictures, --theme, --mute, ...

    // --watch: wait for the user to be idle and start the saver, again and again. A mode of
    // its own, taken before any window or display is opened.
    bool watch = false;
    std::optional<int32_t> after_seconds;  // --after SECONDS: the idle time of one watch run

    bool help = false;     // --help
    bool version = false;  // --version

    // Non-empty when the command line cannot be followed: what is wrong, in one line. Nothing
    // opens then.
    std::string error;

    Embedding embedding() const {
        if (window_id) return Embedding::Window;
        if (root) return Embedding::Root;
        return Embedding::None;
    }
};

// `args` are the words after the program name. `xscreensaver_window_env` is the value of the
// XSCREENSAVER_WINDOW environment variable, or null when it is unset.
CommandLine parse_command_line(const std::vector<std::string>& args,
                               const char* xscreensaver_window_env);

// The window handle after a two-character mode: blanks anywhere are ignored, the longest
// leading decimal number is taken (none gives 0), rounded to the nearest whole number. A
// number outside the 32-bit range cannot be a handle and gives 0 too.
int64_t handle_from_text(std::string_view rest);

// A window id as daemons pass it: decimal or 0x hexadecimal, 1..0xFFFFFFFF.
std::optional<int64_t> parse_window_id(std::string_view text);

// The text --help prints.
const std::string& usage_text();
// The text --version prints.
const std::string& version_text();

}  // namespace vistaloom
