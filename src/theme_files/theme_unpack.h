#pragma once
#include <string>
#include <vector>

namespace vistaloom {

class UserFolders;

struct UnpackResult {
    std::string error;                 // empty when every item was written
    std::vector<std::string> written;  // the files written, in item order
};

// Writes every item of the theme at `base_path` into `folder` under its stored name made
// safe (safe_item_file_name). Two items whose names come out the same get "-2", "-3", ...
// before the extension so neither is lost. Unless `force` is set, nothing is written when
// any target already exists; the error then names them.
UnpackResult unpack_theme(const std::string& base_path, const std::string& folder, bool force,
                          UserFolders& folders);

// Copies `from` to `to` through a staging name beside it and a rename, so an interrupted
// copy never looks like a finished one. False when anything failed; nothing is left then.
bool copy_file_atomically(const std::string& from, const std::string& to);

}  // namespace vistaloom
