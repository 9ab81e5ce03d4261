#include "startup/settings_store.h"

#include <gtest/gtest.h>

#include "support/memory_settings.h"

namespace vistaloom {
namespace {

using testing::MemorySettings;

TEST(SettingsStore, FreshUserGetsEveryDefaultAndNothingIsWritten) {
    MemorySettings store;
    SaverSettings s;
    s.sprite_active = 9;  // load replaces whatever the record held
    s.active_module = "stale";
    load_settings(s, store);

    EXPECT_EQ(s.active_module, "");
    EXPECT_EQ(s.random_theme, "0");
    EXPECT_EQ(s.gradients_on, "1");
    EXPECT_EQ(s.borders_on, "1");
    EXPECT_EQ(s.sprite_active, 4);
    EXPECT_EQ(s.frame_rate, "20");
    EXPECT_EQ(s.speed_scale, 10);
    EXPECT_EQ(s.mute_audio, "0");
    EXPECT_EQ(s.random_music, "1");
    EXPECT_EQ(s.custom_music_flag, "0");
    EXPECT_EQ(s.random_pictures, "0");
    EXPECT_EQ(s.custom_picture_flag, "0");
    EXPECT_EQ(s.save_wallpaper, "0");
    EXPECT_EQ(s.mouse_sensitivity, "7");
    EXPECT_EQ(s.scene_duration, "40");
    EXPECT_EQ(s.objects_off, "0");
    EXPECT_EQ(s.scale_background, "1");
    EXPECT_EQ(s.show_time, "1");
    EXPECT_EQ(s.wav_devicename, "WaveAudio");
    EXPECT_EQ(s.midi_devicename, "Sequencer");
    EXPECT_EQ(s.mp3_devicename, "MPEGVideo");
    EXPECT_EQ(s.welcome, "1");
    EXPECT_EQ(s.first_time_running, 1);
    EXPECT_EQ(s.still_on_battery, "0");
    EXPECT_EQ(s.idle_minutes, 10);
    EXPECT_EQ(s.photo_folder, "");
    EXPECT_EQ(s.screen_mode, "each");
    EXPECT_EQ(s.picture_scale, "auto");
    EXPECT_EQ(s.reduced_motion, "auto");

    EXPECT_TRUE(store.writes.empty());
    ASSERT_EQ(store.reads.size(), 29u);
    for (const auto& key : store.reads) {
        EXPECT_EQ(std::get<0>(key), "Brindle Vistaloom");
        EXPECT_EQ(std::get<1>(key), "Options");
    }
    EXPECT_EQ(std::get<2>(store.reads.front()), "active_module");
    EXPECT_EQ(std::get<2>(store.reads.back()), "reduced_motion");
}

TEST(SettingsStore, SavesExactlyTheOptionsKeysInOrderAsPlainText) {
    MemorySettings store;
    SaverSettings s;
    s.active_module = "Autumn Leaves";
    s.sprite_active = 7;
    s.speed_scale = -3;
    s.frame_rate = "35";
    s.welcome = "0";           // written by the welcome window itself, not here
    s.first_time_running = 5;  // never written
    save_settings(s, store);

    const std::vector<std::string> order = {
        "active_module",     "random_theme",      "gradients_on",        "borders_on",
        "frame_rate",        "speed_scale",       "mute_audio",          "random_music",
        "random_pictures",   "custom_music_flag", "custom_picture_flag", "save_wallpaper",
        "mouse_sensitivity", "scene_duration",    "objects_off",         "scale_background",
        "sprite_active",     "show_time",         "wav_devicename",      "midi_devicename",
        "mp3_devicename",    "still_on_battery",  "idle_minutes",        "photo_folder",
        "screen_mode",       "picture_scale",     "reduced_motion"};
    ASSERT_EQ(store.writes.size(), order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(std::get<2>(store.writes[i].first), order[i]);
        EXPECT_EQ(std::get<1>(store.writes[i].first), "Options");
    }
    EXPECT_EQ(store.keys_in("Options").size(), 27u);
    EXPECT_FALSE(store.get("Options", "welcome"));
    EXPECT_FALSE(store.get("Options", "first_time_running"));
    EXPECT_FALSE(store.get("Config", "install_path"));
    EXPECT_EQ(store.get("Options", "sprite_active"), "7");
    EXPECT_EQ(store.get("Options", "speed_scale"), "-3");
    EXPECT_EQ(store.get("Options", "active_module"), "Autumn Leaves");
    EXPECT_EQ(store.get("Options", "frame_rate"), "35");
    EXPECT_EQ(store.get("Options", "mp3_devicename"), "MPEGVideo");
}

// A hand-edited file: the store gives back what it holds, the helpers bring it into range
// where it is used.
TEST(SettingsStore, HandEditedValuesAreKeptAndClampedWhereUsed) {
    MemorySettings store;
    SaverSettings s;

    store.set("Options", "frame_rate", "0");
    store.set("Options", "sprite_active", "0");
    store.set("Options", "speed_scale", "0");
    store.set("Options", "mouse_sensitivity", "0");
    store.set("Options", "idle_minutes", "0");
    load_settings(s, store);
    EXPECT_EQ(s.frame_rate, "0");
    EXPECT_EQ(frame_rate_in_range(s), 10);
    EXPECT_EQ(s.sprite_active, 0);
    EXPECT_EQ(sprite_active_in_range(s), 1);
    EXPECT_EQ(s.speed_scale, 0);
    EXPECT_EQ(speed_scale_in_range(s), 1);
    EXPECT_EQ(s.mouse_sensitivity, "0");
    EXPECT_EQ(mouse_sensitivity_in_range(s), 2);
    EXPECT_EQ(s.idle_minutes, 0);
    EXPECT_EQ(idle_minutes_in_range(s), 1);

    store.set("Options", "frame_rate", "-5");
    store.set("Options", "sprite_active", "11");
    store.set("Options", "speed_scale", "99999999999");
    store.set("Options", "mouse_sensitivity", "1e9");
    store.set("Options", "idle_minutes", "100000");
    load_settings(s, store);
    EXPECT_EQ(s.frame_rate, "-5");
    EXPECT_EQ(frame_rate_in_range(s), 10);
    EXPECT_EQ(s.sprite_active, 11);
    EXPECT_EQ(sprite_active_in_range(s), 10);
    EXPECT_EQ(s.speed_scale, 2147483647);
    EXPECT_EQ(speed_scale_in_range(s), 20);
    EXPECT_EQ(mouse_sensitivity_in_range(s), 50);
    EXPECT_EQ(idle_minutes_in_range(s), 120);

    store.set("Options", "frame_rate", "abc");
    store.set("Options", "sprite_active", "seven");
    store.set("Options", "speed_scale", " 1 5 ");
    store.set("Options", "first_time_running", "");
    load_settings(s, store);
    EXPECT_EQ(s.frame_rate, "abc");
    EXPECT_EQ(frame_rate_in_range(s), 10);
    EXPECT_EQ(s.sprite_active, 0);
    EXPECT_EQ(sprite_active_in_range(s), 1);
    EXPECT_EQ(s.speed_scale, 15);
    EXPECT_EQ(s.first_time_running, 0);

    store.set("Options", "frame_rate", "45.5");
    load_settings(s, store);
    EXPECT_EQ(frame_rate_in_range(s), 46);
}

TEST(SettingsStore, InstallPathGetsATrailingSeparator) {
    MemorySettings store;
    EXPECT_EQ(load_install_path(store), "");
    store.set("Config", "install_path", "/opt/vistaloom/themes");
    EXPECT_EQ(load_install_path(store), "/opt/vistaloom/themes");
    EXPECT_EQ(with_trailing_separator("/opt/vistaloom/themes"), "/opt/vistaloom/themes/");
    EXPECT_EQ(with_trailing_separator("/opt/vistaloom/themes/"), "/opt/vistaloom/themes/");
    EXPECT_EQ(with_trailing_separator("C:\\Savers\\"), "C:\\Savers\\");
    EXPECT_TRUE(store.writes.empty());
}

}  // namespace
}  // namespace vistaloom

// The welcome window's switch is written alone and at once, under its own key.
TEST(SettingsStore, WelcomeIsWrittenByItself) {
    vistaloom::testing::MemorySettings store;
    vistaloom::SaverSettings settings;
    settings.welcome = "0";
    settings.frame_rate = "55";
    vistaloom::save_welcome(settings, store);
    ASSERT_EQ(store.writes.size(), 1u);
    EXPECT_EQ(store.get("Options", "welcome"), "0");
    EXPECT_FALSE(store.get("Options", "frame_rate"));
}
