#pragma once
#include <cstdint>
#include <string>

#include "startup/setting_ranges.h"

namespace vistaloom {

struct SaverSettings;

// The settings of one run as the frame path uses them: read from the stored record once, when
// the run is set up, with every number in its range and every switch decided. The record
// itself stays text, as the settings file holds it; nothing on the frame path parses text.
// The defaults are those of a fresh record.
struct RunSettings {
    int32_t sprite_active = kSpriteActiveRange.fallback;
    int32_t frame_rate = kFrameRateRange.fallback;
    int32_t speed_scale = kSpeedScaleRange.fallback;
    int32_t mouse_sensitivity = kMouseSensitivityRange.fallback;

    bool gradients_on = true;
    bool borders_on = true;
    bool scale_background = true;
    bool mute_audio = false;
    bool save_wallpaper = false;
    bool objects_off = false;
    // The clock line is shown when show_time is 1, and kept up to date while it is non-zero:
    // a hand-edited 2 updates a line that is never shown.
    bool show_time = true;
    bool update_time = true;
    bool still_on_battery = false;

    bool operator==(const RunSettings&) const = default;
};

RunSettings resolve_run_settings(const SaverSettings& settings);

}  // namespace vistaloom
