#include "platform/system/temp_items_at_exit.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ground/process_token.h"
#include "ground/user_folders.h"
#include "theme_files/theme_files.h"

namespace vistaloom {

namespace {

std::string& folder_at_exit() {
    static std::string folder;
    return folder;
}

void remove_at_exit() {
    ThemeItems items;
    items.windows_dir = folder_at_exit();
    remove_temp_items(items);
    // The private folder goes too once empty (it lives in the user's runtime memory); a
    // saver still running elsewhere keeps its files, and with them the folder.
    if (!items.windows_dir.empty()) std::remove(items.windows_dir.c_str());
}

}  // namespace

void remove_temp_items_at_exit(UserFolders& folders) {
    static bool armed = false;
    if (armed) return;
    armed = true;
    // Both statics the handler reads are made before it is registered, so they are destroyed
    // only after it has run.
    folder_at_exit() = folders.private_temp_folder();
    process_token();
    std::atexit(remove_at_exit);
}

}  // namespace vistaloom
