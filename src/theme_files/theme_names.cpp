#include "theme_files/theme_names.h"

#include <filesystem>

#include "theme_files/theme_files.h"

namespace vistaloom {

namespace {

// Two files of the theme (NAME.icf and a staging NAME.img.part-...) must fit in 255 bytes.
constexpr size_t kMaxThemeName = 200;
constexpr size_t kMaxItemName = 240;

}  // namespace

bool unsafe_name_char(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F || c == '/' || c == '\\' || c == ':' || c == '*' ||
           c == '?' || c == '"' || c == '<' || c == '>' || c == '|';
}

std::string theme_name_problem(const std::string& name) {
    if (name.empty()) return "a theme needs a name";
    if (name.size() > kMaxThemeName)
        return "the name is longer than " + std::to_string(kMaxThemeName) + " bytes";
    for (char c : name)
        if (unsafe_name_char(c))
            return "a theme name cannot hold control characters or any of / \\ : * ? \" < > |";
    if (name.front() == '.') return "a theme name cannot start with a dot";
    if (name.front() == ' ' || name.back() == ' ' || name.back() == '.')
        return "a theme name cannot start or end with a blank, or end with a dot";
    return {};
}

bool theme_exists(const std::string& base_path) {
    std::error_code error;
    return std::filesystem::exists(theme_file_path(base_path, ".icf"), error) ||
           std::filesystem::exists(theme_file_path(base_path, ".img"), error);
}

std::string safe_item_file_name(const std::string& stored_name) {
    std::string name = stored_name;
    if (name.size() > kMaxItemName)
        name = name.substr(0, kMaxItemName - 4) + name.substr(name.size() - 4);
    for (char& c : name)
        if (unsafe_name_char(c)) c = '_';
    if (name.empty()) return "item";
    if (name.front() == '.') name.front() = '_';
    for (size_t i = name.size(); i > 0 && (name[i - 1] == '.' || name[i - 1] == ' '); --i)
        name[i - 1] = '_';
    return name;
}

}  // namespace vistaloom
