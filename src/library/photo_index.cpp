#include "library/photo_index.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unordered_set>
#include <vector>

#include "ground/file_replace.h"

namespace vistaloom {

namespace {

constexpr std::string_view kMagic = "vistaloom photo index 1\n";
// No path the system can open is longer; anything more is damage.
constexpr uint64_t kMaxPathBytes = 4096;
// Far above any library, far below what would exhaust memory while reading a damaged file.
constexpr uint64_t kMaxIndexBytes = uint64_t{512} * 1024 * 1024;
// Length, size and time: the bytes every photo takes besides its path.
constexpr uint64_t kEntryFixedBytes = 4 + 8 + 8;

uint64_t fnv1a(std::string_view bytes) {
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

void put(std::string& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

// Reads from the front of the index; every read fails once the bytes run out.
class Reader {
  public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    bool take(uint64_t& value, int bytes) {
        if (left() < static_cast<size_t>(bytes)) return false;
        value = 0;
        for (int i = 0; i < bytes; ++i)
            value |= uint64_t{static_cast<unsigned char>(bytes_[at_ + i])} << (8 * i);
        at_ += bytes;
        return true;
    }
    bool take(std::string& text, uint64_t length) {
        if (left() < length) return false;
        text.assign(bytes_.substr(at_, length));
        at_ += length;
        return true;
    }
    size_t left() const { return bytes_.size() - at_; }

  private:
    std::string_view bytes_;
    size_t at_ = 0;
};

bool usable_path(const std::string& path) {
    return !path.empty() && path.find('\0') == std::string::npos;
}

}  // namespace

std::string photo_index_file_name(const std::string& folder) {
    char name[40];
    std::snprintf(name, sizeof name, "photos-%016llx.index",
                  static_cast<unsigned long long>(fnv1a(folder)));
    return name;
}

std::string encode_photo_index(const std::string& folder, const PhotoDeck& deck) {
    std::string out(kMagic);
    put(out, folder.size(), 4);
    out += folder;
    put(out, deck.size(), 8);
    put(out, deck.position(), 8);
    for (const PhotoFile& photo : deck.order()) {
        put(out, photo.path.size(), 4);
        out += photo.path;
        put(out, photo.size, 8);
        put(out, static_cast<uint64_t>(photo.modified_ns), 8);
    }
    put(out, fnv1a(out), 8);
    return out;
}

std::optional<PhotoDeck> decode_photo_index(std::string_view bytes, const std::string& folder) {
    if (bytes.size() < kMagic.size() + 8 || bytes.substr(0, kMagic.size()) != kMagic) return {};
    const std::string_view body = bytes.substr(0, bytes.size() - 8);
    Reader check(bytes.substr(body.size()));
    uint64_t sum = 0;
    if (!check.take(sum, 8) || sum != fnv1a(body)) return {};

    Reader in(body.substr(kMagic.size()));
    uint64_t folder_length = 0, count = 0, position = 0;
    std::string stored_folder;
    if (!in.take(folder_length, 4) || !in.take(stored_folder, folder_length) ||
        stored_folder != folder || !in.take(count, 8) || !in.take(position, 8))
        return {};
    // A count the remaining bytes cannot hold is damage, not a reason to reserve gigabytes.
    if (count > in.left() / kEntryFixedBytes || position > count) return {};
    std::vector<PhotoFile> order;
    order.reserve(count);
    std::unordered_set<std::string_view> seen;
    for (uint64_t i = 0; i < count; ++i) {
        PhotoFile photo;
        uint64_t length = 0, size = 0, modified = 0;
        if (!in.take(length, 4) || length > kMaxPathBytes || !in.take(photo.path, length) ||
            !in.take(size, 8) || !in.take(modified, 8) || !usable_path(photo.path))
            return {};
        photo.size = size;
        photo.modified_ns = static_cast<int64_t>(modified);
        order.push_back(std::move(photo));
    }
    if (in.left() != 0) return {};
    for (const PhotoFile& photo : order)
        if (!seen.insert(photo.path).second) return {};
    return PhotoDeck(std::move(order), position);
}

std::optional<PhotoDeck> load_photo_index(const std::string& path, const std::string& folder) {
    std::error_code error;
    // Only a regular file: a FIFO planted in the cache folder would hold the start for ever.
    if (!std::filesystem::is_regular_file(std::filesystem::path(path), error)) return {};
    const auto size = std::filesystem::file_size(std::filesystem::path(path), error);
    if (error || size > kMaxIndexBytes) return {};
    std::ifstream file(path, std::ios::binary);
    if (!file) return {};
    std::string bytes(size, '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(size));
    if (static_cast<uint64_t>(file.gcount()) != size) return {};
    return decode_photo_index(bytes, folder);
}

bool save_photo_index(const std::string& path, const std::string& folder, const PhotoDeck& deck) {
    const std::string bytes = encode_photo_index(folder, deck);
    return replace_file(path, bytes.data(), bytes.size());
}

}  // namespace vistaloom
