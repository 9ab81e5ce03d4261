#pragma once
#include <cstdint>
#include <string>

#include "pixels/surface.h"

namespace vistaloom {

class Desktop;
class RawRegistry;
class UserFolders;

// Writes `picture` as an uncompressed 24-bit bottom-up Windows bitmap. The bytes go to a
// temporary name in the same folder first and are renamed over `path` only when complete,
// so an interrupted save never leaves half a bitmap where the desktop looks for it.
bool write_bmp24(const Surface& picture, const std::string& path);

// Wallpaper styles: 0 centred, 1 stretched, 2 tiled.
inline constexpr int32_t kWallpaperCentred = 0;
inline constexpr int32_t kWallpaperStretched = 1;
inline constexpr int32_t kWallpaperTiled = 2;

// Records the style under HKEY_CURRENT_USER "Control Panel\Desktop" (TileWallpaper first,
// then WallpaperStyle); the desktop adapter reads it from there. Other numbers write nothing.
void set_wallpaper_style(RawRegistry& registry, int32_t style);

// Asks the desktop to show `path` as its wallpaper.
bool apply_wallpaper(Desktop& desktop, const std::string& path);

struct WallpaperSeams {
    RawRegistry& registry;
    Desktop& desktop;
    UserFolders& folders;
};

// Saves `picture` as the user's data folder + `file_name` (a plain file name, no folder), records
// the style and applies it. Stops at the first failing step and returns false; steps already
// done stay done.
bool save_as_wallpaper(const Surface& picture, int32_t style, const std::string& file_name,
                       WallpaperSeams& seams);

}  // namespace vistaloom
