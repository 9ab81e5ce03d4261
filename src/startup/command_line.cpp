#include "startup/command_line.h"

#include <cctype>
#include <cmath>
#include <limits>

#include "ground/numeric_text.h"
#include "ground/rounding.h"
#include "ground/version.h"

namespace vistaloom {

namespace {

// Largest --windowed side we accept: as large as any screen is. Larger windows cost
// gigabytes and minutes per frame and show nothing more.
constexpr int64_t kMaxWindowSide = 16384;

// --after: a second at least, two hours at most (the stored setting's longest idle time).
constexpr uint64_t kMaxAfterSeconds = 7200;

std::optional<uint64_t> parse_unsigned(std::string_view text, int base) {
    if (text.empty()) return std::nullopt;
    uint64_t value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        if (value > (std::numeric_limits<uint64_t>::max() - digit) / base) return std::nullopt;
        value = value * base + digit;
    }
    return value;
}

std::optional<WindowSize> parse_window_size(std::string_view text) {
    size_t x = text.find_first_of("xX");
    if (x == std::string_view::npos) return std::nullopt;
    auto w = parse_unsigned(text.substr(0, x), 10);
    auto h = parse_unsigned(text.substr(x + 1), 10);
    if (!w || !h || *w < 1 || *h < 1 || *w > kMaxWindowSide || *h > kMaxWindowSide)
        return std::nullopt;
    return WindowSize{static_cast<int32_t>(*w), static_cast<int32_t>(*h)};
}

std::string upper_ascii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

StartMode mode_from_text(const std::string& mode) {
    if (mode == "/C") return StartMode::Configuration;
    if (mode == "/S") return StartMode::Saver;
    if (mode == "/P") return StartMode::Preview;
    if (mode == "/A") return StartMode::ChangePassword;
    return StartMode::Nothing;
}

// The options that take a value, and the flags, in their long form.
enum class Option {
    None,
    Root,
    WindowId,
    Windowed,
    Frames,
    Seed,
    Screenshot,
    Fps,
    Watch,
    After,
    Help,
    Version
};

Option option_named(std::string_view word) {
    if (word == "-root" || word == "--root") return Option::Root;
    if (word == "-window-id" || word == "--window-id") return Option::WindowId;
    if (word == "--windowed") return Option::Windowed;
    if (word == "--frames") return Option::Frames;
    if (word == "--seed") return Option::Seed;
    if (word == "--screenshot") return Option::Screenshot;
    if (word == "--fps") return Option::Fps;
    if (word == "--watch") return Option::Watch;
    if (word == "--after") return Option::After;
    if (word == "--help") return Option::Help;
    if (word == "--version") return Option::Version;
    return Option::None;
}

bool takes_value(Option option) {
    return option == Option::WindowId || option == Option::Windowed || option == Option::Frames ||
           option == Option::Seed || option == Option::Screenshot || option == Option::After;
}

// Applies one option's value; returns the complaint, or empty when it was good.
std::string apply_value(CommandLine& cl, Option option, std::string_view name,
                        const std::string& value) {
    auto bad = [&](const char* expected) {
        return std::string(name) + ": '" + value + "' is not " + expected;
    };
    switch (option) {
        case Option::WindowId: {
            auto id = parse_window_id(value);
            if (!id) return bad("a window id (decimal or 0x hexadecimal)");
            cl.window_id = *id;
            cl.window_id_from_environment = false;
            return {};
        }
        case Option::Windowed: {
            auto size = parse_window_size(value);
            if (!size)
                return bad("a window size WIDTHxHEIGHT (1..16384 each, no screen is larger)");
            cl.windowed = *size;
            return {};
        }
        case Option::Frames: {
            auto n = parse_unsigned(value, 10);
            if (!n || *n < 1 || *n > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
                return bad("a positive number of frames");
            cl.frames = static_cast<int64_t>(*n);
            return {};
        }
        case Option::Seed: {
            auto n = parse_unsigned(value, 10);
            if (!n) return bad("a whole number from 0 to 18446744073709551615");
            cl.seed = *n;
            return {};
        }
        case Option::After: {
            auto n = parse_unsigned(value, 10);
            if (!n || *n < 1 || *n > kMaxAfterSeconds)
                return bad("a whole number of seconds from 1 to 7200");
            cl.after_seconds = static_cast<int32_t>(*n);
            return {};
        }
        case Option::Screenshot:
            if (value.empty()) return bad("a file name");
            cl.screenshot = value;
            return {};
        default:
            return {};
    }
}

// The watcher starts savers of the stored settings; a mode, a window or a saver option given
// with it would be silently dropped, so it is refused instead.
template <typename Fail>
void check_watch(CommandLine& cl, bool saver_option, Fail& fail) {
    if (!cl.watch) {
        if (cl.after_seconds) fail("--after applies to --watch only");
        return;
    }
    if (!cl.mode_text.empty())
        fail("--watch is a mode of its own; it cannot be combined with " + cl.mode_text);
    if (cl.root || cl.window_id) fail("--watch cannot be combined with -root or -window-id");
    if (saver_option || cl.overrides.any())
        fail("--watch starts the saver with the stored settings; saver options do not apply");
}

}  // namespace

int64_t handle_from_text(std::string_view rest) {
    double value = numeric_value(rest);
    // Checked before the cast: a hand-typed huge number must not reach an undefined conversion.
    if (!(std::nearbyint(value) >= std::numeric_limits<int32_t>::min() &&
          std::nearbyint(value) <= std::numeric_limits<int32_t>::max()))
        return 0;
    return round_half_even(value);
}

std::optional<int64_t> parse_window_id(std::string_view text) {
    std::optional<uint64_t> id;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        id = parse_unsigned(text.substr(2), 16);
    } else {
        id = parse_unsigned(text, 10);
    }
    if (!id || *id == 0 || *id > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<int64_t>(*id);
}

CommandLine parse_command_line(const std::vector<std::string>& args,
                               const char* xscreensaver_window_env) {
    CommandLine cl;
    auto fail = [&cl](std::string message) {
        if (cl.error.empty()) cl.error = std::move(message);
    };
    bool saver_option = false;

    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        std::string name = word;
        std::optional<std::string> inline_value;
        if (word.rfind("--", 0) == 0) {
            size_t eq = word.find('=');
            if (eq != std::string::npos) {
                name = word.substr(0, eq);
                inline_value = word.substr(eq + 1);
            }
        }
        // An option's value: after '=', or else the next word.
        auto value_of = [&](std::string& value) {
            if (inline_value) {
                value = *inline_value;
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                fail(name + " needs a value (see --help)");
                return false;
            }
            return true;
        };
        if (const OverrideKind kind = override_kind(name); kind != OverrideKind::NotAnOverride) {
            std::string value;
            if (kind == OverrideKind::Flag && inline_value) {
                fail(name + " takes no value");
                continue;
            }
            if (kind == OverrideKind::TakesValue && !value_of(value)) continue;
            std::string complaint = apply_override_option(cl.overrides, name, value);
            if (!complaint.empty()) fail(complaint);
            saver_option = true;
            continue;
        }
        Option option = option_named(name);
        if (option == Option::None) {
            // A daemon's single-dash words we do not know go through the mode rule like any
            // text, but a mistyped long option would silently open nothing: say so instead.
            if (word.rfind("--", 0) == 0 && word.size() > 2) {
                fail("unknown option " + name + " (see --help)");
                continue;
            }
            if (!cl.mode_text.empty()) cl.mode_text += ' ';
            cl.mode_text += word;
            continue;
        }
        if (takes_value(option)) {
            std::string value;
            if (!value_of(value)) continue;
            std::string complaint = apply_value(cl, option, name, value);
            if (!complaint.empty()) fail(complaint);
            if (option != Option::WindowId && option != Option::After) saver_option = true;
            continue;
        }
        if (inline_value) {
            fail(name + " takes no value");
            continue;
        }
        switch (option) {
            case Option::Root:
                cl.root = true;
                break;
            case Option::Fps:
                cl.show_fps = true;
                saver_option = true;
                break;
            case Option::Watch:
                cl.watch = true;
                break;
            case Option::Help:
                cl.help = true;
                break;
            case Option::Version:
                cl.version = true;
                break;
            default:
                break;
        }
    }

