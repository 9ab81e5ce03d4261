#include "startup/settings_overrides.h"

#include <array>
#include <charconv>

#include "startup/screen_mode.h"

namespace vistaloom {

namespace {

struct NumberOption {
    std::string_view name;
    std::optional<int32_t> SettingsOverrides::*field;
    const SettingRange& range;
};

constexpr std::array<NumberOption, 3> kNumbers{{
    {"--pictures", &SettingsOverrides::sprite_active, kSpriteActiveRange},
    {"--frame-rate", &SettingsOverrides::frame_rate, kFrameRateRange},
    {"--speed", &SettingsOverrides::speed_scale, kSpeedScaleRange},
}};

struct SwitchOption {
    std::string_view on;
    std::string_view off;
    std::optional<bool> SettingsOverrides::*field;
};

constexpr std::array<SwitchOption, 5> kSwitches{{
    {"--gradients", "--no-gradients", &SettingsOverrides::gradients_on},
    {"--borders", "--no-borders", &SettingsOverrides::borders_on},
    {"--mute", "--no-mute", &SettingsOverrides::mute_audio},
    {"--show-time", "--no-show-time", &SettingsOverrides::show_time},
    {"--random-theme", "--no-random-theme", &SettingsOverrides::random_theme},
}};

constexpr std::string_view kTheme = "--theme";
constexpr std::string_view kPhotos = "--photos";
constexpr std::string_view kScreens = "--screens";

const NumberOption* number_option(std::string_view name) {
    for (const NumberOption& option : kNumbers)
        if (option.name == name) return &option;
    return nullptr;
}

const SwitchOption* switch_option(std::string_view name) {
    for (const SwitchOption& option : kSwitches)
        if (option.on == name || option.off == name) return &option;
    return nullptr;
}

// Plain decimal digits only: "+5", " 5" and "5.0" are not what a slider sends.
std::optional<int64_t> whole_number(std::string_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string switch_text(bool on) {
    return on ? "1" : "0";
}

}  // namespace

OverrideKind override_kind(std::string_view name) {
    if (number_option(name) || name == kTheme || name == kPhotos || name == kScreens)
        return OverrideKind::TakesValue;
    if (switch_option(name)) return OverrideKind::Flag;
    return OverrideKind::NotAnOverride;
}

std::string apply_override_option(SettingsOverrides& overrides, std::string_view name,
                                  const std::string& value) {
    if (const NumberOption* option = number_option(name)) {
        auto n = whole_number(value);
        if (!n || *n < option->range.low || *n > option->range.high) {
            return std::string(name) + ": '" + value + "' is not a whole number from " +
                   std::to_string(option->range.low) + " to " + std::to_string(option->range.high);
        }
        overrides.*(option->field) = static_cast<int32_t>(*n);
        return {};
    }
    if (const SwitchOption* option = switch_option(name)) {
        overrides.*(option->field) = (name == option->on);
        return {};
    }
    if (name == kTheme) {
        // A daemon's settings dialog sends its text field even when it is empty: that means
        // the stored theme, not an error.
        if (value.empty()) return {};
        // The name becomes part of a file path: it must stay inside the themes folder.
        if (value.find('/') != std::string::npos || value.find('\\') != std::string::npos ||
            value == "." || value == "..") {
            return std::string(name) + ": '" + value +
                   "' is not a theme name (the file name without .icf)";
        }
        overrides.active_module = value;
        return {};
    }
    if (name == kPhotos) {
        // As with --theme, a daemon's empty file field means the stored setting.
        if (!value.empty()) overrides.photo_folder = value;
        return {};
    }
    if (name == kScreens) {
        if (value.empty()) return {};
        if (!screen_mode_from_text(value))
            return std::string(name) + ": '" + value + "' is not one of each, mirror, span, main";
        overrides.screen_mode = value;
        return {};
    }
    return std::string(name) + " is not a settings option";
}

void apply_overrides(SaverSettings& settings, const SettingsOverrides& overrides) {
    if (overrides.sprite_active) settings.sprite_active = *overrides.sprite_active;
    if (overrides.frame_rate) settings.frame_rate = std::to_string(*overrides.frame_rate);
    if (overrides.speed_scale) settings.speed_scale = *overrides.speed_scale;
    if (overrides.gradients_on) settings.gradients_on = switch_text(*overrides.gradients_on);
    if (overrides.borders_on) settings.borders_on = switch_text(*overrides.borders_on);
    if (overrides.mute_audio) settings.mute_audio = switch_text(*overrides.mute_audio);
    if (overrides.show_time) settings.show_time = switch_text(*overrides.show_time);
    if (overrides.active_module) {
        settings.active_module = *overrides.active_module;
        settings.random_theme = "0";
    }
    if (overrides.random_theme) settings.random_theme = switch_text(*overrides.random_theme);
    if (overrides.photo_folder) settings.photo_folder = *overrides.photo_folder;
    if (overrides.screen_mode) settings.screen_mode = *overrides.screen_mode;
}

const std::string& overrides_usage_text() {
    static const std::string text =
        "Settings for this run only (the stored settings are not changed):\n"
        "  --pictures N    pictures on screen, 1..10\n"
        "  --frame-rate N  frames per second, 10..60\n"
        "  --speed N       image speed, 1..20 (10 is normal)\n"
        "  --theme NAME    use the theme NAME (its file name without .icf; empty: the stored one)\n"
        "  --photos FOLDER pictures from the photos in FOLDER and its subfolders (empty: the\n"
        "                  stored choice)\n"
        "  --screens MODE  several screens: each (a scene on every one), mirror (the main\n"
        "                  screen's scene on all), span (one scene across all), main (the\n"
        "                  main screen only, the others black)\n"
        "  --random-theme, --no-random-theme    pick a random theme, or not\n"
        "  --gradients, --no-gradients          gradient or black backgrounds\n"
        "  --borders, --no-borders              a border around each picture, or none\n"
        "  --mute, --no-mute                    no music, or the theme's music\n"
        "  --show-time, --no-show-time          show the time of day, or not\n";
    return text;
}

}  // namespace vistaloom
