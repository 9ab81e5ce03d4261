#pragma once
#include <filesystem>
#include <string>

#include "ground/user_folders.h"

namespace vistaloom::testing {

// The user's folders inside a test's own folder: `root`/private for temporary items (made
// owner-only, as the real one is) and `root`/vistaloom for kept files.
class TempUserFolders : public UserFolders {
  public:
    explicit TempUserFolders(std::filesystem::path root) : root_(std::move(root)) {}

    int private_requests = 0;
    bool refuse_private = false;  // as when the private folder cannot be made safe

    std::string private_temp_folder() override {
        ++private_requests;
        if (refuse_private) return {};
        const std::filesystem::path folder = private_dir();
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::replace, error);
        return folder.string() + "/";
    }
    std::string data_folder() override {
        const std::filesystem::path folder = root_ / "vistaloom";
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        return folder.string() + "/";
    }
    std::string cache_folder() override {
        const std::filesystem::path folder = root_ / "cache";
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        return folder.string() + "/";
    }
    std::filesystem::path private_dir() const { return root_ / "private"; }

  private:
    std::filesystem::path root_;
};

}  // namespace vistaloom::testing