    // The two-character rule: only the first two characters of the mode text count.
    cl.mode = upper_ascii(std::string_view(cl.mode_text).substr(0, 2));
    bool mode_given = !cl.mode.empty();
    if (!mode_given) cl.mode = "/C";
    cl.start_mode = mode_from_text(cl.mode);
    if (cl.start_mode == StartMode::Preview || cl.start_mode == StartMode::ChangePassword) {
        // An X window id is often written in hexadecimal ("/P 0x2600007"); the system's own
        // handles are plain decimal numbers.
        std::string rest;
        for (char c : std::string_view(cl.mode_text).substr(2))
            if (c != ' ') rest += c;
        const bool hex = rest.size() > 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X');
        cl.handle = hex ? parse_window_id(rest).value_or(0)
                        : handle_from_text(std::string_view(cl.mode_text).substr(2));
    }

    check_watch(cl, saver_option, fail);
    if (cl.watch) return cl;

    bool explicit_embedding = cl.root || cl.window_id.has_value();
    if (explicit_embedding) {
        if (mode_given && cl.start_mode != StartMode::Saver) {
            fail(std::string(cl.root ? "-root" : "-window-id") +
                 " runs the saver; it cannot be combined with " + cl.mode_text);
        }
        if (cl.windowed) fail("--windowed cannot be combined with -root or -window-id");
    }

