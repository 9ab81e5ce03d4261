#include "saver/theme_configuration.h"

#include <filesystem>
#include <system_error>

#include "ground/process_token.h"
#include "theme_files/theme_choice.h"
#include "theme_files/theme_files.h"

namespace vistaloom {

ConfigThemeList get_modules(const std::string& install_path, std::string& active_module) {
    ConfigThemeList list;
    list.names = list_themes(install_path, active_module).names;
    for (;;) {
        // Exact spelling here, unlike the saver's own choice: two themes whose names differ
        // only in letter case are two entries, and the one the user picked must stay picked.
        for (size_t i = 0; i < list.names.size(); ++i) {
            if (list.names[i] == active_module) list.selected = static_cast<int32_t>(i);
        }
        if (list.selected >= 0) return list;
        if (list.names.empty()) {
            active_module.clear();
            return list;
        }
        active_module = list.names.front();
    }
}

RemovalCheck check_removal(const ConfigThemeList& list, const std::string& name) {
    if (list.names.size() == 1) return RemovalCheck::OnlyTheme;
    if (name.empty()) return RemovalCheck::NoTheme;
    return RemovalCheck::Ask;
}

ThemeFileOps real_theme_file_ops() {
    ThemeFileOps ops;
    ops.rename = [](const std::string& from, const std::string& to) {
        std::error_code error;
        std::filesystem::rename(from, to, error);
        return !error;
    };
    ops.exists = [](const std::string& path) {
        std::error_code error;
        return std::filesystem::exists(std::filesystem::symlink_status(path, error));
    };
    ops.remove = [](const std::string& path) {
        std::error_code error;
        std::filesystem::remove(path, error);
    };
    return ops;
}

bool remove_theme_files(const std::string& install_path, const std::string& name,
                        const ThemeFileOps& ops) {
    if (name.empty()) return false;
    const std::string base = install_path + name;
    const std::string icf = theme_file_path(base, ".icf");
    const std::string img = theme_file_path(base, ".img");
    // Hidden names in the same folder: a rename there cannot half-happen, and the listing
    // skips names that start with a dot. The theme's name stays out of them, so a name near
    // the file system's length limit cannot make the move fail.
    const std::string aside = install_path + ".vistaloom-removing-" + process_token();
    const std::string icf_aside = aside + ".icf";
    const std::string img_aside = aside + ".img";

    if (!ops.rename(icf, icf_aside)) return false;
    const bool has_img = ops.exists(img);
    if (has_img && !ops.rename(img, img_aside)) {
        ops.rename(icf_aside, icf);
        return false;
    }
    ops.remove(icf_aside);
    if (has_img) ops.remove(img_aside);
    return true;
}

std::string version_label(int major, int minor, int revision) {
    return "Version: " + std::to_string(major) + "." + std::to_string(minor) + "." +
           std::to_string(revision);
}

}  // namespace vistaloom
