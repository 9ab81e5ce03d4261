#include "library/photo_scan.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <unordered_set>

namespace vistaloom {

namespace fs = std::filesystem;

namespace {

constexpr std::array<std::string_view, 8> kPhotoExtensions{"jpg", "jpeg", "png", "webp",
                                                           "tif", "tiff", "bmp", "gif"};

bool same_ignoring_case(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
               return lower(x) == lower(y);
           });
}

bool stopped(const std::atomic<bool>* cancel) {
    return cancel != nullptr && cancel->load(std::memory_order_relaxed);
}

int64_t nanoseconds(fs::file_time_type time) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
}

// One folder's entries: photos into `listing`, subfolders onto `pending`.
void list_folder(const fs::path& folder, PhotoListing& listing, std::vector<fs::path>& pending) {
    std::error_code error;
    fs::directory_iterator entries(folder, fs::directory_options::skip_permission_denied, error);
    if (error) return;
    for (const fs::directory_entry& entry : entries) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name.front() == '.') continue;
        // Both follow links; a dangling link is neither.
        if (entry.is_directory(error)) {
            pending.push_back(entry.path());
            continue;
        }
        if (!is_photo_name(name) || !entry.is_regular_file(error)) continue;
        PhotoFile photo;
        photo.path = entry.path().string();
        const uintmax_t size = entry.file_size(error);
        if (error) continue;
        const fs::file_time_type time = entry.last_write_time(error);
        if (error) continue;
        photo.size = size;
        photo.modified_ns = nanoseconds(time);
        listing.photos.push_back(std::move(photo));
    }
}

}  // namespace

bool is_photo_name(std::string_view name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return false;
    const std::string_view extension = name.substr(dot + 1);
    return std::any_of(
        kPhotoExtensions.begin(), kPhotoExtensions.end(),
        [&](std::string_view known) { return same_ignoring_case(extension, known); });
}

PhotoListing list_photos(const std::string& folder, const std::atomic<bool>* cancel) {
    PhotoListing listing;
    std::error_code error;
    if (folder.empty() || !fs::is_directory(fs::path(folder), error)) return listing;
    listing.folder_found = true;
    // Where each folder really is: a folder reached a second time (through a link to it or to
    // one of its parents) is not listed again.
    std::unordered_set<std::string> visited;
    std::vector<fs::path> pending{fs::path(folder)};
    while (!pending.empty()) {
        if (stopped(cancel)) {
            listing.cancelled = true;
            break;
        }
        const fs::path next = std::move(pending.back());
        pending.pop_back();
        const fs::path real = fs::canonical(next, error);
        if (error || !visited.insert(real.string()).second) continue;
        list_folder(next, listing, pending);
    }
    std::sort(listing.photos.begin(), listing.photos.end(),
              [](const PhotoFile& a, const PhotoFile& b) { return a.path < b.path; });
    return listing;
}

}  // namespace vistaloom
