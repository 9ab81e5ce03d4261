#include "pixels/theme_verify.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>

#include "pixels/dib_section.h"
#include "pixels/jpeg_loading.h"
#include "pixels/sheet_layout.h"
#include "theme_files/music_header.h"
#include "theme_files/theme_files.h"
#include "theme_files/theme_info_fields.h"

namespace vistaloom {

namespace {

uint32_t little_endian(const std::string& bytes, size_t at, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
    return value;
}

uint32_t big_endian(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

std::string file_start(const std::string& path, size_t count) {
    std::ifstream file(path, std::ios::binary);
    std::string bytes(count, '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<size_t>(std::max<std::streamsize>(file.gcount(), 0)));
    return bytes;
}

// The sample picture goes to the platform's picture loader, which takes JPEG, BMP, PNG and
// GIF. A JPEG must decode; the others must at least carry a sound header.
std::string sample_problem(const std::string& path) {
    const std::string head = file_start(path, 32);
    if (head.size() >= 2 && head[0] == '\xFF' && head[1] == '\xD8') {
        cDIBSection picture;
        if (!DecodeJpegToDib(picture, path))
            return "item 1 (sample picture) is a JPEG that does not decode";
        return {};
    }
    if (head.size() >= 2 && head[0] == 'B' && head[1] == 'M') {
        // The fields read below end at byte 30; a shorter file cannot hold them.
        if (head.size() < 30) return "item 1 (sample picture) is a BMP with a broken header";
        const auto width = static_cast<int32_t>(little_endian(head, 18, 4));
        const auto height = static_cast<int32_t>(little_endian(head, 22, 4));
        const uint32_t bits = little_endian(head, 28, 2);
        const bool bits_ok =
            bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
        if (width <= 0 || height == 0 || !bits_ok || little_endian(head, 10, 4) > file_length(path))
            return "item 1 (sample picture) is a BMP with a broken header";
        return {};
    }
    if (head.size() >= 24 && head.compare(0, 8, "\x89PNG\r\n\x1A\n") == 0) {
        if (head.compare(12, 4, "IHDR") != 0 || big_endian(head, 16) == 0 ||
            big_endian(head, 20) == 0)
            return "item 1 (sample picture) is a PNG with a broken header";
        return {};
    }
    if (head.size() >= 10 &&
        (head.compare(0, 6, "GIF87a") == 0 || head.compare(0, 6, "GIF89a") == 0)) {
        if (little_endian(head, 6, 2) == 0 || little_endian(head, 8, 2) == 0)
            return "item 1 (sample picture) is a GIF with a broken header";
        return {};
    }
    return "item 1 (sample picture) is not a JPEG, BMP, PNG or GIF picture";
}

std::string sheet_problem(const std::string& path) {
    cDIBSection sheet;
    if (!DecodeJpegToDib(sheet, path))
        return "item 2 (sprite sheet) does not decode as a JPEG picture";
    if (sheet.width() < kSheetWidth || sheet.height() < kSheetHeight)
        return "item 2 (sprite sheet) is " + std::to_string(sheet.width()) + " x " +
               std::to_string(sheet.height()) + " pixels; the 20 pictures need at least " +
               std::to_string(kSheetWidth) + " x " + std::to_string(kSheetHeight);
    return {};
}

// Runs `check` on an extracted copy of item k, then removes just that copy so a saver
// running at the same time keeps its own temporary files.
template <typename Check>
void check_item(const ThemeItems& items, const std::string& base_path, int32_t k, Check check,
                std::vector<std::string>& problems) {
    const std::string path = extract_theme_item(items, base_path, k);
    if (path == "False") {
        problems.push_back("item " + std::to_string(k) + " cannot be extracted");
        return;
    }
    std::string problem = check(path);
    if (!problem.empty()) problems.push_back(problem);
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

std::string header_music(double count) {
    std::string text = std::to_string(count);
    text.erase(text.find_last_not_of('0') + 1);
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

}  // namespace

bool read_theme_header(const std::string& base_path, ThemeHeader& header) {
    std::ifstream file(theme_file_path(base_path, ".icf"), std::ios::binary);
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

std::vector<std::string> verify_theme(const std::string& base_path, UserFolders& folders) {
    std::vector<std::string> problems;
    ThemeItems items;
    if (!read_theme_info(items, base_path, folders)) {
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
    if (total > std::numeric_limits<int32_t>::max())
        problems.push_back("items add up to " + std::to_string(total) +
                           " bytes, beyond the 2147483647 a theme can address");
    const int64_t length = file_length(theme_file_path(base_path, ".img"));
    if (length < 0)
        problems.push_back("container " + base_path + ".img is missing");
    else if (length != total)
        problems.push_back("container is " + std::to_string(length) +
                           " bytes but the items add up to " + std::to_string(total));
    if (items.music_count > std::max(items.item_count - 2, 0))
        problems.push_back(
            "header promises " + header_music(items.music_count) + " music tracks but " +
            std::to_string(std::max(items.item_count - 2, 0)) + " follow the pictures");
    if (!problems.empty()) return problems;
    check_item(items, base_path, 1, sample_problem, problems);
    check_item(items, base_path, 2, sheet_problem, problems);
    // The saver refuses these tracks with the same check before they reach the mixer.
    for (int32_t k = 3; k <= items.item_count; ++k) {
        check_item(
            items, base_path, k,
            [k](const std::string& path) {
                const std::string problem = read_music_header(path).problem;
                return problem.empty() ? problem
                                       : "item " + std::to_string(k) + " (music): " + problem;
            },
            problems);
    }
    return problems;
}

}  // namespace vistaloom
