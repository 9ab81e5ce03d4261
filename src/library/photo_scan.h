#pragma once
#include <atomic>
#include <string>
#include <string_view>
#include <vector>

#include "library/photo_deck.h"

namespace vistaloom {

// Whether a file name ends in an extension of a picture format the saver reads (JPEG, PNG,
// WebP, TIFF, BMP, GIF), in any case. The content decides later whether it really is one.
bool is_photo_name(std::string_view name);

struct PhotoListing {
    std::vector<PhotoFile> photos;  // sorted by path, so a seeded run deals the same way
    bool folder_found = false;      // false: `folder` is missing or no folder
    bool cancelled = false;
};

// Lists the photos in `folder` and all its subfolders: regular files with a photo name, found
// through links too, each folder visited once however many links lead to it (so a link to a
// parent ends nowhere). Hidden files and folders (a leading dot: thumbnails, version control)
// are passed over. Folders that cannot be read are skipped. Nothing is opened, so a pipe or a
// device named "x.jpg" costs nothing here. Returns early when `cancel` becomes true.
PhotoListing list_photos(const std::string& folder, const std::atomic<bool>* cancel = nullptr);

}  // namespace vistaloom
