#pragma once
#include <string>

namespace vistaloom {

// The folders that belong to the user running us. The core never looks at environment
// variables itself: where these folders are is the platform's business, and tests hand in
// folders of their own.
class UserFolders {
  public:
    virtual ~UserFolders() = default;
    // The private folder that takes temporary item files, with a trailing separator,
    // created on first use and safe from other users (nobody else can enter it, and it is no
    // link someone planted). Empty when such a folder cannot be had.
    virtual std::string private_temp_folder() = 0;
    // Our folder among the user's data files (the wallpaper picture lives there), with a
    // trailing separator, created on first use. Empty when there is none.
    virtual std::string data_folder() = 0;
    // Our folder among the user's cache files (what can be made again, such as the photo
    // library's index), with a trailing separator, created on first use. Empty when there is
    // none.
    virtual std::string cache_folder() = 0;
};

}  // namespace vistaloom
