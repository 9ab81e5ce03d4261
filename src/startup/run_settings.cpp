#include "startup/run_settings.h"

#include "startup/saver_settings.h"

namespace vistaloom {

int32_t picture_scale_for(const std::string& setting, double device_ratio) {
    if (setting == "1") return 1;
    if (setting == "2") return 2;
    // Written so that NaN also means 1.
    return device_ratio >= 1.5 ? 2 : 1;
}

bool reduced_motion_for(const std::string& setting, bool desktop_reduces_motion) {
    if (setting == "on") return true;
    if (setting == "off") return false;
    return desktop_reduces_motion;
}

RunSettings resolve_run_settings(const SaverSettings& s, const DisplayFacts& facts) {
    RunSettings run;
    run.sprite_active = sprite_active_in_range(s);
    run.frame_rate = frame_rate_in_range(s);
    run.speed_scale = speed_scale_in_range(s);
    run.mouse_sensitivity = mouse_sensitivity_in_range(s);
    run.gradients_on = is_one(s.gradients_on);
    run.borders_on = is_one(s.borders_on);
    run.scale_background = is_one(s.scale_background);
    // The rules as written: "not 0" for these, "is 1" for the others.
    run.mute_audio = is_nonzero(s.mute_audio);
    run.objects_off = is_nonzero(s.objects_off);
    run.update_time = is_nonzero(s.show_time);
    run.show_time = is_one(s.show_time);
    run.save_wallpaper = is_one(s.save_wallpaper);
    run.still_on_battery = is_one(s.still_on_battery);
    run.picture_scale = picture_scale_for(s.picture_scale, facts.device_ratio);
    run.reduced_motion = reduced_motion_for(s.reduced_motion, facts.desktop_reduces_motion);
    if (run.reduced_motion) run.speed_scale = kSpeedScaleRange.low;
    return run;
}

}  // namespace vistaloom
