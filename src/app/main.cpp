// The vistaloom program: parses the command line, builds the settings chain and the mode
// host, runs the start-up sequence and hands the window it opened to Qt's event loop.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/app_modes.h"
#include "app/watch_mode.h"
#include "platform/install_path_check.h"
#include "platform/qsettings_backend.h"
#include "platform/screen_metrics.h"
#include "platform/signal_bridge.h"
#include "platform/theme_folder_search.h"
#include "platform/x11_connection.h"
#include "startup/command_line.h"
#include "startup/output_files.h"
#include "startup/saver_settings.h"
#include "startup/startup.h"
#include "startup/startup_values.h"

using namespace vistaloom;

namespace {

std::string executable_name(const char* argv0) {
    std::string name = std::filesystem::path(argv0 ? argv0 : "vistaloom").stem().string();
    return name.empty() ? "vistaloom" : name;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const CommandLine command_line = parse_command_line(args, std::getenv("XSCREENSAVER_WINDOW"));
    if (auto code = answer_without_windows(command_line, std::cout, std::cerr))
        return exit_after_output(*code, std::cout, std::cerr);
    if (auto code = check_output_files(command_line, std::cerr)) return *code;
    // The watcher opens no window: it needs neither the display check nor QApplication.
    if (command_line.watch) return run_watch_mode(command_line, argc > 0 ? argv[0] : nullptr);

    std::string why;
    if (!display_reachable(why)) {
        std::fprintf(stderr, "vistaloom: %s\n", why.c_str());
        return 1;
    }

    // The command line is ours alone: Qt's own options (-display, -platform, -style ...)
    // would otherwise be taken, or abort the process, before we see them.
    static char fallback_name[] = "vistaloom";
    int qt_argc = 1;
    char* qt_argv[] = {argc > 0 ? argv[0] : fallback_name, nullptr};
    QApplication app(qt_argc, qt_argv);
    QApplication::setApplicationName(QStringLiteral("vistaloom"));

    StartupValues values;
    SaverSettings settings;
    // The stored files; install_path checked and made absolute; then, when none is stored,
    // the installed themes in the XDG data folders.
    QtSettingsBackend settings_files;
    InstallPathCheck checked_settings(settings_files, std::cerr);
    ThemeFolderSearch settings_backend(checked_settings, theme_data_folders());
    AppModes modes(command_line, executable_name(argc > 0 ? argv[0] : nullptr), values, settings,
                   settings_backend);
    SignalBridge signal_bridge([&modes](int) { modes.stop(); });

    const StartupOutcome outcome = run_startup(command_line, settings_backend, modes,
                                               screen_twips_per_pixel(), values, settings);
    if (modes.exit_code() != 0) return modes.exit_code();
    if (!outcome.window_opened || !modes.opened_window()) return outcome.exit_code;
    const int code = app.exec();
    return code != 0 ? code : modes.exit_code();
}
