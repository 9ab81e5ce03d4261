#pragma once
#include <string>
#include <vector>

namespace vistaloom {

// The signals that end the tool unless it catches them (SIGINT, SIGTERM, SIGHUP, SIGPIPE,
// ...): every one of them must leave no staging file behind.
const std::vector<int>& terminating_signals();

// Files the tool writes under a temporary name before renaming them into place. When a
// terminating signal comes, the listed files are removed before the tool ends, so no
// half-written file is left next to the user's themes.
void install_staging_cleanup();

// Adds `path` to the list (a folder goes only when it is empty, after the files); the tool removes
// it itself on any other way out. At most a few paths are held at once; false when the list is full
// (the file is then only removed on an ordinary failure).
bool remove_on_interrupt(const std::string& path);
// Takes `path` off the list once it was renamed into place or removed.
void keep_on_interrupt(const std::string& path);

}  // namespace vistaloom