    // The configuration window saves the record it shows; a value meant for one run must
    // never reach the store that way.
    if (cl.overrides.any() && mode_given && cl.start_mode != StartMode::Saver &&
        cl.start_mode != StartMode::Preview) {
        fail("settings options apply to the saver (/S) and the preview (/P) only, not to " +
             cl.mode_text);
    }

    // A daemon that hands us its window through the environment (xscreensaver) may also pass
    // -root, meaning its virtual root: the window in the variable is the one to draw on. An
    // explicit -window-id, an ordinary window (--windowed) or another mode wins over it.
    bool environment_applies = xscreensaver_window_env && *xscreensaver_window_env &&
                               !cl.window_id && !cl.windowed &&
                               (!mode_given || cl.start_mode == StartMode::Saver);
    if (environment_applies) {
        auto id = parse_window_id(xscreensaver_window_env);
        if (id) {
            cl.window_id = *id;
            cl.window_id_from_environment = true;
        } else {
            fail(std::string("XSCREENSAVER_WINDOW: '") + xscreensaver_window_env +
                 "' is not a window id (decimal or 0x hexadecimal)");
        }
    }

    // Without a mode, asking for a window to draw on or for a saver option means the saver;
    // an empty command line still opens the configuration.
    if (!mode_given && (cl.root || cl.window_id || saver_option)) {
        cl.mode = "/S";
        cl.start_mode = StartMode::Saver;
    }
    return cl;
}

const std::string& usage_text() {
    static const std::string text =
        "Usage: vistaloom [MODE] [OPTIONS]\n"
        "\n"
        "A theme-based screen saver. Only the first two characters of MODE count, in any case:\n"
        "  /S              run the screen saver full screen\n"
        "  /C              open the configuration window: choose, remove or randomise the\n"
        "                  theme, set the options, preview the saver (also with no MODE at\n"
        "                  all; anything after the two characters, as in /c:1234, is ignored)\n"
        "  /P HANDLE       show the sample picture inside the X window HANDLE (decimal or 0x\n"
        "                  hexadecimal; /P4711 works too) until that window goes away\n"
        "  /A HANDLE       change the screen-saver password (does nothing on Linux)\n"
        "  anything else   opens nothing\n"
        "\n"
        "Screen-saver daemons:\n"
        "  -root           draw the saver on the root window (--root works too)\n"
        "  -window-id ID   draw the saver inside the window ID (decimal or 0x hexadecimal;\n"
        "                  --window-id works too)\n"
        "  XSCREENSAVER_WINDOW=ID in the environment does the same as -window-id when no\n"
        "                  other mode than /S, no -window-id and no --windowed is given\n"
        "\n"
        "Saver options (they may stand before or after the mode, and imply /S without one):\n"
        "  --windowed WxH  run in an ordinary window of W x H pixels instead of full screen\n"
        "  --frames N      end the run after N frames, as if a key had been pressed\n"
        "  --seed N        make every random choice reproducible (N from 0 to 2^64-1)\n"
        "  --screenshot FILE  write the last shown frame to FILE (PNG) when the saver ends;\n"
        "                  further screens add -2, -3, ... before its extension\n"
        "  --fps           show the measured frame rate\n"
        "\n"
        "Watcher (for desktops without a screen-saver daemon of their own):\n"
        "  --watch         wait until the user has been idle for the stored time (10 minutes\n"
        "                  unless set otherwise), start the saver, and wait again when it ends;\n"
        "                  programs that hold the screen saver off (a video playing) are obeyed\n"
        "  --after SECONDS with --watch: start after SECONDS (1..7200) of idle time instead\n"
        "\n" +
        overrides_usage_text() +
        "\n"
        "Other options:\n"
        "  --help          show this text and end\n"
        "  --version       show the version and end\n"
        "Options that take a value also accept --option=VALUE.\n"
        "\n"
        "Settings: $XDG_CONFIG_HOME/Brindle Vistaloom.conf (default ~/.config), groups\n"
        "[Config] (install_path: the themes folder) and [Options].\n";
    return text;
}

const std::string& version_text() {
    static const std::string text = "vistaloom " + version_string() + "\n";
    return text;
}

}  // namespace vistaloom
