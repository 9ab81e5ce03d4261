#include "theme_maker/picture_folder.h"

#include "theme_maker/picture_reading.h"

#include <QByteArray>
#include <QImageReader>
#include <QString>
#include <algorithm>
#include <filesystem>

namespace vistaloom {

namespace {

namespace fs = std::filesystem;

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

std::string lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string extension_of(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? std::string() : lower(name.substr(dot + 1));
}

bool is_music(const std::string& ext) {
    return ext == "mid" || ext == "midi" || ext == "rmi" || ext == "wav" || ext == "mp3";
}

// By the extension, or by the first bytes for pictures saved without one.
bool looks_like_picture(const std::string& path, const std::string& ext) {
    static const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    if (!ext.empty() && formats.contains(QByteArray::fromStdString(ext))) return true;
    return !picture_format(path).isEmpty();
}

// Compares the digit runs starting at a[i] and b[j]; moves i and j past them.
int compare_numbers(const std::string& a, size_t& i, const std::string& b, size_t& j) {
    while (i < a.size() && a[i] == '0' && i + 1 < a.size() && is_digit(a[i + 1])) ++i;
    while (j < b.size() && b[j] == '0' && j + 1 < b.size() && is_digit(b[j + 1])) ++j;
    size_t end_a = i, end_b = j;
    while (end_a < a.size() && is_digit(a[end_a])) ++end_a;
    while (end_b < b.size() && is_digit(b[end_b])) ++end_b;
    int order = 0;
    if (end_a - i != end_b - j)
        order = end_a - i < end_b - j ? -1 : 1;
    else
        order = a.compare(i, end_a - i, b, j, end_b - j);
    i = end_a;
    j = end_b;
    return order;
}

}  // namespace

bool name_order_less(const std::string& a, const std::string& b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (is_digit(a[i]) && is_digit(b[j])) {
            const int order = compare_numbers(a, i, b, j);
            if (order != 0) return order < 0;
            continue;
        }
        if (a[i] != b[j])
            return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
        ++i;
        ++j;
    }
    if ((i < a.size()) != (j < b.size())) return j < b.size();
    return a < b;
}

PictureFolder list_picture_folder(const std::string& folder) {
    PictureFolder result;
    std::error_code error;
    std::vector<fs::path> files;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name.front() == '.') continue;
        std::error_code kind_error;
        if (it->is_regular_file(kind_error)) files.push_back(it->path());
    }
    if (error) {
        result.error = "cannot list the folder " + folder + ": " + error.message();
        return result;
    }
    std::sort(files.begin(), files.end(), [](const fs::path& a, const fs::path& b) {
        return name_order_less(a.filename().string(), b.filename().string());
    });
    for (const auto& path : files) {
        const std::string ext = extension_of(path.filename().string());
        if (is_music(ext))
            result.music.push_back(path.string());
        else if (looks_like_picture(path.string(), ext))
            result.pictures.push_back(path.string());
        else
            result.ignored.push_back(path.filename().string());
    }
    return result;
}

std::vector<size_t> spread_pictures(size_t available, size_t places) {
    std::vector<size_t> chosen;
    if (available == 0) return chosen;
    for (size_t k = 0; k < places; ++k) {
        if (available <= places || places == 1) {
            chosen.push_back(k % available);
        } else {
            // Rounded to the nearest: the first and the last picture are always in.
            chosen.push_back((k * (available - 1) + (places - 1) / 2) / (places - 1));
        }
    }
    return chosen;
}

}  // namespace vistaloom
