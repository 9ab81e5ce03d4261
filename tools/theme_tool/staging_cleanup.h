#pragma once
#include <string>

namespace vistaloom {

// Files the tool writes under a temporary name before renaming them into place. When the
// tool is interrupted (SIGINT, SIGTERM, SIGHUP) the listed files are removed before it ends,
// so no half-written file is left next to the user's themes.
void install_staging_cleanup();

// Adds `path` to the list; the tool removes it itself on any other way out. At most a few
// paths are held at once; false when the list is full (the file is then only removed on an
// ordinary failure).
bool remove_on_interrupt(const std::string& path);
// Takes `path` off the list once it was renamed into place or removed.
void keep_on_interrupt(const std::string& path);

}  // namespace vistaloom
