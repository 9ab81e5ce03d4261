#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "startup/saver_settings.h"

namespace vistaloom {

// Settings a screen-saver daemon passes on the command line for one run. They change the
// record in memory after it is loaded and are never written back, so a daemon's settings
// dialog and the program's own configuration window do not fight over the stored values.
struct SettingsOverrides {
    std::optional<int32_t> sprite_active;      // --pictures N, 1..10
    std::optional<int32_t> frame_rate;         // --frame-rate N, 10..60
    std::optional<int32_t> speed_scale;        // --speed N, 1..20
    std::optional<bool> gradients_on;          // --gradients / --no-gradients
    std::optional<bool> borders_on;            // --borders / --no-borders
    std::optional<bool> mute_audio;            // --mute / --no-mute
    std::optional<bool> show_time;             // --show-time / --no-show-time
    std::optional<bool> random_theme;          // --random-theme / --no-random-theme
    std::optional<std::string> active_module;  // --theme NAME
    std::optional<std::string> photo_folder;   // --photos FOLDER
    std::optional<std::string> screen_mode;    // --screens each|mirror|span|main

    bool any() const {
        return sprite_active || frame_rate || speed_scale || gradients_on || borders_on ||
               mute_audio || show_time || random_theme || active_module || photo_folder ||
               screen_mode;
    }
};

enum class OverrideKind { NotAnOverride, Flag, TakesValue };

// Whether `name` (the option word without any "=VALUE") is one of the options above.
OverrideKind override_kind(std::string_view name);

// Records one override option. `value` is the option's value for those that take one and
// ignored for flags. Returns the complaint for a value out of range or not a number, or the
// empty text when it was good: a daemon's slider that is off by one must be noticed, not
// quietly clamped.
std::string apply_override_option(SettingsOverrides& overrides, std::string_view name,
                                  const std::string& value);

// Puts the overrides into the loaded record. A theme named here is used as it is, so the
// random choice stored with the settings is switched off unless --random-theme asks for it.
void apply_overrides(SaverSettings& settings, const SettingsOverrides& overrides);

// The lines --help prints for these options.
const std::string& overrides_usage_text();

}  // namespace vistaloom
