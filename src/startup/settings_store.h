#pragma once
#include <cstdint>
#include <string>

#include "ground/raw_registry.h"
#include "ground/settings_backend.h"
#include "startup/saver_settings.h"

namespace vistaloom {

// Where the saver's own settings live in the store.
inline constexpr const char* kSettingsApplication = "Brindle Vistaloom";
inline constexpr const char* kOptionsSection = "Options";
inline constexpr const char* kConfigSection = "Config";
inline constexpr const char* kInstallPathKey = "install_path";

// Reads every option, each with its default when the store lacks it. The store's texts are
// kept as they are; the whole-number fields go through numeric_int, so a value that is
// not a number loads as 0 and a huge one as the nearest 32-bit bound. Range checks belong to
// the *_in_range helpers where a value is used, not here.
void load_settings(SaverSettings& settings, SettingsBackend& backend);

// Writes the 23 options a window may have changed, in plain decimal for the whole numbers.
// `welcome`, `first_time_running` and `install_path` are not written here.
void save_settings(const SaverSettings& settings, SettingsBackend& backend);

// Writes `welcome` alone, at once: the welcome window's own switch.
void save_welcome(const SaverSettings& settings, SettingsBackend& backend);

// The installer's themes folder, as stored (the empty text when it is missing). Only
// installers write it; the program never does.
std::string load_install_path(SettingsBackend& backend);

// `path` with the path separator at its end (a stored '\' counts as one too).
std::string with_trailing_separator(std::string path);

// Raw reader for values outside the program's own settings. Every failure gives the empty
// text: a root key that is not one of the seven predefined keys, a missing sub-key or value,
// data longer than 255 bytes. A 32-bit number comes back in decimal with at least three
// digits ("001"); other data without its last byte (a string's terminating zero).
std::string read_registry_value(RawRegistry& registry, uint32_t root, const std::string& sub_key,
                                const std::string& value_name);

// Raw writer: creates the sub-key as needed and stores `value` as a string. Errors are not
// reported; a root key that is not predefined writes nothing, as the system would refuse it.
void write_registry_string(RawRegistry& registry, uint32_t root, const std::string& sub_key,
                           const std::string& value_name, const std::string& value);

// True for the seven predefined root keys (and nothing else).
bool is_predefined_root(uint32_t root);

}  // namespace vistaloom
