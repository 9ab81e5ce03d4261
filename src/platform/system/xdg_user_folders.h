#pragma once
#include <functional>
#include <string>

#include "ground/user_folders.h"

namespace vistaloom {

// The user's folders as the XDG base-directory rules place them. Other users share the
// machine's temporary folders, so the items of a theme never go anywhere another user could
// read, replace or redirect them.
class XdgUserFolders : public UserFolders {
  public:
    // Looks up an environment variable; null when unset. Tests pass their own.
    using Lookup = std::function<const char*(const char*)>;
    XdgUserFolders();
    explicit XdgUserFolders(Lookup lookup) : lookup_(std::move(lookup)) {}

    // $XDG_RUNTIME_DIR/vistaloom when XDG_RUNTIME_DIR is set, else $XDG_CACHE_HOME/vistaloom/tmp
    // (default ~/.cache/vistaloom/tmp), made private.
    std::string private_temp_folder() override;
    // $XDG_DATA_HOME/vistaloom (default ~/.local/share/vistaloom), created.
    std::string data_folder() override;
    // $XDG_CACHE_HOME/vistaloom (default ~/.cache/vistaloom), created.
    std::string cache_folder() override;

    // Where the private folder belongs, without a trailing separator; relative or empty
    // variables are ignored, as the XDG rules ask. Empty when no home folder can be found.
    std::string private_folder_path() const;

  private:
    std::string absolute(const char* name) const;
    std::string home() const;
    Lookup lookup_;
};

// Makes sure `path` is a folder of ours that nobody else can enter: created with mode 0700
// when missing (parents as needed), refused when it is a symbolic link or belongs to
// another user, its permissions narrowed to 0700 when it is ours but wider. Returns false
// when the folder cannot be made safe.
bool make_private_folder(const std::string& path);

}  // namespace vistaloom
