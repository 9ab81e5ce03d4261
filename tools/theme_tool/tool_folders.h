#pragma once
#include <string>
#include <vector>

#include "ground/user_folders.h"

namespace vistaloom {

class XdgUserFolders;

// The user's folders as the tool sees them. Reading a theme makes the private folder, as it
// does for the saver, but the tool copies nothing through it any more: what a run made
// there and left empty goes again at the end instead of piling up in the runtime folder.
class ToolFolders : public UserFolders {
  public:
    explicit ToolFolders(XdgUserFolders& folders) : folders_(folders) {}

    std::string private_temp_folder() override;
    std::string data_folder() override;
    // Making a theme keeps nothing to cache, so it makes no cache folder either.
    std::string cache_folder() override { return {}; }

    // Removes the folders this run made, deepest first, as long as they are empty; a saver
    // that put its files into one meanwhile keeps it.
    void remove_made_folders();

  private:
    XdgUserFolders& folders_;
    bool asked_ = false;
    std::vector<std::string> made_;  // deepest first
};

}  // namespace vistaloom
