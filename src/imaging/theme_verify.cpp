#include "imaging/theme_verify.h"

#include <filesystem>
#include <fstream>

#include "imaging/theme_files.h"
#include "imaging/theme_info_fields.h"

namespace vistaloom {

bool read_theme_header(const std::string& base_path, ThemeHeader& header) {
    std::ifstream file(base_path + ".icf", std::ios::binary);
    if (!file) return false;
    InfoFieldReader reader(*file.rdbuf());
    return reader.read_text(header.first) && reader.read_text(header.second) &&
           reader.read_text(header.music_text);
}

int64_t file_length(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return -1;
    auto size = std::filesystem::file_size(path, error);
    return error ? -1 : static_cast<int64_t>(size);
}

std::vector<std::string> verify_theme(const std::string& base_path) {
    std::vector<std::string> problems;
    ThemeItems items;
    if (!read_theme_info(items, base_path)) {
        problems.push_back("information file " + base_path +
                           ".icf is missing or cannot be read as a theme");
        return problems;
    }
    if (items.item_count < 2)
        problems.push_back("theme has " + std::to_string(items.item_count) +
                           " items; item 1 (sample picture) and item 2 (sprite sheet) are needed");
    int64_t total = 0;
    for (int32_t k = 1; k <= items.item_count; ++k) {
        if (items.item_sizes[k] < 0)
            problems.push_back("item " + std::to_string(k) + " has a negative size");
        else
            total += items.item_sizes[k];
    }
    const int64_t length = file_length(base_path + ".img");
    if (length < 0)
        problems.push_back("container " + base_path + ".img is missing");
    else if (length != total)
        problems.push_back("container is " + std::to_string(length) +
                           " bytes but the items add up to " + std::to_string(total));
    return problems;
}

}  // namespace vistaloom
