#include "platform/system/xdg_user_folders.h"

#include <cstdlib>
#include <filesystem>

#ifndef _WIN32
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace vistaloom {

namespace {

#ifndef _WIN32
constexpr char kSeparator = '/';
#else
constexpr char kSeparator = '\\';
#endif

std::string with_separator(std::string folder) {
    if (!folder.empty() && folder.back() != kSeparator) folder.push_back(kSeparator);
    return folder;
}

}  // namespace

XdgUserFolders::XdgUserFolders() : lookup_([](const char* name) { return std::getenv(name); }) {}

// An XDG variable counts only when it holds an absolute path.
std::string XdgUserFolders::absolute(const char* name) const {
    const char* value = lookup_(name);
    if (value == nullptr) return {};
    std::string text(value);
    if (text.empty() || !std::filesystem::path(text).is_absolute()) return {};
    while (text.size() > 1 && (text.back() == '/' || text.back() == '\\')) text.pop_back();
    return text;
}

std::string XdgUserFolders::home() const {
    std::string home = absolute("HOME");
#ifndef _WIN32
    if (home.empty()) {
        const passwd* entry = getpwuid(getuid());
        if (entry == nullptr || entry->pw_dir == nullptr || entry->pw_dir[0] != '/') return {};
        home = entry->pw_dir;
    }
#endif
    return home;
}

#ifndef _WIN32

std::string XdgUserFolders::private_folder_path() const {
    std::string runtime = absolute("XDG_RUNTIME_DIR");
    if (!runtime.empty()) return (runtime == "/" ? "" : runtime) + "/vistaloom";
    std::string cache = absolute("XDG_CACHE_HOME");
    if (cache.empty()) {
        const std::string user_home = home();
        if (user_home.empty()) return {};
        cache = (user_home == "/" ? "" : user_home) + "/.cache";
    }
    if (cache == "/") cache.clear();
    return cache + "/vistaloom/tmp";
}

bool make_private_folder(const std::string& path) {
    if (path.empty() || path.front() != '/') return false;
    // Parents are the user's own cache or runtime folders; make the missing ones private too.
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        std::string parent = path.substr(0, slash);
        if (::mkdir(parent.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;

    // Look at what is there through a descriptor that refuses a planted link, so the checks
    // and the permission fix apply to the very folder that was examined.
    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid();
    if (ok && (info.st_mode & 07777) != 0700) ok = ::fchmod(fd, 0700) == 0;
    ::close(fd);
    return ok;
}

#else

std::string XdgUserFolders::private_folder_path() const {
    std::error_code error;
    std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    if (error) return {};
    return (temp / "vistaloom").string();
}

bool make_private_folder(const std::string& path) {
    // %TEMP% is already per user on Windows.
    if (path.empty()) return false;
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return std::filesystem::is_directory(path, error);
}

#endif

std::string XdgUserFolders::private_temp_folder() {
    const std::string folder = private_folder_path();
    if (folder.empty() || !make_private_folder(folder)) return {};
    return with_separator(folder);
}

namespace {

// $`variable`/vistaloom, or ~/`fallback`/vistaloom, created; empty when neither can be had.
std::string our_folder_in(const std::string& base_from_variable, const std::string& user_home,
                          const char* fallback) {
    std::filesystem::path base;
    if (!base_from_variable.empty()) {
        base = base_from_variable;
    } else {
        if (user_home.empty()) return {};
        base = std::filesystem::path(user_home) / fallback;
    }
    const std::filesystem::path folder = base / "vistaloom";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder, error)) return {};
    return with_separator(folder.string());
}

}  // namespace

std::string XdgUserFolders::data_folder() {
    return our_folder_in(absolute("XDG_DATA_HOME"), home(), ".local/share");
}

std::string XdgUserFolders::cache_folder() {
    return our_folder_in(absolute("XDG_CACHE_HOME"), home(), ".cache");
}

}  // namespace vistaloom
