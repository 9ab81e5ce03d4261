#pragma once
#include <string>
#include <vector>

namespace vistaloom {

// What goes into a new theme: item 1 the sample picture, item 2 the JPEG sprite sheet,
// then the music tracks in playing order.
struct ThemePackRequest {
    std::string base_path;  // folder + theme name, no extension
    std::string sample_path;
    std::string sheet_path;
    std::vector<std::string> music_paths;
};

// The name an item is stored under: the file's own name, with a four-letter ".jpeg" or
// ".midi" shortened to three letters because only the last three characters of a stored
// name survive extraction. Empty, with `error` set, when the name cannot be stored.
std::string stored_item_name(const std::string& file_path, std::string& error);

// Writes base_path + ".img" and base_path + ".icf" so that read_theme_info and
// extract_theme_item read them back. Both are written under temporary names and renamed
// into place, the container first. Returns an empty text on success, else one line that
// says what went wrong.
std::string pack_theme(const ThemePackRequest& request);

}  // namespace vistaloom
