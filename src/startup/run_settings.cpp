#include "startup/run_settings.h"

#include "startup/saver_settings.h"

namespace vistaloom {

RunSettings resolve_run_settings(const SaverSettings& s) {
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
    return run;
}

}  // namespace vistaloom
