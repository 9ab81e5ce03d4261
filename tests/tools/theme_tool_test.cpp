// Runs the real vistaloom-theme program and checks what a user sees: exit codes, output
// and the files it leaves.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "theme_files/theme_test_folder.h"

namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int code = -1;
    std::string out;
    std::string err;
};

std::string quote(const std::string& arg) {
    std::string q = "'";
    for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string inputs(const std::string& name) {
    return std::string(VISTALOOM_TEST_INPUTS) + "/themes/" + name;
}

int line_count(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

class ThemeTool : public ::testing::Test {
  protected:
    ThemeTestFolder folder;

    // The program finds its private folder through XDG_RUNTIME_DIR, set for it alone.
    ToolRun run(const std::vector<std::string>& args) {
        std::string command = "XDG_RUNTIME_DIR=" + quote((folder.root() / "xdg-runtime").string()) +
                              " " + quote(VISTALOOM_THEME_TOOL);
        for (const auto& arg : args) command += " " + quote(arg);
        const fs::path out = folder.root() / "stdout", err = folder.root() / "stderr";
        command += " >" + quote(out.string()) + " 2>" + quote(err.string());
        int status = std::system(command.c_str());
        ToolRun result;
        result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = ThemeTestFolder::read(out);
        result.err = ThemeTestFolder::read(err);
        return result;
    }
    std::string file(const std::string& name, const std::string& bytes) {
        fs::path path = folder.root() / name;
        ThemeTestFolder::write(path, bytes);
        return path.string();
    }
    bool no_temp_files_left() {
        const fs::path dir = folder.root() / "xdg-runtime" / "vistaloom";
        return !fs::exists(dir) || fs::is_empty(dir);
    }
};

TEST_F(ThemeTool, CommandLineMistakesExitWithUsage) {
    ToolRun help = run({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("Usage: vistaloom-theme"), std::string::npos);
    for (const auto& args : std::vector<std::vector<std::string>>{{},
                                                                  {"frobnicate", "x"},
                                                                  {"info"},
                                                                  {"info", "a", "b"},
                                                                  {"extract", "a", "1"},
                                                                  {"pack", "a", "--sheet", "s.jpg"},
                                                                  {"pack", "a", "--sample"},
                                                                  {"pack", "a", "--bogus", "x"}}) {
        ToolRun r = run(args);
        EXPECT_EQ(r.code, 2) << (args.empty() ? "(none)" : args[0]);
        EXPECT_NE(r.err.find("Usage:"), std::string::npos);
    }
}

TEST_F(ThemeTool, PackInfoExtractRoundTrip) {
    const std::string theme = folder.theme("Round");
    const std::string sheet(123456, 'Q');
    ToolRun pack =
        run({"pack", theme, "--sheet", file("sheet.jpeg", sheet), "--sample",
             file("s.bmp", "BMsample"), file("a.mid", "MThd"), file("b.wav", "RIFFwave")});
    ASSERT_EQ(pack.code, 0) << pack.err;

    ToolRun info = run({"info", theme + ".ICF"});
    ASSERT_EQ(info.code, 0) << info.err;
    EXPECT_NE(info.out.find("music tracks: 2\n"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("items: 4\n"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("item 2: \"sheet.jpg\" 123456 bytes at offset 8\n"), std::string::npos)
        << info.out;
    EXPECT_NE(info.out.find("item 4: \"b.wav\" 8 bytes at offset 123468\n"), std::string::npos)
        << info.out;

    const fs::path out = folder.root() / "got.jpg";
    ToolRun extract = run({"extract", theme, "2", out.string()});
    ASSERT_EQ(extract.code, 0) << extract.err;
    EXPECT_EQ(ThemeTestFolder::read(out), sheet);
    EXPECT_EQ(run({"extract", theme, "4", out.string()}).code, 0);
    EXPECT_EQ(ThemeTestFolder::read(out), "RIFFwave");
    EXPECT_TRUE(no_temp_files_left());
}

TEST_F(ThemeTool, FailuresExitOneWithOneClearLine) {
    const fs::path out = folder.root() / "never";
    const std::vector<std::vector<std::string>> cases = {
        {"info", folder.theme("Missing")},
        {"info", inputs("broken/HugeCount")},
        {"extract", inputs("Valid"), "4", out.string()},
        {"extract", inputs("Valid"), "0", out.string()},
        {"extract", inputs("Valid"), "two", out.string()},
        {"extract", inputs("broken/Truncated"), "2", out.string()},
        {"extract", inputs("broken/NegativeSize"), "2", out.string()},
        {"pack", folder.theme("P"), "--sample", "/nonexistent/s.jpg", "--sheet",
         "/nonexistent/t.jpg"},
    };
    for (const auto& args : cases) {
        ToolRun r = run(args);
        EXPECT_EQ(r.code, 1) << args[0] << " " << args[1];
        EXPECT_EQ(line_count(r.err), 1) << r.err;
        EXPECT_EQ(r.err.rfind("vistaloom-theme: ", 0), 0u) << r.err;
    }
    EXPECT_FALSE(fs::exists(out));
    EXPECT_FALSE(fs::exists(folder.theme("P") + ".icf"));
    EXPECT_TRUE(no_temp_files_left());
}

TEST_F(ThemeTool, VerifyChecksContainerAndPictures) {
    ToolRun good = run({"verify", inputs("Valid")});
    EXPECT_EQ(good.code, 0) << good.err;
    ToolRun truncated = run({"verify", inputs("broken/Truncated")});
    EXPECT_EQ(truncated.code, 1);
    EXPECT_NE(truncated.err.find("container is 30000 bytes but the items add up to"),
              std::string::npos)
        << truncated.err;
    ToolRun small = run({"verify", inputs("broken/SmallSheet.icf")});
    EXPECT_EQ(small.code, 1);
    EXPECT_NE(small.err.find("at least 640 x 2401"), std::string::npos) << small.err;
    EXPECT_TRUE(no_temp_files_left());
}

TEST_F(ThemeTool, ThemeFilesWithUpperCaseExtensionsAreRead) {
    const std::string theme = folder.theme("Shouting");
    fs::copy_file(inputs("Valid") + ".icf", theme + ".ICF");
    fs::copy_file(inputs("Valid") + ".img", theme + ".IMG");
    ToolRun verified = run({"verify", theme + ".ICF"});
    EXPECT_EQ(verified.code, 0) << verified.err;
    ToolRun info = run({"info", theme});
    EXPECT_EQ(info.code, 0) << info.err;
    EXPECT_NE(info.out.find("item 2:"), std::string::npos) << info.out;
    EXPECT_TRUE(no_temp_files_left());
}

TEST_F(ThemeTool, InfoShowsHostileNamesWithoutControlCharacters) {
    ToolRun r = run({"info", inputs("broken/Traversal")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("\"x\\x01\\x02\""), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find('\x01'), std::string::npos);

    const std::string loud = folder.theme("Loud");
    ThemeTestFolder::write(loud + ".icf", "a,b,4000000000 tracks,0\n");
    ToolRun music = run({"info", loud});
    EXPECT_NE(music.out.find("music tracks: 2147483647\n"), std::string::npos) << music.out;
}

}  // namespace
