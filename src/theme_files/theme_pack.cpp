#include "theme_files/theme_pack.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "ground/process_token.h"
#include "theme_files/theme_limits.h"

namespace vistaloom {

namespace {

std::string file_name_of(const std::string& path) {
    size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string part_suffix() {
    return ".part-" + process_token();
}

// Only a regular file has a length known before reading: a FIFO would block the pack for
// ever and a device such as /dev/zero would fill the disk. Links are followed, so a link to
// a device is refused too. The length, or -1 with `error` set.
int64_t input_length(const std::string& path, std::string& error) {
    std::error_code code;
    const auto status = std::filesystem::status(path, code);
    if (code || !std::filesystem::exists(status)) {
        error = "cannot read " + path;
        return -1;
    }
    if (!std::filesystem::is_regular_file(status)) {
        error = path + " is not a regular file";
        return -1;
    }
    const auto size = std::filesystem::file_size(path, code);
    if (code) {
        error = "cannot read " + path;
        return -1;
    }
    return static_cast<int64_t>(size);
}

// Appends exactly `length` bytes of one file to the container: a file that grew since it was
// measured is cut at the measured length, one that shrank fails the pack.
bool append_file(std::ofstream& container, const std::string& path, int64_t length) {
    std::ifstream source(path, std::ios::binary);
    if (!source) return false;
    std::vector<char> buffer(1 << 16);
    while (length > 0) {
        const auto want = static_cast<std::streamsize>(
            std::min<int64_t>(length, static_cast<int64_t>(buffer.size())));
        source.read(buffer.data(), want);
        if (source.gcount() != want) return false;
        container.write(buffer.data(), want);
        if (!container) return false;
        length -= want;
    }
    return true;
}

// A header text goes between double quotes, which it therefore cannot contain.
std::string quoted(std::string text) {
    for (char& c : text)
        if (c == '"' || c == '\r' || c == '\n') c = '\'';
    return "\"" + text + "\"";
}

}  // namespace

std::string stored_item_name(const std::string& file_path, std::string& error) {
    const std::string name = file_name_of(file_path);
    for (char c : name) {
        if (c == '"' || static_cast<unsigned char>(c) < 0x20) {
            error = "item file name cannot be stored (quote or control character): " + name;
            return {};
        }
    }
    size_t dot = name.rfind('.');
    std::string ext = dot == std::string::npos ? std::string() : lower(name.substr(dot + 1));
    std::string stored = name;
    // Letter case as given: "Photo.JPEG" is stored as "Photo.JPG".
    if (ext == "jpeg") {
        stored = name.substr(0, dot + 3) + name.substr(dot + 4);
    } else if (ext == "midi") {
        stored = name.substr(0, dot + 4);
    } else if (ext.size() != 3) {
        error = "item file name needs a three-letter extension (such as .jpg, .mid): " + name;
        return {};
    }
    // Longer names would pack, but unpacking could not write them back out under their name.
    if (stored.size() > kMaxItemNameBytes) {
        error = "item file name is longer than " + std::to_string(kMaxItemNameBytes) +
                " bytes: " + name;
        return {};
    }
    return stored;
}

std::vector<std::string> pack_staging_paths(const std::string& base_path) {
    return {base_path + ".img" + part_suffix(), base_path + ".icf" + part_suffix()};
}

std::string pack_theme(const ThemePackRequest& request) {
    if (request.base_path.empty()) return "no theme path given";
    const std::string theme_name = file_name_of(request.base_path);
    if (theme_name.size() > kMaxThemeNameBytes)
        return "theme name is longer than " + std::to_string(kMaxThemeNameBytes) +
               " bytes: " + theme_name;
    std::vector<std::string> sources{request.sample_path, request.sheet_path};
    sources.insert(sources.end(), request.music_paths.begin(), request.music_paths.end());
    if (sources.size() > static_cast<size_t>(kMaxThemeItems))
        return "a theme holds at most " + std::to_string(kMaxThemeItems) + " items, not " +
               std::to_string(sources.size());

    std::vector<std::string> names;
    for (const auto& path : sources) {
        std::string error;
        std::string name = stored_item_name(path, error);
        if (name.empty()) return error;
        names.push_back(name);
    }

    const std::string img_path = request.base_path + ".img";
    const std::string icf_path = request.base_path + ".icf";
    const std::vector<std::string> staging = pack_staging_paths(request.base_path);
    const std::string& img_part = staging[0];
    const std::string& icf_part = staging[1];
    std::error_code ignored;
    auto fail = [&](const std::string& message) {
        std::filesystem::remove(img_part, ignored);
        std::filesystem::remove(icf_part, ignored);
        return message;
    };

    // Every input is measured before anything is written, so a refused pack writes nothing.
    std::vector<int64_t> sizes;
    int64_t total = 0;
    for (const auto& path : sources) {
        std::string error;
        const int64_t size = input_length(path, error);
        if (size < 0) return error;
        total += size;
        if (total > kMaxThemeBytes)
            return "theme would exceed " + std::to_string(kMaxThemeBytes) + " bytes at " + path;
        sizes.push_back(size);
    }

    {
        std::ofstream container(img_part, std::ios::binary | std::ios::trunc);
        if (!container) return fail("cannot write " + img_part);
        for (size_t i = 0; i < sources.size(); ++i) {
            if (!append_file(container, sources[i], sizes[i]))
                return fail("cannot read " + sources[i] + " (it changed while packing?)");
        }
        container.close();
        if (!container) return fail("cannot write " + img_part);
    }

    {
        std::ofstream info(icf_part, std::ios::binary | std::ios::trunc);
        if (!info) return fail("cannot write " + icf_part);
        const size_t music = request.music_paths.size();
        info << quoted(theme_name) << "," << quoted("Vistaloom theme") << ","
             << quoted(std::to_string(music) + (music == 1 ? " music track" : " music tracks"))
             << "\r\n"
             << names.size() << "\r\n";
        for (size_t i = 0; i < names.size(); ++i)
            info << quoted(names[i]) << "," << sizes[i] << "\r\n";
        info.close();
        if (!info) return fail("cannot write " + icf_part);
    }

    std::error_code error;
    std::filesystem::rename(img_part, img_path, error);
    if (error) return fail("cannot rename " + img_part + " to " + img_path);
    std::filesystem::rename(icf_part, icf_path, error);
    if (error) return fail("cannot rename " + icf_part + " to " + icf_path);
    return {};
}

}  // namespace vistaloom
