#include "startup/command_line.h"

#include <gtest/gtest.h>

namespace vistaloom {
namespace {

CommandLine parse(std::vector<std::string> args, const char* env = nullptr) {
    return parse_command_line(args, env);
}

TEST(CommandLineMode, OnlyTheFirstTwoCharactersCountInAnyCase) {
    struct Case {
        std::vector<std::string> args;
        StartMode mode;
    } cases[] = {
        {{}, StartMode::Configuration},
        {{"/c"}, StartMode::Configuration},
        {{"/C"}, StartMode::Configuration},
        {{"/c:4711"}, StartMode::Configuration},
        {{"/s"}, StartMode::Saver},
        {{"/S"}, StartMode::Saver},
        {{"/Saver"}, StartMode::Saver},
        {{"/p", "4711"}, StartMode::Preview},
        {{"/a", "12"}, StartMode::ChangePassword},
        {{"/M"}, StartMode::Nothing},
        {{"-s"}, StartMode::Nothing},
        {{"s"}, StartMode::Nothing},
        {{"/"}, StartMode::Nothing},
        {{"-h"}, StartMode::Nothing},
    };
    for (const auto& c : cases) {
        CommandLine cl = parse(c.args);
        std::string shown = c.args.empty() ? "(empty)" : c.args[0];
        EXPECT_EQ(cl.start_mode, c.mode) << shown;
        EXPECT_TRUE(cl.error.empty()) << shown << ": " << cl.error;
    }
    EXPECT_EQ(parse({}).mode, "/C");
    EXPECT_EQ(parse({"/c:4711"}).mode, "/C");
    EXPECT_EQ(parse({"-s"}).mode, "-S");
}

TEST(CommandLineMode, HandleIsTheNumberAfterTheFirstTwoCharacters) {
    EXPECT_EQ(parse({"/p", "4711"}).handle, 4711);
    EXPECT_EQ(parse({"/P4711"}).handle, 4711);
    EXPECT_EQ(parse({"/p 4711"}).handle, 4711);  // one word, as a Windows command line comes
    EXPECT_EQ(parse({"/p:1234"}).handle, 0);
    EXPECT_EQ(parse({"/p"}).handle, 0);
    EXPECT_EQ(parse({"/p", "12", "34"}).handle, 1234);  // blanks anywhere are ignored
    EXPECT_EQ(parse({"/p", "47.5"}).handle, 48);
    EXPECT_EQ(parse({"/p", "46.5"}).handle, 46);  // halves go to the even neighbour
    EXPECT_EQ(parse({"/a", "-7"}).handle, -7);
    EXPECT_EQ(parse({"/p", "abc"}).handle, 0);
    // Out of the 32-bit range is no handle at all, not a clamped bogus one.
    EXPECT_EQ(parse({"/p", "99999999999"}).handle, 0);
    EXPECT_EQ(parse({"/p", "1e300"}).handle, 0);
    EXPECT_EQ(parse({"/p", "2147483647"}).handle, 2147483647);
    // X window ids as daemons and xwininfo write them.
    EXPECT_EQ(parse({"/p", "0x2600007"}).handle, 0x2600007);
    EXPECT_EQ(parse({"/p0X1F"}).handle, 0x1F);
    EXPECT_EQ(parse({"/p", "0xZZ"}).handle, 0);
    // Only /P and /A read a handle.
    EXPECT_EQ(parse({"/c", "4711"}).handle, 0);
}

TEST(CommandLineOptions, DaemonOptionsSelectTheEmbeddedSaver) {
    CommandLine root = parse({"-root"});
    EXPECT_EQ(root.start_mode, StartMode::Saver);
    EXPECT_EQ(root.embedding(), Embedding::Root);

    CommandLine decimal = parse({"-window-id", "12345"});
    EXPECT_EQ(decimal.start_mode, StartMode::Saver);
    EXPECT_EQ(decimal.embedding(), Embedding::Window);
    EXPECT_EQ(decimal.window_id, 12345);

    EXPECT_EQ(parse({"-window-id", "0x3a00007"}).window_id, 0x3a00007);
    EXPECT_EQ(parse({"-window-id", "0XFFFFFFFF"}).window_id, 0xFFFFFFFFll);
    EXPECT_EQ(parse({"/S", "-window-id", "42"}).start_mode, StartMode::Saver);
    EXPECT_EQ(parse({"--window-id=42"}).window_id, 42);
    EXPECT_EQ(parse({"--root"}).embedding(), Embedding::Root);

    for (const char* bad : {"0", "-5", "abc", "0x", "0x1g", "4294967296", "12 "}) {
        CommandLine cl = parse({"-window-id", bad});
        EXPECT_FALSE(cl.error.empty()) << bad;
    }
    EXPECT_FALSE(parse({"-window-id"}).error.empty());
    EXPECT_FALSE(parse({"/C", "-root"}).error.empty());
    EXPECT_FALSE(parse({"-root", "--windowed", "640x480"}).error.empty());
}

TEST(CommandLineOptions, EnvironmentWindowAppliesOnlyWhenNothingSaysOtherwise) {
    CommandLine plain = parse({}, "0x400001");
    EXPECT_EQ(plain.start_mode, StartMode::Saver);
    EXPECT_EQ(plain.window_id, 0x400001);
    EXPECT_TRUE(plain.window_id_from_environment);

    // xscreensaver passes -root together with its virtual root in the variable.
    CommandLine with_root = parse({"-root"}, "77");
    EXPECT_EQ(with_root.embedding(), Embedding::Window);
    EXPECT_EQ(with_root.window_id, 77);

    EXPECT_EQ(parse({"/S"}, "77").window_id, 77);
    EXPECT_EQ(parse({"-window-id", "5"}, "77").window_id, 5);
    EXPECT_FALSE(parse({"-window-id", "5"}, "77").window_id_from_environment);

    CommandLine configuration = parse({"/C"}, "77");
    EXPECT_EQ(configuration.start_mode, StartMode::Configuration);
    EXPECT_FALSE(configuration.window_id);
    EXPECT_TRUE(configuration.error.empty());

    CommandLine windowed = parse({"/S", "--windowed", "800x600"}, "77");
    EXPECT_FALSE(windowed.window_id);
    EXPECT_EQ(windowed.embedding(), Embedding::None);

    EXPECT_FALSE(parse({}, "").window_id);
    EXPECT_EQ(parse({}, "").start_mode, StartMode::Configuration);
    EXPECT_FALSE(parse({}, "garbage").error.empty());
    EXPECT_TRUE(parse({"/C"}, "garbage").error.empty());
}

TEST(CommandLineOptions, UserOptionsStandBeforeOrAfterTheMode) {
    CommandLine after = parse({"/S", "--windowed", "800x600", "--frames", "100", "--seed", "7",
                               "--screenshot", "out.png", "--fps"});
    CommandLine before = parse({"--windowed=800x600", "--frames", "100", "--seed=7", "--screenshot",
                                "out.png", "--fps", "/s"});
    for (const CommandLine* cl : {&after, &before}) {
        EXPECT_TRUE(cl->error.empty()) << cl->error;
        EXPECT_EQ(cl->start_mode, StartMode::Saver);
        ASSERT_TRUE(cl->windowed);
        EXPECT_EQ(cl->windowed->width, 800);
        EXPECT_EQ(cl->windowed->height, 600);
        EXPECT_EQ(cl->frames, 100);
        EXPECT_EQ(cl->seed, 7u);
        EXPECT_EQ(cl->screenshot, "out.png");
        EXPECT_TRUE(cl->show_fps);
        EXPECT_EQ(cl->mode, "/S");
    }
    // A preview's handle is still found when an option sits between mode and number.
    EXPECT_EQ(parse({"/p", "--fps", "4711"}).handle, 4711);
    // Saver options without a mode mean the saver; with /C they change nothing.
    EXPECT_EQ(parse({"--frames", "3"}).start_mode, StartMode::Saver);
    EXPECT_EQ(parse({"/C", "--frames", "3"}).start_mode, StartMode::Configuration);
    EXPECT_EQ(parse({"--seed", "18446744073709551615"}).seed, 18446744073709551615ull);
}

TEST(CommandLineOptions, BadValuesGiveAMessageNotACrash) {
    const std::vector<std::vector<std::string>> bad = {
        {"--windowed", "800"},
        {"--windowed", "0x600"},
        {"--windowed", "800x"},
        {"--windowed", "-800x600"},
        {"--windowed", "40000x10"},
        {"--frames", "0"},
        {"--frames", "-3"},
        {"--frames", "ten"},
        {"--frames"},
        {"--seed", "18446744073709551616"},
        {"--seed", "-1"},
        {"--screenshot", ""},
        {"--screenshot"},
        {"--fps=yes"},
        {"--bogus"},
        {"/S", "--windowd", "800x600"},
    };
    for (const auto& args : bad) {
        CommandLine cl = parse(args);
        std::string shown;
        for (const auto& a : args) shown += a + " ";
        EXPECT_FALSE(cl.error.empty()) << shown;
    }
    EXPECT_NE(parse({"--frames", "ten"}).error.find("--frames"), std::string::npos);
}

TEST(CommandLineWatch, WatchIsAModeOfItsOwnAndAfterBelongsToIt) {
    const CommandLine watch = parse({"--watch", "--after", "3"}, "0x123");
    EXPECT_TRUE(watch.error.empty()) << watch.error;
    EXPECT_TRUE(watch.watch);
    EXPECT_EQ(watch.after_seconds, 3);
    // A daemon's window in the environment is not the watcher's business.
    EXPECT_FALSE(watch.window_id);
    EXPECT_EQ(parse({"--after=7200", "--watch"}).after_seconds, 7200);
    EXPECT_FALSE(parse({"--watch"}).after_seconds);

    const std::vector<std::vector<std::string>> refused = {
        {"--watch", "--after", "0"},
        {"--watch", "--after", "7201"},
        {"--watch", "--after", "-1"},
        {"--watch", "--after", "3s"},
        {"--watch", "--after"},
        {"--after", "3"},
        {"/S", "--after", "3"},
        {"--watch", "/S"},
        {"--watch", "/C"},
        {"--watch", "-root"},
        {"--watch", "-window-id", "5"},
        {"--watch", "--windowed", "80x60"},
        {"--watch", "--frames", "3"},
        {"--watch", "--mute"},
        {"--watch=1"},
    };
    for (const auto& args : refused) {
        std::string shown;
        for (const auto& a : args) shown += a + " ";
        EXPECT_FALSE(parse(args).error.empty()) << shown;
    }
}

TEST(CommandLineOptions, HelpAndVersion) {
    EXPECT_TRUE(parse({"--help"}).help);
    EXPECT_TRUE(parse({"/S", "--version"}).version);
    const std::string& usage = usage_text();
    for (const char* mentioned :
         {"/S", "/C", "/P", "/A", "-root", "-window-id", "XSCREENSAVER_WINDOW", "--windowed",
          "--frames", "--seed", "--screenshot", "--fps", "--watch", "--after", "--help",
          "--version"}) {
        EXPECT_NE(usage.find(mentioned), std::string::npos) << mentioned;
    }
}

}  // namespace
}  // namespace vistaloom
