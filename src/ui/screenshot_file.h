#pragma once
#include <string>

class QImage;

namespace vistaloom {

// Writes `image` as a PNG at `path` through a temporary file in the same folder that is
// renamed over `path` only once every byte is on disk: a full disk or a vanished folder
// leaves no 0-byte or half picture, and an existing file stays whole. A failure is said on
// stderr (the file was asked for on the command line) and returns false; the caller's exit
// status should then report it.
bool write_screenshot_file(const QImage& image, const std::string& path);

}  // namespace vistaloom
