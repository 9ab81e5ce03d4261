#include "theme_files/theme_files.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>

#include "ground/process_token.h"
#include "ground/user_folders.h"
#include "theme_files/theme_info_fields.h"
#include "theme_files/theme_names.h"
#include "ground/numeric_text.h"

namespace vistaloom {

namespace {

constexpr char kTempPrefix[] = "img_xyz";
constexpr int32_t kChunkBytes = 60000;

#ifndef _WIN32
constexpr char kSeparator = '/';
#else
constexpr char kSeparator = '\\';
#endif

void reset_table(ThemeItems& items) {
    items.item_count = 0;
    items.music_count = 0;
    items.item_names.assign(1, std::string());
    items.item_sizes.assign(1, 0);
}

// Every file this process puts into the private folder starts with this: several programs
// of one user (a saver per screen, the configuration window, the theme tool) share the
// folder, and each may only ever replace or remove its own files.
std::string own_prefix() {
    return std::string(kTempPrefix) + "-" + process_token() + ".";
}

// Stages an extraction under a name of its own, so the item's name only ever holds a
// complete file.
std::FILE* open_staging_file(const std::string& folder, std::string& name) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 16; ++attempt) {
        name = folder + own_prefix() + "part-" + std::to_string(counter.fetch_add(1));
        // "x": created new or not at all, so neither a file nor a link planted under the
        // name is ever written through.
        std::FILE* file = std::fopen(name.c_str(), "wbx");
        if (file != nullptr) return file;
    }
    return nullptr;
}

// Copies the item's bytes into the staging file; false on any short read or write.
bool copy_item(std::istream& container, std::FILE* target, int32_t length) {
    std::vector<char> buffer(static_cast<size_t>(std::min(length, kChunkBytes)));
    for (int32_t chunk : extraction_chunks(length)) {
        container.read(buffer.data(), chunk);
        if (container.gcount() != chunk) return false;
        if (std::fwrite(buffer.data(), 1, static_cast<size_t>(chunk), target) !=
            static_cast<size_t>(chunk))
            return false;
    }
    return true;
}

}  // namespace

bool file_present(const std::string& path) {
    std::error_code error;
    auto status = std::filesystem::status(path, error);
    if (error || !std::filesystem::is_regular_file(status)) return false;
    auto size = std::filesystem::file_size(path, error);
    return !error && size > 1;
}

std::string get_windows_dir(UserFolders& folders) {
    std::string folder = folders.private_temp_folder();
    if (!folder.empty() && folder.back() != kSeparator) folder.push_back(kSeparator);
    return folder;
}

std::string theme_file_path(const std::string& base_path, const std::string& extension) {
    std::string exact = base_path + extension;
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(exact, error))) return exact;

#ifndef _WIN32
    const size_t cut = base_path.rfind('/');
#else
    const size_t cut = base_path.find_last_of("/\\:");
#endif
    const std::string folder = cut == std::string::npos ? "." : base_path.substr(0, cut + 1);
    const std::string name = cut == std::string::npos ? base_path : base_path.substr(cut + 1);
    if (name.empty()) return exact;
    // ASCII only: a locale's own case rules (the Turkish dotless i) must not decide this.
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    auto same_ignoring_case = [&lower](const std::string& a, const std::string& b) {
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(),
                          [&lower](char x, char y) { return lower(x) == lower(y); });
    };
    // Several spellings ("X.ICF", "X.Icf") would make the choice depend on the folder's
    // order; the first in byte order is taken so every reader picks the same one.
    std::string found;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string file = it->path().filename().string();
        if (file.size() != name.size() + extension.size() ||
            file.compare(0, name.size(), name) != 0)
            continue;
        if (!same_ignoring_case(file.substr(name.size()), extension)) continue;
        if (found.empty() || file < found) found = file;
    }
    if (found.empty()) return exact;
    return base_path + found.substr(name.size());
}

