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
    // Device pixels per picture pixel each way (1 or 2): pictures, borders, margins and a
    // fixed scene grow with it, so the scene looks the same size on a dense screen.
    int32_t picture_scale = 1;
    // Pictures move at the slowest image speed, and a scene change lets them leave at their
    // own pace instead of hurrying them out.
    bool reduced_motion = false;

    bool operator==(const RunSettings&) const = default;
};

// What the screen and the desktop say, for the settings that follow them.
struct DisplayFacts {
    double device_ratio = 1.0;            // device pixels per logical pixel of the screen
    bool desktop_reduces_motion = false;  // the desktop asks for less animation
};

RunSettings resolve_run_settings(const SaverSettings& settings, const DisplayFacts& facts = {});

// "1" and "2" as written; "auto" (or anything else) follows the screen: 2 from a ratio of
// 1.5 up, where pictures of one device pixel per pixel would look a quarter of their size.
int32_t picture_scale_for(const std::string& setting, double device_ratio);
// "on" and "off" as written; "auto" (or anything else) follows the desktop.
bool reduced_motion_for(const std::string& setting, bool desktop_reduces_motion);

}  // namespace vistaloom
