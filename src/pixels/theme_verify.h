#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace vistaloom {

class UserFolders;

// The three header texts of a theme information file, as they stand (the reader of the
// saver keeps only the music count).
struct ThemeHeader {
    std::string first;
    std::string second;
    std::string music_text;
};

bool read_theme_header(const std::string& base_path, ThemeHeader& header);

// Everything that is wrong with a theme, one line each; empty when it is sound: the
// information file reads, items 1 and 2 exist, no size is negative, the container's length
// equals the sum of the sizes, and the pictures decode.
std::vector<std::string> verify_theme(const std::string& base_path, UserFolders& folders);

// Size of a file in bytes, -1 when it cannot be examined.
int64_t file_length(const std::string& path);

}  // namespace vistaloom
