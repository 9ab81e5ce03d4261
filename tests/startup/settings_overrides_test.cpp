#include "startup/settings_overrides.h"

#include <gtest/gtest.h>

#include "startup/command_line.h"
#include "startup/startup.h"
#include "support/memory_settings.h"

namespace vistaloom {
namespace {

CommandLine parse(std::vector<std::string> args) {
    return parse_command_line(args, nullptr);
}

TEST(SettingsOverrides, EveryOptionReachesItsFieldAndImpliesTheSaver) {
    CommandLine cl = parse({"--pictures", "10", "--frame-rate=60", "--speed", "1", "--no-gradients",
                            "--no-borders", "--mute", "--no-show-time", "--theme", "Sports",
                            "--random-theme", "--photos", "/home/me/Pictures"});
    ASSERT_TRUE(cl.error.empty()) << cl.error;
    EXPECT_EQ(cl.start_mode, StartMode::Saver);
    const SettingsOverrides& o = cl.overrides;
    EXPECT_EQ(o.sprite_active, 10);
    EXPECT_EQ(o.frame_rate, 60);
    EXPECT_EQ(o.speed_scale, 1);
    EXPECT_EQ(o.gradients_on, false);
    EXPECT_EQ(o.borders_on, false);
    EXPECT_EQ(o.mute_audio, true);
    EXPECT_EQ(o.show_time, false);
    EXPECT_EQ(o.active_module, "Sports");
    EXPECT_EQ(o.random_theme, true);
    EXPECT_EQ(o.photo_folder, "/home/me/Pictures");

    // The last of a pair wins, as a daemon appending to a stored command line expects.
    CommandLine last = parse({"/s", "--mute", "--no-mute", "--gradients"});
    EXPECT_EQ(last.overrides.mute_audio, false);
    EXPECT_EQ(last.overrides.gradients_on, true);
    EXPECT_FALSE(parse({"/s"}).overrides.any());
}

TEST(SettingsOverrides, ValuesOutsideTheirRangeAreRefusedNotClamped) {
    const std::vector<std::vector<std::string>> bad = {
        {"--pictures", "0"},    {"--pictures", "11"}, {"--frame-rate", "9"},
        {"--frame-rate", "61"}, {"--speed", "0"},     {"--speed", "21"},
        {"--pictures", "four"}, {"--pictures", ""},   {"--pictures", "+4"},
        {"--pictures", "4.0"},  {"--speed", "-3"},    {"--frame-rate", "99999999999999"},
        {"--pictures"},         {"--theme", "/etc"},  {"--theme", "../../etc/passwd"},
        {"--theme", "a/b"},     {"--theme", ".."},    {"--mute=1"},
    };
    for (const auto& args : bad) {
        CommandLine cl = parse(args);
        EXPECT_FALSE(cl.error.empty()) << args[0] << " " << (args.size() > 1 ? args[1] : "");
    }
    EXPECT_EQ(parse({"--pictures", "11"}).error,
              "--pictures: '11' is not a whole number from 1 to 10");
    EXPECT_EQ(parse({"--pictures", "1"}).overrides.sprite_active, 1);
    // An empty text field in a daemon's dialog: the stored theme.
    CommandLine empty = parse({"/s", "--theme", ""});
    EXPECT_TRUE(empty.error.empty());
    EXPECT_FALSE(empty.overrides.active_module);
    EXPECT_FALSE(parse({"/s", "--photos", ""}).overrides.photo_folder);
}

TEST(SettingsOverrides, OnlyTheSaverAndThePreviewTakeThem) {
    EXPECT_FALSE(parse({"/c", "--pictures", "3"}).error.empty());
    EXPECT_FALSE(parse({"/a", "12", "--mute"}).error.empty());
    EXPECT_TRUE(parse({"/p", "4711", "--mute"}).error.empty());
    EXPECT_TRUE(parse({"-root", "--pictures", "3"}).error.empty());
}

TEST(SettingsOverrides, ApplyOverStoredValuesWithoutWritingThem) {
    testing::MemorySettings store;
    store.set("Config", "install_path", "/themes");
    store.set("Options", "sprite_active", "2");
    store.set("Options", "active_module", "Stored");
    store.set("Options", "random_theme", "1");
    store.set("Options", "mute_audio", "0");
    store.set("Options", "photo_folder", "/stored/photos");

    struct NoWindows : ModeHost {
        bool is_first_instance(const std::string&) override { return true; }
        void show_install_path_error() override {}
        void open_configuration() override {}
        void open_saver() override {}
        void open_preview(int64_t) override {}
        void change_password(int64_t) override {}
    } host;
    StartupValues values;
    SaverSettings settings;
    run_startup(parse({"/s", "--pictures", "9", "--theme", "Given", "--mute", "--frame-rate", "45",
                       "--speed", "20", "--no-borders", "--photos", "/given/photos"}),
                store, host, {}, values, settings);
    EXPECT_EQ(settings.sprite_active, 9);
    EXPECT_EQ(settings.active_module, "Given");
    // A theme named for the run is the theme shown, not one more random pick.
    EXPECT_EQ(settings.random_theme, "0");
    EXPECT_EQ(settings.mute_audio, "1");
    EXPECT_EQ(settings.frame_rate, "45");
    EXPECT_EQ(settings.speed_scale, 20);
    EXPECT_EQ(settings.borders_on, "0");
    EXPECT_EQ(settings.photo_folder, "/given/photos");
    EXPECT_EQ(settings.gradients_on, "1");  // not given: the stored value
    EXPECT_TRUE(store.writes.empty());
}

}  // namespace
}  // namespace vistaloom
