// What a run may be asked to produce: a window no larger than a screen, a screenshot in a
// folder that exists. Both are refused up front with a reason instead of costing gigabytes
// or ending silently without the file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <sstream>

#include "startup/command_line.h"
#include "startup/output_files.h"
#include "theme_files/theme_test_folder.h"

namespace vistaloom {
namespace {

TEST(OutputLimits, WindowSidesStopAtTheLargestScreen) {
    EXPECT_TRUE(parse_command_line({"--windowed", "16384x16384"}, nullptr).error.empty());
    for (const char* size : {"32767x32767", "16385x10", "10x16385"}) {
        const CommandLine cl = parse_command_line({"--windowed", size}, nullptr);
        EXPECT_NE(cl.error.find("16384"), std::string::npos) << size << ": " << cl.error;
    }
}

TEST(OutputLimits, ScreenshotNeedsAnExistingFolder) {
    ThemeTestFolder folder;
    const std::string here = (folder.root() / "shot.png").string();
    EXPECT_EQ(output_file_problem(here), "");
    EXPECT_EQ(output_file_problem("relative.png"), "");
    EXPECT_NE(output_file_problem((folder.root() / "missing" / "shot.png").string()), "");
    EXPECT_NE(output_file_problem(folder.root().string()), "");  // a folder, not a file
    ThemeTestFolder::write(folder.root() / "plain", "x");
    EXPECT_NE(output_file_problem((folder.root() / "plain" / "shot.png").string()), "");
    EXPECT_EQ(output_file_problem((folder.root() / "plain").string()), "");  // replaced
    // Opening a FIFO for writing waits for a reader: the saver would hang at its end.
    const std::string fifo = (folder.root() / "fifo.png").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_NE(output_file_problem(fifo).find("not a regular file"), std::string::npos);
    EXPECT_NE(output_file_problem("/dev/null"), "");

    std::ostringstream err;
    const CommandLine good = parse_command_line({"/S", "--screenshot", here}, nullptr);
    EXPECT_EQ(check_output_files(good, err), std::nullopt);
    const std::string missing = (folder.root() / "nowhere" / "x.png").string();
    const CommandLine bad = parse_command_line({"/S", "--screenshot", missing}, nullptr);
    EXPECT_EQ(check_output_files(bad, err), 2);
    EXPECT_NE(err.str().find("does not exist"), std::string::npos) << err.str();
}

}  // namespace
}  // namespace vistaloom
