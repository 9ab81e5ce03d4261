#include "saver/wallpaper.h"

#include "ground/file_replace.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "ground/desktop.h"
#include "ground/user_folders.h"
#include "ground/raw_registry.h"
#include "startup/settings_store.h"

namespace vistaloom {

namespace {

constexpr const char* kDesktopKey = "Control Panel\\Desktop";
constexpr uint32_t kHeaderBytes = 14 + 40;

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFFu);
    put16(out, v >> 16);
}

}  // namespace

bool write_bmp24(const Surface& picture, const std::string& path) {
    if (picture.empty() || path.empty()) return false;
    const uint64_t row_bytes = (static_cast<uint64_t>(picture.width) * 3 + 3) & ~uint64_t{3};
    const uint64_t image_bytes = row_bytes * static_cast<uint64_t>(picture.height);
    if (image_bytes > 0xFFFFFFFFull - kHeaderBytes) return false;

    std::vector<uint8_t> bytes;
    bytes.reserve(kHeaderBytes + image_bytes);
    bytes.push_back('B');
    bytes.push_back('M');
    put32(bytes, static_cast<uint32_t>(kHeaderBytes + image_bytes));
    put32(bytes, 0);
    put32(bytes, kHeaderBytes);
    put32(bytes, 40);
    put32(bytes, static_cast<uint32_t>(picture.width));
    put32(bytes, static_cast<uint32_t>(picture.height));  // positive: bottom-up rows
    put16(bytes, 1);
    put16(bytes, 24);
    put32(bytes, 0);  // no compression
    put32(bytes, static_cast<uint32_t>(image_bytes));
    put32(bytes, 3780);  // 96 dots per inch
    put32(bytes, 3780);
    put32(bytes, 0);
    put32(bytes, 0);
    for (int32_t y = picture.height - 1; y >= 0; --y) {
        const uint32_t* row = picture.row(y);
        for (int32_t x = 0; x < picture.width; ++x) {
            const uint32_t p = row[x];  // 0x00RRGGBB; the file wants blue, green, red
            bytes.push_back(static_cast<uint8_t>(p));
            bytes.push_back(static_cast<uint8_t>(p >> 8));
            bytes.push_back(static_cast<uint8_t>(p >> 16));
        }
        for (uint64_t pad = static_cast<uint64_t>(picture.width) * 3; pad < row_bytes; ++pad) {
            bytes.push_back(0);
        }
    }

    return replace_file(path, bytes.data(), bytes.size());
}

void set_wallpaper_style(RawRegistry& registry, int32_t style) {
    const char* tile = nullptr;
    const char* stretch = nullptr;
    switch (style) {
        case kWallpaperCentred:
            tile = "0";
            stretch = "0";
            break;
        case kWallpaperStretched:
            tile = "0";
            stretch = "2";
            break;
        case kWallpaperTiled:
            tile = "1";
            stretch = "0";
            break;
        default:
            return;
    }
    write_registry_string(registry, HKEY_CURRENT_USER, kDesktopKey, "TileWallpaper", tile);
    write_registry_string(registry, HKEY_CURRENT_USER, kDesktopKey, "WallpaperStyle", stretch);
}

bool apply_wallpaper(Desktop& desktop, const std::string& path) {
    return desktop.set_wallpaper(path);
}

bool save_as_wallpaper(const Surface& picture, int32_t style, const std::string& file_name,
                       WallpaperSeams& seams) {
    // The name comes from the caller, but a separator in it would write somewhere else.
    if (file_name.empty() || file_name.find_first_of("/\\") != std::string::npos ||
        file_name == "." || file_name == "..") {
        return false;
    }
    const std::string folder = seams.folders.data_folder();
    if (folder.empty()) return false;
    const std::string path = folder + file_name;
    if (!write_bmp24(picture, path)) return false;
    set_wallpaper_style(seams.registry, style);
    return apply_wallpaper(seams.desktop, path);
}

}  // namespace vistaloom
