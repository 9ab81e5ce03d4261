#pragma once
#include <cstddef>
#include <string>

namespace vistaloom {

// Puts `size` bytes at `path` whole or not at all: they are written beside it under a hidden
// temporary name and renamed over it only once every byte was written. False when anything
// failed (a full disk, a folder that went away); whatever was at `path` before is then as it
// was, and no temporary file is left.
bool replace_file(const std::string& path, const void* data, size_t size);

}  // namespace vistaloom