bool read_theme_info(ThemeItems& items, const std::string& base_path, UserFolders& folders) {
    items.windows_dir = get_windows_dir(folders);
    reset_table(items);
    const std::string info_path = theme_file_path(base_path, ".icf");
    if (!file_present(info_path)) return false;
    std::ifstream file(info_path, std::ios::binary);
    if (!file) return false;
    InfoFieldReader reader(*file.rdbuf());

    std::string text;
    int32_t count = 0;
    if (!reader.read_text(text) || !reader.read_text(text) || !reader.read_text(text)) return false;
    double music = numeric_value(text);
    if (!reader.read_whole(count) || count < 0 || count > kMaxThemeItems) return false;

    // The count is only a claim: the records are read one by one and the lists grow with
    // what is really there, so "2147483647 items" in a tiny file costs nothing.
    std::vector<std::string> names(1);
    std::vector<int32_t> sizes(1, 0);
    for (int32_t k = 1; k <= count; ++k) {
        std::string name;
        int32_t size = 0;
        if (!reader.read_text(name) || !reader.read_whole(size)) return false;
        names.push_back(std::move(name));
        sizes.push_back(size);
    }

    items.item_names = std::move(names);
    items.item_sizes = std::move(sizes);
    items.item_count = count;
    // Track numbers are drawn from this count as whole numbers; keep it where they can be.
    if (music < 0) music = 0;
    if (music > std::numeric_limits<int32_t>::max()) music = std::numeric_limits<int32_t>::max();
    items.music_count = music;
    return true;
}

std::string temp_item_name(const std::string& extension) {
    return own_prefix() + extension;
}

std::string temp_item_extension(const std::string& item_name) {
    std::string ext = item_name.size() > 3 ? item_name.substr(item_name.size() - 3) : item_name;
    for (char& c : ext)
        if (c == '.' || unsafe_name_char(c)) c = '_';
    return ext;
}

int64_t theme_item_offset(const ThemeItems& items, int32_t k) {
    if (k < 1 || k > items.item_count) return -1;
    if (static_cast<size_t>(k) >= items.item_sizes.size()) return -1;
    int64_t offset = 0;
    for (int32_t j = 1; j < k; ++j) {
        if (items.item_sizes[j] < 0) return -1;
        offset += items.item_sizes[j];
    }
    if (items.item_sizes[k] < 0) return -1;
    if (offset + items.item_sizes[k] > kMaxThemeBytes) return -1;
    return offset;
}

std::vector<int32_t> extraction_chunks(int32_t length) {
    std::vector<int32_t> chunks;
    int32_t chunk = length < kChunkBytes ? length : kChunkBytes;
    int64_t copied = 0;
    while (copied < length) {
        chunks.push_back(chunk);
        copied += chunk;
        if (copied < length && copied + chunk > length)
            chunk = static_cast<int32_t>(length - copied);
    }
    return chunks;
}

std::string extract_theme_item(const ThemeItems& items, const std::string& base_path, int32_t k) {
    const std::string failed = "False";
    const int64_t offset = theme_item_offset(items, k);
    if (offset < 0 || static_cast<size_t>(k) >= items.item_names.size()) return failed;
    if (items.windows_dir.empty()) return failed;
    const int32_t length = items.item_sizes[k];
    const std::string target =
        items.windows_dir + temp_item_name(temp_item_extension(items.item_names[k]));
    // Whatever happens next, no earlier item is left under this name to be mistaken for it.
    std::error_code error;
    if (file_present(target)) std::filesystem::remove(target, error);

    const std::string container_path = theme_file_path(base_path, ".img");
    if (!std::filesystem::is_regular_file(container_path, error)) return failed;
    std::ifstream container(container_path, std::ios::binary);
    if (!container) return failed;
    // A container shorter than the information file claims would otherwise give a file
    // padded or cut short without any sign of it.
    container.seekg(0, std::ios::end);
    const std::streamoff container_size = container.tellg();
    if (container_size < 0 || offset + length > container_size) return failed;
    container.seekg(offset, std::ios::beg);
    if (!container) return failed;

    std::string staging;
    std::FILE* out = open_staging_file(items.windows_dir, staging);
    if (out == nullptr) return failed;
    bool ok = copy_item(container, out, length);
    ok = (std::fclose(out) == 0) && ok;
    if (ok) {
        std::filesystem::rename(staging, target, error);
        ok = !error;
    }
    if (!ok) {
        std::filesystem::remove(staging, error);
        return failed;
    }
    return target;
}

void remove_temp_items(const ThemeItems& items) {
    if (items.windows_dir.empty()) return;
    std::error_code error;
    std::vector<std::filesystem::path> doomed;
    for (std::filesystem::directory_iterator it(items.windows_dir, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(own_prefix(), 0) != 0) continue;
        if (std::filesystem::is_directory(it->symlink_status(error))) continue;
        doomed.push_back(it->path());
    }
    for (const auto& path : doomed) std::filesystem::remove(path, error);
}

}  // namespace vistaloom
