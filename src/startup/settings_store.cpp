#include "startup/settings_store.h"

#include <array>
#include <cstdio>
#include <variant>

#include "ground/numeric_text.h"

namespace vistaloom {

namespace {

using TextField = std::string SaverSettings::*;
using WholeField = int32_t SaverSettings::*;

struct Key {
    const char* name;
    std::variant<TextField, WholeField> field;
};

// Every option in the order it is read; the defaults are those of a fresh SaverSettings.
const std::array<Key, 29> kLoadOrder = {{
    {"active_module", &SaverSettings::active_module},
    {"random_theme", &SaverSettings::random_theme},
    {"gradients_on", &SaverSettings::gradients_on},
    {"borders_on", &SaverSettings::borders_on},
    {"sprite_active", &SaverSettings::sprite_active},
    {"frame_rate", &SaverSettings::frame_rate},
    {"speed_scale", &SaverSettings::speed_scale},
    {"mute_audio", &SaverSettings::mute_audio},
    {"random_music", &SaverSettings::random_music},
    {"custom_music_flag", &SaverSettings::custom_music_flag},
    {"random_pictures", &SaverSettings::random_pictures},
    {"custom_picture_flag", &SaverSettings::custom_picture_flag},
    {"save_wallpaper", &SaverSettings::save_wallpaper},
    {"mouse_sensitivity", &SaverSettings::mouse_sensitivity},
    {"scene_duration", &SaverSettings::scene_duration},
    {"objects_off", &SaverSettings::objects_off},
    {"scale_background", &SaverSettings::scale_background},
    {"show_time", &SaverSettings::show_time},
    {"wav_devicename", &SaverSettings::wav_devicename},
    {"midi_devicename", &SaverSettings::midi_devicename},
    {"mp3_devicename", &SaverSettings::mp3_devicename},
    {"welcome", &SaverSettings::welcome},
    {"first_time_running", &SaverSettings::first_time_running},
    {"still_on_battery", &SaverSettings::still_on_battery},
    {"idle_minutes", &SaverSettings::idle_minutes},
    {"photo_folder", &SaverSettings::photo_folder},
    {"screen_mode", &SaverSettings::screen_mode},
    {"picture_scale", &SaverSettings::picture_scale},
    {"reduced_motion", &SaverSettings::reduced_motion},
}};

// The options windows write back, in their order.
const std::array<Key, 27> kSaveOrder = {{
    {"active_module", &SaverSettings::active_module},
    {"random_theme", &SaverSettings::random_theme},
    {"gradients_on", &SaverSettings::gradients_on},
    {"borders_on", &SaverSettings::borders_on},
    {"frame_rate", &SaverSettings::frame_rate},
    {"speed_scale", &SaverSettings::speed_scale},
    {"mute_audio", &SaverSettings::mute_audio},
    {"random_music", &SaverSettings::random_music},
    {"random_pictures", &SaverSettings::random_pictures},
    {"custom_music_flag", &SaverSettings::custom_music_flag},
    {"custom_picture_flag", &SaverSettings::custom_picture_flag},
    {"save_wallpaper", &SaverSettings::save_wallpaper},
    {"mouse_sensitivity", &SaverSettings::mouse_sensitivity},
    {"scene_duration", &SaverSettings::scene_duration},
    {"objects_off", &SaverSettings::objects_off},
    {"scale_background", &SaverSettings::scale_background},
    {"sprite_active", &SaverSettings::sprite_active},
    {"show_time", &SaverSettings::show_time},
    {"wav_devicename", &SaverSettings::wav_devicename},
    {"midi_devicename", &SaverSettings::midi_devicename},
    {"mp3_devicename", &SaverSettings::mp3_devicename},
    {"still_on_battery", &SaverSettings::still_on_battery},
    {"idle_minutes", &SaverSettings::idle_minutes},
    {"photo_folder", &SaverSettings::photo_folder},
    {"screen_mode", &SaverSettings::screen_mode},
    {"picture_scale", &SaverSettings::picture_scale},
    {"reduced_motion", &SaverSettings::reduced_motion},
}};

// The reader's buffer; longer data does not fit and reads as a failure.
constexpr size_t kValueBufferBytes = 255;

}  // namespace

void load_settings(SaverSettings& settings, SettingsBackend& backend) {
    const SaverSettings defaults;
    for (const Key& key : kLoadOrder) {
        auto stored = backend.read(kSettingsApplication, kOptionsSection, key.name);
        if (auto* text = std::get_if<TextField>(&key.field)) {
            settings.*(*text) = stored ? *stored : defaults.*(*text);
        } else {
            WholeField whole = std::get<WholeField>(key.field);
            settings.*whole = stored ? numeric_int(*stored) : defaults.*whole;
        }
    }
}

void save_settings(const SaverSettings& settings, SettingsBackend& backend) {
    for (const Key& key : kSaveOrder) {
        std::string text;
        if (auto* field = std::get_if<TextField>(&key.field)) {
            text = settings.*(*field);
        } else {
            text = std::to_string(settings.*std::get<WholeField>(key.field));
        }
        backend.write(kSettingsApplication, kOptionsSection, key.name, text);
    }
}

void save_welcome(const SaverSettings& settings, SettingsBackend& backend) {
    backend.write(kSettingsApplication, kOptionsSection, "welcome", settings.welcome);
}

std::string load_install_path(SettingsBackend& backend) {
    return backend.read(kSettingsApplication, kConfigSection, kInstallPathKey).value_or("");
}

std::string with_trailing_separator(std::string path) {
    if (path.empty() || (path.back() != '/' && path.back() != '\\')) path += '/';
    return path;
}

bool is_predefined_root(uint32_t root) {
    // The predefined handles are the most negative 32-bit values, HKEY_CLASSES_ROOT up to
    // HKEY_DYN_DATA, so one signed comparison admits exactly those seven.
    return static_cast<int32_t>(root) <= static_cast<int32_t>(HKEY_DYN_DATA);
}

std::string read_registry_value(RawRegistry& registry, uint32_t root, const std::string& sub_key,
                                const std::string& value_name) {
    if (!is_predefined_root(root)) return {};
    if (!registry.key_exists(root, sub_key)) return {};
    auto value = registry.query(root, sub_key, value_name);
    if (!value || value->data.size() > kValueBufferBytes) return {};
    if (value->type == RawValueType::Dword) {
        // Exact for the whole 32-bit range; missing bytes of a short value count as zero.
        uint32_t number = 0;
        for (size_t i = 0; i < 4 && i < value->data.size(); ++i) {
            number |= static_cast<uint32_t>(value->data[i]) << (8 * i);
        }
        char text[16];
        std::snprintf(text, sizeof text, "%03u", number);
        return text;
    }
    // The data without its last byte: a string's terminating zero. Empty data has no byte to
    // drop and gives the empty text.
    if (value->data.empty()) return {};
    return std::string(value->data.begin(), value->data.end() - 1);
}

void write_registry_string(RawRegistry& registry, uint32_t root, const std::string& sub_key,
                           const std::string& value_name, const std::string& value) {
    if (!is_predefined_root(root)) return;
    registry.set_string(root, sub_key, value_name, value);
}

}  // namespace vistaloom
