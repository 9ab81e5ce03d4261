#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vistaloom {

// The configuration window's theme list, without the window: what it lists, which entry it
// selects, and whether a removal may go ahead. The window only shows what these decide.

struct ConfigThemeList {
    std::vector<std::string> names;  // in the order the folder lists them
    int32_t selected = -1;           // index into names; -1 when the list is empty
};

// Lists the themes of `install_path` (as the saver lists them, so every theme shown here is
// one the saver can choose) and selects the active one: the last entry spelt exactly like
// `active_module`. Without one, the first entry becomes the active theme; without any theme,
// `active_module` becomes empty.
ConfigThemeList get_modules(const std::string& install_path, std::string& active_module);

// What the Remove button may do for the theme named `name` in `list`.
enum class RemovalCheck {
    OnlyTheme,  // refused: at least one theme must stay
    NoTheme,    // no theme named: nothing happens
    Ask,        // ask the user, then remove
};
RemovalCheck check_removal(const ConfigThemeList& list, const std::string& name);

// How a removal touches the file system; tests replace it to make a step fail.
struct ThemeFileOps {
    std::function<bool(const std::string& from, const std::string& to)> rename;
    std::function<bool(const std::string& path)> exists;
    std::function<void(const std::string& path)> remove;  // best effort
};
ThemeFileOps real_theme_file_ops();

// Removes the theme's two files, or neither: both are first moved aside under hidden names
// (which no listing shows), and only when both moves worked are they deleted; a failed move
// puts the first one back. A theme whose container is already missing is removed by its
// information file alone. False when the theme is still there afterwards.
bool remove_theme_files(const std::string& install_path, const std::string& name,
                        const ThemeFileOps& ops = real_theme_file_ops());

// "Version: 1.2.3" as the about window shows it.
std::string version_label(int major, int minor, int revision);

}  // namespace vistaloom
