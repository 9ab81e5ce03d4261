#include "theme_files/theme_unpack.h"

#include <filesystem>
#include <fstream>
#include <set>

#include "ground/process_token.h"
#include "theme_files/theme_files.h"
#include "theme_files/theme_names.h"

namespace vistaloom {

namespace {

namespace fs = std::filesystem;

// "Song.mid" taken already: "Song-2.mid", then "Song-3.mid".
std::string numbered(const std::string& name, int n) {
    const size_t dot = name.rfind('.');
    const size_t cut = dot == std::string::npos || dot == 0 ? name.size() : dot;
    return name.substr(0, cut) + "-" + std::to_string(n) + name.substr(cut);
}

std::vector<std::string> target_names(const ThemeItems& items) {
    std::vector<std::string> names;
    std::set<std::string> taken;
    for (int32_t k = 1; k <= items.item_count; ++k) {
        const std::string safe = safe_item_file_name(items.item_names[k]);
        std::string name = safe;
        for (int n = 2; taken.count(name) != 0; ++n) name = numbered(safe, n);
        taken.insert(name);
        names.push_back(name);
    }
    return names;
}

}  // namespace

bool copy_file_atomically(const std::string& from, const std::string& to) {
    const std::string part = to + ".part-" + process_token();
    bool ok = false;
    {
        std::ifstream source(from, std::ios::binary);
        std::ofstream target(part, std::ios::binary | std::ios::trunc);
        if (source && target) {
            // An empty file copies no bytes, which operator<< reports as a failure.
            if (source.peek() != std::ifstream::traits_type::eof()) target << source.rdbuf();
            target.close();
            ok = static_cast<bool>(target) && !source.bad();
        }
    }
    std::error_code error;
    if (ok) fs::rename(part, to, error);
    if (!ok || error) fs::remove(part, error);
    return ok && !error;
}

UnpackResult unpack_theme(const std::string& base_path, const std::string& folder, bool force,
                          UserFolders& folders) {
    UnpackResult result;
    ThemeItems items;
    if (!read_theme_info(items, base_path, folders)) {
        result.error = "cannot read theme information file " + base_path + ".icf";
        return result;
    }
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        result.error = "no such folder: " + folder;
        return result;
    }
    const std::vector<std::string> names = target_names(items);
    std::string present;
    for (const auto& name : names)
        if (fs::exists(symlink_status(fs::path(folder) / name, error)))
            present += (present.empty() ? "" : ", ") + name;
    if (!present.empty() && !force) {
        result.error = "not overwriting what is there (--force does): " + present;
        return result;
    }
    for (int32_t k = 1; k <= items.item_count; ++k) {
        const std::string temp = extract_theme_item(items, base_path, k);
        if (temp == "False") {
            result.error = "cannot extract item " + std::to_string(k) + " from " + base_path +
                           ".img (container missing, too short, or sizes invalid)";
            return result;
        }
        const std::string target = (fs::path(folder) / names[static_cast<size_t>(k - 1)]).string();
        const bool copied = copy_file_atomically(temp, target);
        // Only this run's file goes: a saver running at the same time keeps its own.
        fs::remove(temp, error);
        if (!copied) {
            result.error = "cannot write " + target;
            return result;
        }
        result.written.push_back(target);
    }
    return result;
}

}  // namespace vistaloom
