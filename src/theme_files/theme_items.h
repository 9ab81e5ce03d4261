#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace vistaloom {

// The item table of the theme read last. Lists are used from position 1 (position 0 unused).
struct ThemeItems {
    std::vector<std::string> item_names;
    std::vector<int32_t> item_sizes;
    int32_t item_count = 0;
    double music_count = 0;
    std::string windows_dir;  // the private temporary folder, with a trailing separator
};

}  // namespace vistaloom
