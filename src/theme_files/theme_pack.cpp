#include "theme_files/theme_pack.h"

#include "ground/process_token.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>


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

// Appends one file to the container; returns its length, or -1 on failure.
int64_t append_file(std::ofstream& container, const std::string& path) {
    std::ifstream source(path, std::ios::binary);
    if (!source) return -1;
    std::vector<char> buffer(1 << 16);
    int64_t total = 0;
    while (source) {
        source.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        std::streamsize got = source.gcount();
        if (got <= 0) break;
        container.write(buffer.data(), got);
        total += got;
    }
    if (source.bad() || !container) return -1;
    return total;
}

// A header text goes between double quotes, which it therefore cannot contain.
std::string quoted(std::string text) {
    for (char& c : text)
        if (c == '"' || c == '\r' || c == '\n') c = '\'';
    return "\"" + text + "\"";
}

}  // namespace

std::string stored_item_name(const std::string& file_path, std::string& error) {
    std::string name = file_name_of(file_path);
    for (char c : name) {
        if (c == '"' || static_cast<unsigned char>(c) < 0x20) {
            error = "item file name cannot be stored (quote or control character): " + name;
            return {};
        }
    }
    size_t dot = name.rfind('.');
    std::string ext = dot == std::string::npos ? std::string() : lower(name.substr(dot + 1));
    // Letter case as given: "Photo.JPEG" is stored as "Photo.JPG".
    if (ext == "jpeg") return name.substr(0, dot + 3) + name.substr(dot + 4);
    if (ext == "midi") return name.substr(0, dot + 4);
    if (ext.size() != 3) {
        error = "item file name needs a three-letter extension (such as .jpg, .mid): " + name;
        return {};
    }
    return name;
}

std::string pack_theme(const ThemePackRequest& request) {
    if (request.base_path.empty()) return "no theme path given";
    std::vector<std::string> sources{request.sample_path, request.sheet_path};
    sources.insert(sources.end(), request.music_paths.begin(), request.music_paths.end());

    std::vector<std::string> names;
    for (const auto& path : sources) {
        std::string error;
        std::string name = stored_item_name(path, error);
        if (name.empty()) return error;
        names.push_back(name);
    }

    const std::string img_path = request.base_path + ".img";
    const std::string icf_path = request.base_path + ".icf";
    const std::string img_part = img_path + part_suffix();
    const std::string icf_part = icf_path + part_suffix();
    std::error_code ignored;
    auto fail = [&](const std::string& message) {
        std::filesystem::remove(img_part, ignored);
        std::filesystem::remove(icf_part, ignored);
        return message;
    };

    std::vector<int64_t> sizes;
    {
        std::ofstream container(img_part, std::ios::binary | std::ios::trunc);
        if (!container) return fail("cannot write " + img_part);
        int64_t total = 0;
        for (const auto& path : sources) {
            int64_t size = append_file(container, path);
            if (size < 0) return fail("cannot read " + path);
            total += size;
            // Offsets and sizes are 32-bit signed numbers in the information file.
            if (total > std::numeric_limits<int32_t>::max())
                return fail("theme would exceed 2147483647 bytes at " + path);
            sizes.push_back(size);
        }
        container.close();
        if (!container) return fail("cannot write " + img_part);
    }

    {
        std::ofstream info(icf_part, std::ios::binary | std::ios::trunc);
        if (!info) return fail("cannot write " + icf_part);
        const size_t music = request.music_paths.size();
        info << quoted(file_name_of(request.base_path)) << "," << quoted("Vistaloom theme") << ","
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
