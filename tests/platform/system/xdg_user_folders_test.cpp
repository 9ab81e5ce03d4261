#include "platform/system/xdg_user_folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>

#include "support/temp_folder.h"

namespace vistaloom {
namespace {

namespace fs = std::filesystem;

// The environment the folders see, without touching the process's own.
struct Environment {
    std::map<std::string, std::string> values;
    XdgUserFolders::Lookup lookup() {
        return [this](const char* name) -> const char* {
            auto it = values.find(name);
            return it == values.end() ? nullptr : it->second.c_str();
        };
    }
};

struct XdgFolders : ::testing::Test {
    testing::TempFolder root;
    Environment env;
    XdgUserFolders folders{env.lookup()};
    fs::path runtime_private() const { return root.path() / "run" / "vistaloom"; }
    void SetUp() override { env.values["XDG_RUNTIME_DIR"] = (root.path() / "run").string(); }
};

TEST_F(XdgFolders, PrivateFolderIsCreatedOwnerOnlyAndNarrowedWhenWider) {
    const std::string dir = folders.private_temp_folder();
    EXPECT_EQ(dir, runtime_private().string() + "/");
    struct stat info {};
    ASSERT_EQ(::lstat(runtime_private().c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 07777, 0700u);

    ::chmod(runtime_private().c_str(), 0755);
    EXPECT_EQ(folders.private_temp_folder(), dir);
    ASSERT_EQ(::lstat(runtime_private().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u);
}

TEST_F(XdgFolders, PlantedLinkIsRefused) {
    fs::create_directories(root.path() / "run");
    fs::create_directories(root.path() / "elsewhere");
    fs::create_directory_symlink(root.path() / "elsewhere", runtime_private());
    EXPECT_EQ(folders.private_temp_folder(), "");
    EXPECT_TRUE(fs::is_empty(root.path() / "elsewhere"));
}

TEST_F(XdgFolders, FolderOfAnotherUserIsRefused) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give the folder away";
    ASSERT_NE(folders.private_temp_folder(), "");
    ASSERT_EQ(::chown(runtime_private().c_str(), 65534, 65534), 0);
    EXPECT_EQ(folders.private_temp_folder(), "");
}

TEST_F(XdgFolders, CacheFolderServesWhenThereIsNoUsableRuntimeFolder) {
    env.values.erase("XDG_RUNTIME_DIR");
    env.values["XDG_CACHE_HOME"] = (root.path() / "cache").string();
    const fs::path tmp = root.path() / "cache" / "vistaloom" / "tmp";
    EXPECT_EQ(folders.private_temp_folder(), tmp.string() + "/");
    struct stat info {};
    ASSERT_EQ(::lstat(tmp.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u);
    // A relative runtime folder is not a runtime folder.
    env.values["XDG_RUNTIME_DIR"] = "relative/run";
    EXPECT_EQ(folders.private_folder_path(), tmp.string());
    // Without a cache folder the home folder's .cache serves.
    env.values.erase("XDG_CACHE_HOME");
    env.values["HOME"] = (root.path() / "home").string();
    EXPECT_EQ(folders.private_folder_path(), (root.path() / "home/.cache/vistaloom/tmp").string());
}

TEST_F(XdgFolders, DataFolderFollowsXdgDataHomeElseHome) {
    env.values["XDG_DATA_HOME"] = (root.path() / "data").string();
    EXPECT_EQ(folders.data_folder(), (root.path() / "data" / "vistaloom").string() + "/");
    EXPECT_TRUE(fs::is_directory(root.path() / "data" / "vistaloom"));
    env.values["XDG_DATA_HOME"] = "relative";
    env.values["HOME"] = (root.path() / "home").string();
    EXPECT_EQ(folders.data_folder(), (root.path() / "home/.local/share/vistaloom").string() + "/");
}

TEST_F(XdgFolders, CacheFolderFollowsXdgCacheHomeElseHome) {
    env.values["XDG_CACHE_HOME"] = (root.path() / "cache").string();
    EXPECT_EQ(folders.cache_folder(), (root.path() / "cache" / "vistaloom").string() + "/");
    EXPECT_TRUE(fs::is_directory(root.path() / "cache" / "vistaloom"));
    env.values.erase("XDG_CACHE_HOME");
    env.values["HOME"] = (root.path() / "home").string();
    EXPECT_EQ(folders.cache_folder(), (root.path() / "home/.cache/vistaloom").string() + "/");
}

}  // namespace
}  // namespace vistaloom
