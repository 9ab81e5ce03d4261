#pragma once
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

// A throw-away folder for theme tests with XDG_RUNTIME_DIR pointed inside it, so the
// private temporary folder never lands among the user's real files. The previous
// environment comes back when the test ends.
class ThemeTestFolder {
  public:
    ThemeTestFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vistaloom-test-XXXXXX").string();
        root_ = ::mkdtemp(pattern.data());
        std::filesystem::create_directories(root_ / "runtime");
        std::filesystem::create_directories(root_ / "themes");
        save("XDG_RUNTIME_DIR", runtime_saved_);
        save("XDG_CACHE_HOME", cache_saved_);
        ::setenv("XDG_RUNTIME_DIR", (root_ / "runtime").c_str(), 1);
    }
    ~ThemeTestFolder() {
        restore("XDG_RUNTIME_DIR", runtime_saved_);
        restore("XDG_CACHE_HOME", cache_saved_);
        std::error_code ignored;
        // Tests may leave a read-only folder behind; open it up so it can go.
        std::filesystem::permissions(root_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(root_, ignored);
    }
    ThemeTestFolder(const ThemeTestFolder&) = delete;
    ThemeTestFolder& operator=(const ThemeTestFolder&) = delete;

    std::filesystem::path root() const { return root_; }
    std::filesystem::path private_dir() const { return root_ / "runtime" / "vistaloom"; }
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
    static void save(const char* name, std::optional<std::string>& slot) {
        if (const char* value = std::getenv(name)) slot = value;
    }
    static void restore(const char* name, const std::optional<std::string>& slot) {
        if (slot)
            ::setenv(name, slot->c_str(), 1);
        else
            ::unsetenv(name);
    }

    std::filesystem::path root_;
    std::optional<std::string> runtime_saved_;
    std::optional<std::string> cache_saved_;
};
