#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "library/photo_deck.h"

namespace vistaloom {

// The library's index between runs: the deck (every photo's path, size and time, in the order
// of the current cycle) and how far it was dealt, so a start finds its pictures at once and
// the cycle carries on where the last run left it.
//
// The file is binary, little-endian: a magic line, the library folder, the photo count and the
// position, then per photo its path's length and bytes, size and time, and last a checksum of
// all that. A file that is cut short, edited by hand, names another folder or fails any other
// check is dropped as a whole: the scan then makes a new one.

// The file name for the library at `folder` inside the cache folder (one file per library, so
// switching between two folders keeps both indexes).
std::string photo_index_file_name(const std::string& folder);

std::string encode_photo_index(const std::string& folder, const PhotoDeck& deck);
std::optional<PhotoDeck> decode_photo_index(std::string_view bytes, const std::string& folder);

// Reads the index at `path`; nothing when there is none or it does not pass the checks.
std::optional<PhotoDeck> load_photo_index(const std::string& path, const std::string& folder);
// Replaces the index at `path` whole (file_replace.h): a crash leaves the old one or the new.
bool save_photo_index(const std::string& path, const std::string& folder, const PhotoDeck& deck);

}  // namespace vistaloom
