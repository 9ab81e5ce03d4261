#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

namespace vistaloom {

// A whole-number setting: its key in the settings file, the range the options dialog's bar
// covers and the value a fresh settings file holds. The command-line overrides refuse values
// outside the range; a hand-edited file keeps them, and a run brings them into range.
struct SettingRange {
    std::string_view key;
    int32_t low;
    int32_t high;
    int32_t fallback;

    constexpr int32_t clamp(int32_t value) const { return std::clamp(value, low, high); }
};

inline constexpr SettingRange kSpriteActiveRange{"sprite_active", 1, 10, 4};
inline constexpr SettingRange kFrameRateRange{"frame_rate", 10, 60, 20};
inline constexpr SettingRange kSpeedScaleRange{"speed_scale", 1, 20, 10};
inline constexpr SettingRange kMouseSensitivityRange{"mouse_sensitivity", 2, 50, 7};

// Minutes of idle time before the watcher starts the saver.
inline constexpr SettingRange kIdleMinutesRange{"idle_minutes", 1, 120, 10};

// The options dialog's bars, one per range.
inline constexpr std::array<SettingRange, 4> kSettingRanges{
    kSpriteActiveRange, kFrameRateRange, kSpeedScaleRange, kMouseSensitivityRange};

}  // namespace vistaloom
