#include "startup/saver_settings.h"

#include "ground/numeric_text.h"

namespace vistaloom {

int32_t sprite_active_in_range(const SaverSettings& s) {
    return kSpriteActiveRange.clamp(s.sprite_active);
}

int32_t frame_rate_in_range(const SaverSettings& s) {
    return kFrameRateRange.clamp(numeric_int(s.frame_rate));
}

int32_t speed_scale_in_range(const SaverSettings& s) {
    return kSpeedScaleRange.clamp(s.speed_scale);
}

int32_t mouse_sensitivity_in_range(const SaverSettings& s) {
    return kMouseSensitivityRange.clamp(numeric_int(s.mouse_sensitivity));
}

int32_t idle_minutes_in_range(const SaverSettings& s) {
    return kIdleMinutesRange.clamp(s.idle_minutes);
}

bool is_one(const std::string& text) {
    return numeric_value(text) == 1.0;
}

bool is_nonzero(const std::string& text) {
    return numeric_value(text) != 0.0;
}

}  // namespace vistaloom
