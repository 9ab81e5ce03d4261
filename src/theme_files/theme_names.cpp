#include "theme_files/theme_names.h"

#include <filesystem>

#include "theme_files/theme_files.h"
#include "theme_files/theme_limits.h"

namespace vistaloom {

bool unsafe_name_char(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F || c == '/' || c == '\\' || c == ':' || c == '*' ||
           c == '?' || c == '"' || c == '<' || c == '>' || c == '|';
}

std::string theme_name_problem(const std::string& name) {
    if (name.empty()) return "a theme needs a name";
    if (name.size() > kMaxThemeNameBytes)
        return "the name is longer than " + std::to_string(kMaxThemeNameBytes) + " bytes";
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
    // Names the packer would refuse can still come from a theme made elsewhere.
    if (name.size() > kMaxItemNameBytes) {
        // Cut before a character, not inside one, where the name is UTF-8.
        size_t cut = kMaxItemNameBytes - 4;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
        name = name.substr(0, cut) + name.substr(name.size() - 4);
    }
    for (char& c : name)
        if (unsafe_name_char(c)) c = '_';
    if (name.empty()) return "item";
    if (name.front() == '.') name.front() = '_';
    for (size_t i = name.size(); i > 0 && (name[i - 1] == '.' || name[i - 1] == ' '); --i)
        name[i - 1] = '_';
    return name;
}

}  // namespace vistaloom
