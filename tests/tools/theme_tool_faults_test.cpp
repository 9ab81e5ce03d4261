// The theme tool where a user's mistake or an interruption could cost data: it must say
// when nothing was written, never write over the theme it reads, and leave no temporary
// file behind when it is stopped.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "theme_files/theme_test_folder.h"
#include "support/test_paths.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

class ThemeToolFaults : public ::testing::Test {
  protected:
    ThemeTestFolder folder;
    fs::path err_path = folder.root() / "stderr";

    // Starts the tool with its private folder inside the test's folder; stderr goes to a file.
    pid_t start(const std::vector<std::string>& args) {
        std::vector<std::string> words = {vistaloom::testing::theme_tool()};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        std::string runtime = "XDG_RUNTIME_DIR=" + (folder.root() / "xdg-runtime").string();
        std::vector<char*> env = {runtime.data()};
        for (char** e = environ; *e; ++e)
            if (std::string(*e).rfind("XDG_RUNTIME_DIR=", 0) != 0) env.push_back(*e);
        env.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        pid_t pid = -1;
        EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), env.data()), 0);
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }
    static int wait_for(pid_t pid) {
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    int run(const std::vector<std::string>& args) { return wait_for(start(args)); }
    std::string err() const { return ThemeTestFolder::read(err_path); }

    std::string small_theme() {
        const std::string base = folder.theme("Small");
        ThemeTestFolder::write(base + ".icf", "a,b,0,2\ns.jpg,5\nt.mid,4\n");
        ThemeTestFolder::write(base + ".img", "SAMPLTUNE");
        return base;
    }
    // Files whose name holds ".part": what an interrupted or failed copy would leave.
    int staging_files_in(const fs::path& dir) {
        int n = 0;
        for (auto& entry : fs::recursive_directory_iterator(dir))
            if (entry.path().filename().string().find(".part") != std::string::npos) ++n;
        return n;
    }
};

TEST_F(ThemeToolFaults, ExtractIntoAFolderFailsLoudly) {
    const std::string base = small_theme();
    const fs::path target = folder.root() / "out";
    fs::create_directory(target);
    EXPECT_EQ(run({"extract", base, "1", target.string()}), 1);
    EXPECT_NE(err().find(target.string()), std::string::npos) << err();
    EXPECT_TRUE(fs::is_empty(target));
    EXPECT_EQ(staging_files_in(folder.root()), 0);
}

TEST_F(ThemeToolFaults, ExtractNeverOverwritesTheThemeOrAFileOfTheUser) {
    const std::string base = small_theme();
    for (const std::string& own : {base + ".img", base + ".icf"}) {
        EXPECT_EQ(run({"extract", base, "1", own}), 1) << own;
        EXPECT_NE(err().find("theme's own file"), std::string::npos) << err();
    }
    fs::create_symlink(base + ".img", folder.root() / "link.img");
    EXPECT_EQ(run({"extract", base, "1", (folder.root() / "link.img").string()}), 1);
    EXPECT_EQ(ThemeTestFolder::read(base + ".img"), "SAMPLTUNE");

    const fs::path target = folder.root() / "tune.mid";
    ThemeTestFolder::write(target.string() + ".part", "the user's own file");
    EXPECT_EQ(run({"extract", base, "2", target.string()}), 0) << err();
    EXPECT_EQ(ThemeTestFolder::read(target), "TUNE");
    EXPECT_EQ(ThemeTestFolder::read(target.string() + ".part"), "the user's own file");
}

// A copy of a large item or a large pack takes seconds; a SIGTERM or Ctrl-C in that time
// must not leave its half-written file next to the user's.
TEST_F(ThemeToolFaults, InterruptedPackOrExtractLeavesNoStagingFile) {
    const fs::path big = folder.root() / "big.wav";
    ThemeTestFolder::write(big, "");
    fs::resize_file(big, uint64_t{1500} << 20);  // sparse
    const fs::path sample = folder.root() / "s.jpg", sheet = folder.root() / "t.jpg";
    ThemeTestFolder::write(sample, "sample");
    ThemeTestFolder::write(sheet, "sheet");
    const std::string base = folder.theme("Big");

    auto interrupt_when_staging_appears = [&](pid_t pid, int signal_number) {
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (staging_files_in(folder.root()) == 0 && std::chrono::steady_clock::now() < give_up)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        kill(pid, signal_number);
        return wait_for(pid);
    };
    pid_t pack =
        start({"pack", base, "--sample", sample.string(), "--sheet", sheet.string(), big.string()});
    EXPECT_EQ(interrupt_when_staging_appears(pack, SIGTERM), 128 + SIGTERM);
    EXPECT_EQ(staging_files_in(folder.root()), 0);
    EXPECT_FALSE(fs::exists(base + ".img"));

    ASSERT_EQ(
        run({"pack", base, "--sample", sample.string(), "--sheet", sheet.string(), big.string()}),
        0)
        << err();
    pid_t extract = start({"extract", base, "3", (folder.root() / "copy.wav").string()});
    EXPECT_EQ(interrupt_when_staging_appears(extract, SIGINT), 128 + SIGINT);
    EXPECT_EQ(staging_files_in(folder.root()), 0);
    EXPECT_FALSE(fs::exists(folder.root() / "copy.wav"));

    // Unpack stages beside its targets only, and every terminating signal cleans up.
    const fs::path out = folder.root() / "unpacked";
    for (int signal_number : {SIGTERM, SIGHUP, SIGPIPE, SIGQUIT}) {
        pid_t unpack = start({"unpack", base, out.string(), "--force"});
        EXPECT_EQ(interrupt_when_staging_appears(unpack, signal_number), 128 + signal_number);
        EXPECT_EQ(staging_files_in(folder.root()), 0) << strsignal(signal_number);
        EXPECT_FALSE(fs::exists(out / "big.wav"));
        EXPECT_FALSE(fs::exists(folder.root() / "xdg-runtime" / "vistaloom"));
    }
}

// The theme being read is never a target, --force or not; a missing target folder is made;
// and the runtime folder is not where the items go (nor left behind, empty, by any command).
TEST_F(ThemeToolFaults, UnpackKeepsTheThemeAndMakesItsFolder) {
    const std::string base = folder.theme("Self");
    ThemeTestFolder::write(base + ".icf", "a,b,0,2\ns.jpg,5\nSelf.img,4\n");
    ThemeTestFolder::write(base + ".img", "SAMPLTUNE");
    EXPECT_EQ(run({"unpack", base, (folder.root() / "themes").string(), "--force"}), 1);
    EXPECT_NE(err().find("theme's own file"), std::string::npos) << err();
    EXPECT_EQ(ThemeTestFolder::read(base + ".img"), "SAMPLTUNE");

    const fs::path fresh = folder.root() / "a" / "b";
    EXPECT_EQ(run({"unpack", base, fresh.string()}), 0) << err();
    EXPECT_EQ(ThemeTestFolder::read(fresh / "Self.img"), "TUNE");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"info", base},
          {"verify", base},
          {"extract", base, "1", (folder.root() / "x.jpg").string()}})
        run(args);
    EXPECT_FALSE(fs::exists(folder.root() / "xdg-runtime")) << "an empty runtime folder was left";
}

}  // namespace
