#pragma once
#include <string>

namespace vistaloom {

// Characters that cannot stand in a file name we write: they would name another folder,
// confuse a shell or another file system, or hide in a terminal.
bool unsafe_name_char(char c);

// Why `name` cannot name a new theme in the themes folder, or an empty text when it can. A
// theme name becomes the base of two file names and a line of the configuration window's
// list, so it must be a plain file name: not empty, no separators, quotes or control
// characters, no leading dot (a hidden file), no leading or trailing blank, not too long.
std::string theme_name_problem(const std::string& name);

// True when the folder already holds either file of the theme at `base_path`, in any letter
// case of the extension (that is how the theme list finds themes).
bool theme_exists(const std::string& base_path);

// The file name an item is written out under: its stored name with every unsafe character,
// a leading dot and trailing dots or blanks replaced by '_', cut to a length every file
// system takes (the last four characters, which carry the item's kind, are kept). Never
// empty, never "." or "..".
std::string safe_item_file_name(const std::string& stored_name);

}  // namespace vistaloom
