#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "theme_files/theme_items.h"

namespace vistaloom {

class UserFolders;

// Told of every staging file before it is created and again once it is renamed into place
// or removed, so that a program can remove it when a signal ends it half-way.
struct StagingHooks {
    std::function<void(const std::string&)> started;
    std::function<void(const std::string&)> ended;
};

struct UnpackResult {
    std::string error;                 // empty when every item was written
    std::vector<std::string> written;  // the files written, in item order
};

// Writes every item of the theme at `base_path` into `folder` under its stored name made
// safe (safe_item_file_name), each straight from the container. `folder` is created when
// it is missing. Two items whose names come out the same get "-2", "-3", ... before the
// extension so neither is lost. Unless `force` is set, nothing is written when any target
// already exists; the error then names them. A target that is one of the theme's own files
// is refused even then: writing it would destroy the theme being read.
UnpackResult unpack_theme(const std::string& base_path, const std::string& folder, bool force,
                          UserFolders& folders, const StagingHooks& hooks = {});

// Why item k of the theme at `base_path` cannot be copied out of its container (missing,
// no regular file, shorter than the item table says, or the sizes make no sense), or an
// empty text when it can; `offset` is then where the item starts.
std::string item_range_problem(const ThemeItems& items, const std::string& base_path, int32_t k,
                               int64_t& offset);

// Copies `length` bytes at `offset` of `from` to `to` through a staging name beside `to`
// (created new, so nothing planted under that name is written through) and a rename, so an
// interrupted copy never looks like a finished one. Empty on success, else one line that
// says what went wrong; nothing is left under either name then.
std::string copy_range_atomically(const std::string& from, int64_t offset, int64_t length,
                                  const std::string& to, const StagingHooks& hooks = {});

// True when `file` already is one of the two files of the theme at `base_path`, by any
// name or link.
bool is_theme_file(const std::string& base_path, const std::string& file);

}  // namespace vistaloom
