#pragma once
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/temp_user_folders.h"

// A throw-away folder for theme tests: themes/ for the themes, and the user's folders
// (`user_folders`) inside it, so the private temporary folder never lands among the user's
// real files.
class ThemeTestFolder {
  public:
    ThemeTestFolder() : root_(make_root()), user_folders(root_ / "runtime") {
        std::filesystem::create_directories(root_ / "themes");
    }
    ~ThemeTestFolder() {
        std::error_code ignored;
        // Tests may leave a read-only folder behind; open it up so it can go.
        std::filesystem::permissions(root_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(root_, ignored);
    }
    ThemeTestFolder(const ThemeTestFolder&) = delete;
    ThemeTestFolder& operator=(const ThemeTestFolder&) = delete;

  private:
    std::filesystem::path root_;

  public:
    vistaloom::testing::TempUserFolders user_folders;

    std::filesystem::path root() const { return root_; }
    std::filesystem::path private_dir() const { return user_folders.private_dir(); }
    std::string theme(const std::string& name) const { return (root_ / "themes" / name).string(); }

    static void write(const std::filesystem::path& path, const std::string& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    static std::string read(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

  private:
    static std::filesystem::path make_root() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vistaloom-test-XXXXXX").string();
        return ::mkdtemp(pattern.data());
    }
};
