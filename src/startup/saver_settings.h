#pragma once
#include <cstdint>
#include <string>

#include "startup/setting_ranges.h"

namespace vistaloom {

// One field per stored key, named like the key. Switches and numbers stay text in memory,
// as they are stored; only the 32-bit whole numbers are converted while loading.
struct SaverSettings {
    std::string active_module;
    std::string random_theme = "0";
    std::string gradients_on = "1";
    std::string borders_on = "1";
    int32_t sprite_active = kSpriteActiveRange.fallback;
    std::string frame_rate = std::to_string(kFrameRateRange.fallback);
    int32_t speed_scale = kSpeedScaleRange.fallback;
    std::string mute_audio = "0";
    std::string random_music = "1";
    std::string custom_music_flag = "0";
    std::string random_pictures = "0";
    std::string custom_picture_flag = "0";
    std::string save_wallpaper = "0";
    std::string mouse_sensitivity = std::to_string(kMouseSensitivityRange.fallback);
    std::string scene_duration = "40";
    std::string objects_off = "0";
    std::string scale_background = "1";
    std::string show_time = "1";
    std::string wav_devicename = "WaveAudio";
    std::string midi_devicename = "Sequencer";
    std::string mp3_devicename = "MPEGVideo";
    std::string welcome = "1";
    // Show a still frame instead of animating while the machine runs on its battery.
    std::string still_on_battery = "0";
    int32_t first_time_running = 1;
    // The watcher's idle time before it starts the saver.
    int32_t idle_minutes = kIdleMinutesRange.fallback;
    // The folder of photos the pictures are dealt from, subfolders included (empty: the
    // theme's pictures).
    std::string photo_folder;
    // How a full-screen run uses several screens: "each", "mirror", "span" or "main".
    std::string screen_mode = "each";
    // Pictures at the screen's scale: "auto" (its device pixel ratio), "1" or "2".
    std::string picture_scale = "auto";
    // Gentle motion: "auto" (as the desktop asks), "on" or "off".
    std::string reduced_motion = "auto";

    bool operator==(const SaverSettings&) const = default;
};

// A hand-edited settings file can hold any number. The store keeps what it holds; these are
// the values as used, brought into the range of the options dialog's controls.
int32_t sprite_active_in_range(const SaverSettings& s);
int32_t frame_rate_in_range(const SaverSettings& s);
int32_t speed_scale_in_range(const SaverSettings& s);
int32_t mouse_sensitivity_in_range(const SaverSettings& s);
int32_t idle_minutes_in_range(const SaverSettings& s);

// A switch is on when its text is numerically equal to 1 (a stored "1" equals 1).
bool is_one(const std::string& text);
// A switch is "not 0" where the written rule says non-zero.
bool is_nonzero(const std::string& text);

}  // namespace vistaloom
