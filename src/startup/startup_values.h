#pragma once
#include <cstdint>
#include <string>

namespace vistaloom {

// Values the entry point works out once per process and every window reads.
struct StartupValues {
    std::string install_path;      // always ends with the path separator
    int16_t twips_per_pixel_x = 15;
    int16_t twips_per_pixel_y = 15;
    int64_t parent_window = 0;     // host window of a preview, or parent of the password dialog
    bool config_preview = false;
    int32_t platform_id = 2;       // 2: no system screen-saver password (always so on Linux)
};

}  // namespace vistaloom
