#include "startup/startup.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/memory_settings.h"

namespace vistaloom {
namespace {

using testing::MemorySettings;

class RecordingHost : public ModeHost {
  public:
    std::vector<std::string> calls;
    bool saver_up = false;
    std::vector<std::string> titles_asked;

    bool is_first_instance(const std::string& title) override {
        titles_asked.push_back(title);
        return !saver_up;
    }
    void show_install_path_error() override { calls.push_back("install_path_error"); }
    void open_configuration() override { calls.push_back("configuration"); }
    void open_saver() override { calls.push_back("saver"); }
    void open_preview(int64_t handle) override {
        calls.push_back("preview " + std::to_string(handle));
    }
    void change_password(int64_t handle) override {
        calls.push_back("password " + std::to_string(handle));
    }
};

struct StartupRun {
    MemorySettings store;
    RecordingHost host;
    StartupValues values;
    SaverSettings settings;
    TwipsPerPixel twips{12, 13};

    StartupRun() { store.set("Config", "install_path", "/usr/share/vistaloom/themes"); }

    StartupOutcome start(std::vector<std::string> args, const char* env = nullptr) {
        return run_startup(parse_command_line(args, env), store, host, twips, values, settings);
    }
};

TEST(Startup, EachModeOpensExactlyItsWindow) {
    struct Case {
        std::vector<std::string> args;
        StartupAction action;
        std::vector<std::string> calls;
        bool opened;
    } cases[] = {
        {{}, StartupAction::Configuration, {"configuration"}, true},
        {{"/c:4711"}, StartupAction::Configuration, {"configuration"}, true},
        {{"/s"}, StartupAction::Saver, {"saver"}, true},
        {{"/p", "4711"}, StartupAction::Preview, {"preview 4711"}, true},
        {{"/P4711"}, StartupAction::Preview, {"preview 4711"}, true},
        {{"/p:1234"}, StartupAction::Preview, {"preview 0"}, true},
        {{"/a", "99"}, StartupAction::ChangePassword, {"password 99"}, false},
        {{"/m"}, StartupAction::Nothing, {}, false},
        {{"-s"}, StartupAction::Nothing, {}, false},
        {{"s"}, StartupAction::Nothing, {}, false},
        {{"-root"}, StartupAction::Saver, {"saver"}, true},
        {{"-window-id", "0x1200003"}, StartupAction::Saver, {"saver"}, true},
    };
    for (const auto& c : cases) {
        StartupRun run;
        StartupOutcome out = run.start(c.args);
        std::string shown = c.args.empty() ? "(empty)" : c.args[0];
        EXPECT_EQ(out.action, c.action) << shown;
        EXPECT_EQ(run.host.calls, c.calls) << shown;
        EXPECT_EQ(out.window_opened, c.opened) << shown;
        EXPECT_EQ(out.exit_code, 0) << shown;
        // Settings load for every mode once the install path is there, and nothing is written.
        EXPECT_EQ(run.store.reads.size(), 30u) << shown;
        EXPECT_TRUE(run.store.writes.empty()) << shown;
    }
}

TEST(Startup, FillsTheStartupValuesAndSettings) {
    StartupRun run;
    run.values.config_preview = true;
    run.store.set("Options", "sprite_active", "7");
    StartupOutcome out = run.start({"/p", "4711"});
    EXPECT_EQ(out.handle, 4711);
    EXPECT_EQ(out.mode, "/P");
    EXPECT_FALSE(run.values.config_preview);
    EXPECT_EQ(run.values.install_path, "/usr/share/vistaloom/themes/");
    EXPECT_EQ(run.values.twips_per_pixel_x, 12);
    EXPECT_EQ(run.values.twips_per_pixel_y, 13);
    EXPECT_EQ(run.values.parent_window, 4711);
    EXPECT_EQ(run.settings.sprite_active, 7);
}

TEST(Startup, SecondFullScreenSaverOpensNothingButEmbeddedOnesAlwaysRun) {
    StartupRun run;
    run.host.saver_up = true;
    StartupOutcome out = run.start({"/S"});
    EXPECT_EQ(out.action, StartupAction::SaverAlreadyRunning);
    EXPECT_FALSE(out.window_opened);
    EXPECT_TRUE(run.host.calls.empty());
    EXPECT_EQ(run.host.titles_asked, std::vector<std::string>{"Screen Saver Main Form"});

    StartupRun embedded;
    embedded.host.saver_up = true;
    EXPECT_EQ(embedded.start({"-window-id", "5"}).action, StartupAction::Saver);
    EXPECT_EQ(embedded.start({}, "0x5").action, StartupAction::Saver);
}

TEST(Startup, MissingInstallPathShowsTheMessageAndNothingElse) {
    for (const char* mode : {"/S", "/C", "/p 5"}) {
        StartupRun run;
        run.store.values.clear();
        run.store.set("Options", "sprite_active", "9");
        StartupOutcome out = run.start({mode});
        EXPECT_EQ(out.action, StartupAction::InstallPathError) << mode;
        EXPECT_EQ(run.host.calls, std::vector<std::string>{"install_path_error"}) << mode;
        EXPECT_FALSE(out.window_opened);
        EXPECT_NE(out.exit_code, 0);
        EXPECT_EQ(run.store.reads.size(), 1u);  // the settings are not loaded
        EXPECT_TRUE(run.store.writes.empty());
        EXPECT_EQ(run.settings.sprite_active, 4);
    }
    StartupRun empty;
    empty.store.set("Config", "install_path", "");
    EXPECT_EQ(empty.start({"/S"}).action, StartupAction::InstallPathError);
}

TEST(Startup, InstallPathWithSeparatorIsUsedUnchanged) {
    StartupRun run;
    run.store.set("Config", "install_path", "/opt/themes/");
    run.start({"/C"});
    EXPECT_EQ(run.values.install_path, "/opt/themes/");
}

TEST(Startup, HelpVersionAndBadOptionsTouchNothing) {
    for (auto [args, action] :
         {std::pair{std::vector<std::string>{"--help"}, StartupAction::ShowHelp},
          std::pair{std::vector<std::string>{"/S", "--version"}, StartupAction::ShowVersion},
          std::pair{std::vector<std::string>{"/S", "--frames", "x"},
                    StartupAction::BadCommandLine}}) {
        StartupRun run;
        run.store.values.clear();  // not even the install-path message
        StartupOutcome out = run.start(args);
        EXPECT_EQ(out.action, action);
        EXPECT_TRUE(run.host.calls.empty());
        EXPECT_TRUE(run.store.reads.empty());
        EXPECT_FALSE(out.window_opened);
    }

    std::ostringstream out, err;
    EXPECT_EQ(answer_without_windows(parse_command_line({"--help"}, nullptr), out, err), 0);
    EXPECT_EQ(out.str(), usage_text());
    out.str("");
    EXPECT_EQ(answer_without_windows(parse_command_line({"--version"}, nullptr), out, err), 0);
    EXPECT_EQ(out.str(), version_text());
    EXPECT_EQ(answer_without_windows(parse_command_line({"--frames"}, nullptr), out, err), 2);
    EXPECT_NE(err.str().find("--frames"), std::string::npos);
    EXPECT_FALSE(answer_without_windows(parse_command_line({"/S"}, nullptr), out, err));
}

TEST(TwipsPerPixel, FromLogicalDpi) {
    EXPECT_EQ(twips_per_pixel_from_dpi(96), 15);
    EXPECT_EQ(twips_per_pixel_from_dpi(120), 12);
    EXPECT_EQ(twips_per_pixel_from_dpi(144), 10);
    EXPECT_EQ(twips_per_pixel_from_dpi(72), 20);
    EXPECT_EQ(twips_per_pixel_from_dpi(5000), 1);
    EXPECT_EQ(twips_per_pixel_from_dpi(0), 15);
    EXPECT_EQ(twips_per_pixel_from_dpi(-3), 15);
}

}  // namespace
}  // namespace vistaloom
