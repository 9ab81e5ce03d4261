#pragma once
#include <atomic>
#include <iosfwd>
#include <string>
#include <vector>

#include "ground/printable_text.h"

namespace vistaloom {

class UserFolders;

// The theme tool's commands. Each returns the exit code: 0 done, 1 the theme or a file is
// wrong (one clear line on `err`), 2 the command line is wrong (usage on `err`), 130 `make`
// was interrupted through `cancel`.
int run_theme_tool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   UserFolders& folders, const std::atomic<bool>* cancel = nullptr);

// THEME may be given as the base path or as the information file's own path.
std::string theme_base_path(const std::string& theme);

}  // namespace vistaloom
