#include "theme_files/theme_unpack.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
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

void tell(const std::function<void(const std::string&)>& hook, const std::string& path) {
    if (hook) hook(path);
}

// The bytes themselves; empty when all of them reached `target`.
std::string copy_bytes(std::ifstream& source, const std::string& from, std::FILE* target,
                       const std::string& part, int64_t length) {
    std::vector<char> buffer(static_cast<size_t>(std::min<int64_t>(length, 1 << 16)));
    while (length > 0) {
        const auto want = static_cast<std::streamsize>(
            std::min<int64_t>(length, static_cast<int64_t>(buffer.size())));
        source.read(buffer.data(), want);
        if (source.gcount() != want) return "cannot read " + from + " (it got shorter?)";
        if (std::fwrite(buffer.data(), 1, static_cast<size_t>(want), target) !=
            static_cast<size_t>(want))
            return "cannot write " + part + ": " + std::strerror(errno);
        length -= want;
    }
    return {};
}

// Before anything is written: every target is free (or `force`) and none is the theme's own.
std::string targets_problem(const std::string& base_path, const std::string& folder,
                            const std::vector<std::string>& names, bool force) {
    std::error_code error;
    std::string present;
    for (const auto& name : names) {
        const fs::path target = fs::path(folder) / name;
        if (is_theme_file(base_path, target.string()))
            return target.string() + " is the theme's own file; unpacking into it would destroy it";
        if (fs::exists(fs::symlink_status(target, error)))
            present += (present.empty() ? "" : ", ") + name;
    }
    if (!present.empty() && !force)
        return "not overwriting what is there (--force does): " + present;
    return {};
}

}  // namespace

bool is_theme_file(const std::string& base_path, const std::string& file) {
    std::error_code error;
    for (const char* extension : {".icf", ".img"})
        if (fs::equivalent(theme_file_path(base_path, extension), file, error)) return true;
    return false;
}

std::string item_range_problem(const ThemeItems& items, const std::string& base_path, int32_t k,
                               int64_t& offset) {
    const std::string container = theme_file_path(base_path, ".img");
    std::error_code error;
    if (!fs::is_regular_file(container, error)) return "cannot read the container " + container;
    const auto size = fs::file_size(container, error);
    if (error) return "cannot read the container " + container;
    offset = theme_item_offset(items, k);
    if (offset < 0) return "item " + std::to_string(k) + " has an impossible size or position";
    const int64_t end = offset + items.item_sizes[static_cast<size_t>(k)];
    if (static_cast<uint64_t>(end) > size)
        return "item " + std::to_string(k) + " ends at byte " + std::to_string(end) + " but " +
               container + " has only " + std::to_string(size);
    return {};
}

std::string copy_range_atomically(const std::string& from, int64_t offset, int64_t length,
                                  const std::string& to, const StagingHooks& hooks) {
    std::ifstream source(from, std::ios::binary);
    source.seekg(offset, std::ios::beg);
    if (!source) return "cannot read " + from;
    const std::string part = to + ".part-" + process_token();
    // Listed before it exists: a signal between creating the file and listing it would
    // leave it behind. The name carries this process's random token, so no file of the user's
    // has it; and "x" creates it new or not at all.
    tell(hooks.started, part);
    std::FILE* target = std::fopen(part.c_str(), "wbx");
    if (target == nullptr) {
        const std::string problem = "cannot write " + part + ": " + std::strerror(errno);
        tell(hooks.ended, part);
        return problem;
    }
    std::string problem = copy_bytes(source, from, target, part, length);
    if (std::fclose(target) != 0 && problem.empty())
        problem = "cannot write " + part + ": " + std::strerror(errno);
    std::error_code error;
    if (problem.empty()) {
        fs::rename(part, to, error);
        if (error) problem = "cannot write " + to + ": " + error.message();
    }
    // The copy's own result stands: removing the staging file must not hide it.
    if (!problem.empty()) fs::remove(part, error);
    tell(hooks.ended, part);
    return problem;
}

UnpackResult unpack_theme(const std::string& base_path, const std::string& folder, bool force,
                          UserFolders& folders, const StagingHooks& hooks) {
    UnpackResult result;
    ThemeItems items;
    if (!read_theme_info(items, base_path, folders)) {
        result.error = "cannot read theme information file " + base_path + ".icf";
        return result;
    }
    std::error_code error;
    // As unzip -d does; an existing file of that name is no folder to write into.
    if (!fs::is_directory(folder, error) && !fs::create_directories(folder, error)) {
        result.error = "cannot make the folder " + folder +
                       (error ? ": " + error.message() : std::string(": a file is in the way"));
        return result;
    }
    const std::vector<std::string> names = target_names(items);
    result.error = targets_problem(base_path, folder, names, force);
    if (!result.error.empty()) return result;
    const std::string container = theme_file_path(base_path, ".img");
    for (int32_t k = 1; k <= items.item_count; ++k) {
        int64_t offset = 0;
        result.error = item_range_problem(items, base_path, k, offset);
        if (!result.error.empty()) return result;
        // Straight from the container: a detour through the private folder would copy every
        // item twice, and that folder is often a small one in memory.
        const std::string target = (fs::path(folder) / names[static_cast<size_t>(k - 1)]).string();
        result.error = copy_range_atomically(container, offset, items.item_sizes[k], target, hooks);
        if (!result.error.empty()) return result;
        result.written.push_back(target);
    }
    return result;
}

}  // namespace vistaloom
