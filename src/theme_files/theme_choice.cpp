#include "theme_files/theme_choice.h"

#include <cctype>
#include <filesystem>
#include <system_error>

namespace vistaloom {

namespace {

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// Folders, devices and hidden files (a leading dot on this system) are not normal files.
bool is_normal_file(const std::filesystem::directory_entry& entry, const std::string& name) {
    std::error_code ec;
    if (!entry.is_regular_file(ec) || ec) return false;
    return !name.empty() && name.front() != '.';
}

}  // namespace

bool same_theme_name(const std::string& a, const std::string& b) {
    return upper(a) == upper(b);
}

ThemeListing list_themes(const std::string& install_path, const std::string& active_module) {
    ThemeListing listing;
    // No install folder is not the current folder: that would pick up whatever lies there.
    if (install_path.empty()) return listing;
    std::error_code ec;
    std::filesystem::directory_iterator it(install_path, ec);
    if (ec) return listing;
    for (const std::filesystem::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) break;
        const std::string name = it->path().filename().string();
        // A name of three characters or fewer cannot lose four; it names no theme.
        if (name.size() > 3 && is_normal_file(*it, name) &&
            upper(name.substr(name.size() - 3)) == "ICF") {
            listing.names.push_back(name.substr(0, name.size() - 4));
            if (!listing.active_found && same_theme_name(listing.names.back(), active_module)) {
                listing.active_found = true;
                listing.active_name = listing.names.back();
            }
            if (static_cast<int32_t>(listing.names.size()) >= kMaxListedThemes) break;
        }
    }
    return listing;
}

}  // namespace vistaloom
