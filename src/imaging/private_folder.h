#pragma once
#include <string>

namespace vistaloom {

// The per-user folder that takes the temporary item files. Other users share the machine's
// temporary folders, so the items of a theme never go anywhere another user could read,
// replace or redirect them.

// Where the folder belongs: $XDG_RUNTIME_DIR/vistaloom when XDG_RUNTIME_DIR is set, else
// $XDG_CACHE_HOME/vistaloom/tmp (default ~/.cache/vistaloom/tmp). Relative or empty
// variables are ignored, as the XDG rules ask. No trailing separator; empty when no home
// folder can be found.
std::string private_folder_path();

// Makes sure `path` is a folder of ours that nobody else can enter: created with mode 0700
// when missing (parents as needed), refused when it is a symbolic link or belongs to
// another user, its permissions narrowed to 0700 when it is ours but wider. Returns false
// when the folder cannot be made safe.
bool make_private_folder(const std::string& path);

}  // namespace vistaloom
