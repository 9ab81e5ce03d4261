#include "startup/saver_settings.h"

#include <algorithm>

#include "ground/numeric_text.h"

namespace vistaloom {

int32_t sprite_active_in_range(const SaverSettings& s) {
    return std::clamp<int32_t>(s.sprite_active, 1, 10);
}

int32_t frame_rate_in_range(const SaverSettings& s) {
    return std::clamp<int32_t>(numeric_int(s.frame_rate), 10, 60);
}

int32_t speed_scale_in_range(const SaverSettings& s) {
    return std::clamp<int32_t>(s.speed_scale, 1, 20);
}

int32_t mouse_sensitivity_in_range(const SaverSettings& s) {
    return std::clamp<int32_t>(numeric_int(s.mouse_sensitivity), 2, 50);
}

bool is_one(const std::string& text) { return numeric_value(text) == 1.0; }

bool is_nonzero(const std::string& text) { return numeric_value(text) != 0.0; }

}  // namespace vistaloom
