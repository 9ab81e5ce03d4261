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

// The temporary names pack_theme writes under before renaming, so that a program can remove
// them when it is interrupted. They are this process's own: nobody else writes them.
std::vector<std::string> pack_staging_paths(const std::string& base_path);

// Writes base_path + ".img" and base_path + ".icf" so that read_theme_info and
// extract_theme_item read them back. Both are written under temporary names and renamed
// into place, the container first. Inputs must be regular files (or links to them) and are
// measured first: nothing is written when one is missing, is no regular file, or the theme
// would outgrow its 32-bit offsets. Returns an empty text on success, else one line that
// says what went wrong; the temporary files are gone then.
std::string pack_theme(const ThemePackRequest& request);

}  // namespace vistaloom
