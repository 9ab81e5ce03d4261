// Runs the real vistaloom-theme program and checks what a user sees: exit codes, output
// and the files it leaves.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "theme_files/theme_test_folder.h"
#include "support/test_paths.h"

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
    return vistaloom::testing::test_inputs() + "/themes/" + name;
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
                              " " + quote(vistaloom::testing::theme_tool());
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

// Output that cannot be written (a full device, a full disk) is a failure with a message.
TEST_F(ThemeTool, OutputToAFullDeviceFails) {
    const fs::path err = folder.root() / "stderr";
    for (const std::string& args : {std::string("info ") + quote(inputs("Valid")), std::string("--help")}) {
        const std::string command = quote(vistaloom::testing::theme_tool()) + " " + args + " >/dev/full 2>" +
                                    quote(err.string());
        const int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << args;
        EXPECT_NE(ThemeTestFolder::read(err).find("cannot write the output"), std::string::npos)
            << args;
    }
}

// verify names the tracks the saver refuses to hand to the mixer.
TEST_F(ThemeTool, VerifyReportsMusicTheSaverRefuses) {
    const std::string sample = (folder.root() / "sample.jpg").string();
    const std::string sheet = (folder.root() / "sheet.jpg").string();
    ASSERT_EQ(run({"extract", inputs("Valid"), "1", sample}).code, 0);
    ASSERT_EQ(run({"extract", inputs("Valid"), "2", sheet}).code, 0);
    // A mono 8-bit PCM WAV whose channel count has been zeroed.
    std::string wav("RIFF\x28\0\0\0WAVEfmt \x10\0\0\0\1\0\0\0\x44\xAC\0\0"
                    "\x44\xAC\0\0\1\0\x08\0data\4\0\0\0\x80\x80\x80\x80", 48);
    const std::string theme = folder.theme("Silent");
    ASSERT_EQ(run({"pack", theme, "--sample", sample, "--sheet", sheet, file("z.wav", wav)}).code,
              0);
    ToolRun verified = run({"verify", theme});
    EXPECT_EQ(verified.code, 1);
    EXPECT_NE(verified.err.find("item 3 (music): WAV claims 0 channels"), std::string::npos)
        << verified.err;
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

namespace {

class ThemeMakeTool : public ThemeTool {
  protected:
    // A folder with copies of some of the test pictures (good and broken) and a tune.
    std::string photo_folder(const std::vector<std::string>& pictures) {
        const fs::path dir = folder.root() / "photos";
        fs::create_directories(dir);
        for (const auto& name : pictures)
            fs::copy_file(vistaloom::testing::test_inputs() + "/pictures/" + name, dir / name);
        return dir.string();
    }
    std::vector<std::string> theme_folder_files() {
        std::vector<std::string> names;
        for (auto& entry : fs::directory_iterator(folder.root() / "themes"))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(ThemeMakeTool, MakesAThemeThatVerifiesAndUnpacks) {
    const std::string photos =
        photo_folder({"baseline_64x48.jpg", "grey_40x30.jpg", "not_a_jpeg.jpg", "empty.jpg"});
    const std::string tune("MThd\0\0\0\6\0\0\0\1\0\x60MTrk\0\0\0\4\0\xFF\x2F\0", 22);
    file("photos/tune.mid", tune);
    const std::string theme = folder.theme("Holiday");
    ToolRun made = run({"make", theme, photos});
    ASSERT_EQ(made.code, 0) << made.err;
    EXPECT_NE(made.out.find("2 pictures for 20 places"), std::string::npos) << made.out;
    EXPECT_NE(made.err.find("skipped not_a_jpeg.jpg: "), std::string::npos) << made.err;
    EXPECT_NE(made.err.find("skipped empty.jpg: "), std::string::npos) << made.err;
    EXPECT_EQ(theme_folder_files(), (std::vector<std::string>{"Holiday.icf", "Holiday.img"}));
    EXPECT_EQ(run({"verify", theme}).code, 0);
    EXPECT_EQ(run({"make", theme, photos}).code, 1) << "an existing theme is kept";
    EXPECT_EQ(run({"make", theme, photos, "--force"}).code, 0);

    const std::string out = (folder.root() / "unpacked").string();
    fs::create_directories(out);
    ToolRun unpacked = run({"unpack", theme + ".icf", out});
    ASSERT_EQ(unpacked.code, 0) << unpacked.err;
    EXPECT_EQ(line_count(unpacked.out), 3);
    EXPECT_EQ(ThemeTestFolder::read(fs::path(out) / "tune.mid"), tune);
    EXPECT_TRUE(fs::exists(fs::path(out) / "sheet.jpg"));
    ToolRun again = run({"unpack", theme, out});
    EXPECT_EQ(again.code, 1);
    EXPECT_NE(again.err.find("--force"), std::string::npos);
    EXPECT_EQ(run({"unpack", "--force", theme, out}).code, 0);
    EXPECT_TRUE(no_temp_files_left());
}

TEST_F(ThemeMakeTool, NoReadablePictureIsAnErrorAndLeavesNothing) {
    const std::string theme = folder.theme("Nothing");
    const std::string photos = photo_folder({"not_a_jpeg.jpg", "truncated_header.jpg"});
    ToolRun made = run({"make", theme, photos});
    EXPECT_EQ(made.code, 1);
    EXPECT_NE(made.err.find("no picture"), std::string::npos) << made.err;
    EXPECT_EQ(run({"make", theme, (folder.root() / "missing").string()}).code, 1);
    EXPECT_EQ(run({"make", folder.theme("bad/name"), photos}).code, 1);
    EXPECT_TRUE(theme_folder_files().empty());
    EXPECT_EQ(run({"make", theme}).code, 2);
    EXPECT_EQ(run({"make", theme, photos, "--bogus"}).code, 2);
    EXPECT_EQ(run({"unpack", theme}).code, 2);
}

}  // namespace
