#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "theme_files/theme_items.h"
#include "theme_files/theme_limits.h"

namespace vistaloom {

class UserFolders;

// A theme is two files sharing a base path: "<base>.icf", a short text of comma-separated
// fields naming the items and their lengths, and "<base>.img", the items' bytes end to end.
// Themes come from anywhere, so every count, size and name read here is treated as hostile.

// True when `path` is a regular file longer than 1 byte.
bool file_present(const std::string& path);

// The private per-user folder for temporary item files, with a trailing separator, created
// on first use. Empty when the folder cannot be made safe.
std::string get_windows_dir(UserFolders& folders);

// The path of one of a theme's two files, `extension` being ".icf" or ".img": base_path +
// extension when that name exists, else a file in the same folder whose name differs from it
// only in the letter case of the extension ("Autumn.ICF"), which is how the theme listing,
// comparing extensions in any case, may have found the theme. The base name itself must
// match exactly: "autumn" and "Autumn" are two themes where file names have case. Without
// such a file the plain base_path + extension comes back.
std::string theme_file_path(const std::string& base_path, const std::string& extension);

// Fills `items` from base_path + ".icf"; more than kMaxThemeItems items fail the read. On failure the table is left with no items and no
// music (and windows_dir set), so callers that carry on never see half a table.
bool read_theme_info(ThemeItems& items, const std::string& base_path, UserFolders& folders);

// Copies item k of base_path + ".img" to windows_dir + temp_item_name(the last three
// characters of its stored name) and returns that path, or "False". A failed extraction
// never leaves a partial file under the target name.
std::string extract_theme_item(const ThemeItems& items, const std::string& base_path, int32_t k);

// Deletes this process's temporary item files (finished or half-written) from windows_dir;
// those of other programs sharing the folder stay. Errors are ignored.
void remove_temp_items(const ThemeItems& items);

// --- Pieces of the above, exposed for the theme tool and for tests. ---

// The file name of this process's temporary item file with `extension`:
// "img_xyz-" + a token of this process + "." + extension. The token keeps the items of two
// programs running at once apart; the extension still picks the player.
std::string temp_item_name(const std::string& extension);

// The extension a temporary item file gets for a stored item name: its last three
// characters, letter case kept, with anything that could name another folder or confuse a
// file system (separators, dots, control characters, NUL, reserved characters) replaced
// by '_'. Shorter names give a shorter extension.
std::string temp_item_extension(const std::string& item_name);

// Byte offset of item k inside the container, or -1 when k is outside 1..item_count, a
// size up to and including item k is negative, or the item would end beyond the 32-bit
// range.
int64_t theme_item_offset(const ThemeItems& items, int32_t k);

// The chunk sizes the extractor copies an item of `length` bytes in: 60000-byte chunks and
// one shorter last chunk.
std::vector<int32_t> extraction_chunks(int32_t length);

}  // namespace vistaloom
