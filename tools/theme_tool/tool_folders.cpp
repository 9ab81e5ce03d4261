#include "tool_folders.h"

#include <unistd.h>

#include <filesystem>

#include "platform/system/xdg_user_folders.h"
#include "staging_cleanup.h"

namespace vistaloom {

std::string ToolFolders::private_temp_folder() {
    if (asked_) return folders_.private_temp_folder();
    asked_ = true;
    std::error_code error;
    for (std::filesystem::path path = folders_.private_folder_path();
         !path.empty() && path != path.root_path() &&
         !std::filesystem::exists(std::filesystem::symlink_status(path, error));
         path = path.parent_path())
        made_.push_back(path.string());
    const std::string folder = folders_.private_temp_folder();
    if (folder.empty()) made_.clear();  // not made, so nothing of ours to remove
    // A signal that ends the tool takes them too.
    for (const auto& path : made_) remove_on_interrupt(path);
    return folder;
}

std::string ToolFolders::data_folder() {
    return folders_.data_folder();
}

void ToolFolders::remove_made_folders() {
    for (const auto& folder : made_) keep_on_interrupt(folder);
    // rmdir removes only an empty folder, so whatever another program keeps there stays.
    for (const auto& folder : made_)
        if (::rmdir(folder.c_str()) != 0) break;
    made_.clear();
}

}  // namespace vistaloom
