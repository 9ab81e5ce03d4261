// The vistaloom program: parses the command line, runs the start-up sequence and, for the
// saver, builds the window, the session and the platform services and hands them to Qt.
#include <xcb/xcb.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "platform/desktop_qt.h"
#include "platform/host_window.h"
#include "platform/install_path_check.h"
#include "ui/install_path_message.h"
#include "platform/qsettings_backend.h"
#include "platform/system/temp_items_at_exit.h"
#include "platform/system/xdg_user_folders.h"
#include "platform/window_visibility.h"
#include "platform/raw_registry_store.h"
#include "platform/screen_metrics.h"
#include "platform/sdl_media_device.h"
#include "platform/seeded_random.h"
#include "platform/signal_bridge.h"
#include "platform/silent_media_device.h"
#include "platform/single_instance.h"
#include "platform/steady_clock.h"
#include "ui/frm_configuration.h"
#include "platform/theme_folder_search.h"
#include "ui/frm_main.h"
#include "ui/frm_preview.h"
#include "ui/info_windows.h"
#include "ui/new_theme_dialog.h"
#include "ui/saver_preview.h"
#include "ui/saver_screens.h"
#include "saver/saver_session.h"
#include "startup/command_line.h"
#include "startup/output_files.h"
#include "startup/saver_settings.h"
#include "startup/startup.h"
#include "startup/startup_values.h"

using namespace vistaloom;

namespace {

// Qt ends the process with an abort when it cannot reach the display; a screen saver started
// over ssh or from a service should say so in one line instead.
bool display_reachable(std::string& why) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform && std::string(platform).rfind("xcb", 0) != 0) return true;
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* display = std::getenv("DISPLAY");
    if ((!platform || !*platform) && wayland && *wayland) return true;
    if (!display || !*display) {
        why = "no display (DISPLAY is not set); the screen saver needs a graphical session";
        return false;
    }
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    const bool ok = c && !xcb_connection_has_error(c);
    if (c) xcb_disconnect(c);
    if (!ok) why = std::string("cannot open display \"") + display + "\"";
    return ok;
}

std::string executable_name(const char* argv0) {
    std::string name = std::filesystem::path(argv0 ? argv0 : "vistaloom").stem().string();
    return name.empty() ? "vistaloom" : name;
}

// Everything one process needs to run the saver, kept alive until the event loop returns.
class AppModeHost : public ModeHost {
  public:
    AppModeHost(const CommandLine& command_line, std::string exe_name, StartupValues& values,
                SaverSettings& settings, SettingsBackend& backend)
        : command_line_(command_line),
          exe_name_(std::move(exe_name)),
          values_(values),
          settings_(settings),
          backend_(backend),
          random_(command_line.seed),
          desktop_(&registry_) {}

    bool is_first_instance(const std::string& title) override {
        return vistaloom::is_first_instance(title);
    }

    void show_install_path_error() override {
        // A daemon's saver has nobody to read the box; say it where its log goes too.
        std::fprintf(stderr,
                     "vistaloom: no themes folder: install_path is missing or empty in the "
                     "settings files and no vistaloom/themes folder holds a theme in the XDG "
                     "data folders\n");
        show_install_path_message();
    }

    void open_configuration() override {
        SaverSessionOptions session_options;
        session_options.executable_name = exe_name_;
        preview_ = std::make_unique<SaverPreview>(settings_, values_, backend_, seams(),
                                                  session_options);
        ConfigurationContext context{settings_, values_,   backend_,          folders_,
                                     desktop_,  *preview_, themes_help_page()};
        context.make_theme = make_theme_from_pictures;
        config_ = std::make_unique<FrmConfiguration>(std::move(context));
        QObject::connect(config_.get(), &FrmConfiguration::unloaded, qApp,
                         &QCoreApplication::quit, Qt::QueuedConnection);
        config_->show();
    }

    // The sample picture inside the host window; without a host (an id of 0, or a window
    // that does not exist) the first timer tick ends the process.
    void open_preview(int64_t handle) override {
        if (handle > 0) host_window_ = HostWindow::open(static_cast<uint64_t>(handle));
        preview_form_ = std::make_unique<FrmPreview>(
            [this] { return host_window_ != nullptr && host_window_->exists(); });
        // exit, not quit: the windows of a host that has gone cannot be asked to close.
        QObject::connect(
            preview_form_.get(), &FrmPreview::unloaded, qApp, [] { QCoreApplication::exit(0); },
            Qt::QueuedConnection);
        if (host_window_) {
            host_window_->adopt(*preview_form_);
            preview_form_->show();
        }
        preview_form_->start();
    }
    void change_password(int64_t) override {}  // no system password dialog on Linux

    void open_saver() override {
        remove_temp_items_at_exit(folders_);
        FrmMainOptions options;
        SaverSessionOptions session_options;
        session_options.executable_name = exe_name_;
        session_options.max_frames = command_line_.frames.value_or(0);
        session_options.show_fps = command_line_.show_fps;
        options.screenshot = command_line_.screenshot.value_or("");

        switch (command_line_.embedding()) {
            case Embedding::Window:
                host_window_ = HostWindow::open(static_cast<uint64_t>(*command_line_.window_id));
                if (!host_window_) {
                    fail("window " + std::to_string(*command_line_.window_id) +
                         " does not exist or cannot be reached");
                    return;
                }
                break;
            case Embedding::Root:
                host_window_ = HostWindow::open_root();
                if (!host_window_) {
                    fail("the root window cannot be reached");
                    return;
                }
                break;
            case Embedding::None:
                break;
        }
        if (host_window_) {
            options.placement = FrmMainOptions::Placement::Embedded;
            session_options.embedded = true;
        } else if (command_line_.windowed) {
            options.placement = FrmMainOptions::Placement::Windowed;
            options.windowed_size =
                QSize(command_line_.windowed->width, command_line_.windowed->height);
        } else {
            open_on_every_screen(options, session_options);
            return;
        }

        window_ = std::make_unique<FrmMain>(options);
        session_options.presentation = window_->presentation_name();
        session_ =
            std::make_unique<SaverSession>(settings_, values_, seams(), *window_, session_options);
        window_->attach(*session_);
        if (const char* log = std::getenv("VISTALOOM_FRAME_LOG"))
            log_frames_to(log, *window_, *session_);
        // The process ends with the saver window, wherever that window was shown.
        QObject::connect(window_.get(), &FrmMain::unloaded, qApp, &QCoreApplication::quit,
                         Qt::QueuedConnection);
        if (host_window_) {
            host_window_->adopt(*window_);
            QObject::connect(host_window_.get(), &HostWindow::gone, window_.get(),
                             &FrmMain::request_stop);
            window_->show();
        } else if (options.placement == FrmMainOptions::Placement::Windowed) {
            window_->show();
        } else {
            window_->showFullScreen();
        }
        watch_visibility();
    }

    // SIGTERM / SIGINT: the run ends as after a key press, with the full clean-up.
    // In the configuration window it ends a running preview and closes the window, which
    // saves the settings.
    void stop() {
        if (screens_) {
            screens_->request_stop();
            return;
        }
        if (window_) {
            window_->request_stop();
            return;
        }
        // Start-up may be waiting in a message box's own loop (no install path), where a
        // quit of the main loop, not yet running, would be lost: a daemon must always be
        // able to end us.
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
        if (preview_) preview_->request_stop();
        if (config_) {
            config_->close();
            return;
        }
        QCoreApplication::quit();
    }

    bool opened_window() const { return window_ || screens_ || config_ || preview_form_; }

    ~AppModeHost() override {
        if (frame_log_) std::fclose(frame_log_);
    }
    int exit_code() const { return exit_code_; }

  private:
    // The full-screen saver: one window per screen, ending together.
    void open_on_every_screen(const FrmMainOptions& options,
                              const SaverSessionOptions& session_options) {
        SaverSeams seams{clock_, random_, desktop_, media_, registry_, folders_};
        screens_ = std::make_unique<SaverScreens>(
            SaverScreensParts{settings_, values_, seams, silent_media_, options, session_options});
        QObject::connect(screens_.get(), &SaverScreens::all_unloaded, qApp, &QCoreApplication::quit,
                         Qt::QueuedConnection);
        screens_->open();
        const auto windows = screens_->windows();
        const auto sessions = screens_->sessions();
        const char* log = std::getenv("VISTALOOM_FRAME_LOG");
        if (log && !windows.empty()) log_frames_to(log, *windows.front(), *sessions.front());
    }

    // For timing measurements: "frame deadline" per scheduled frame, line by line so a
    // reader can follow the run. Deadlines are frame starts plus a constant.
    void log_frames_to(const char* path, FrmMain& window, SaverSession& session) {
        frame_log_ = std::fopen(path, "w");
        if (!frame_log_) return;
        std::setvbuf(frame_log_, nullptr, _IOLBF, 0);
        window.set_schedule_observer([this, &session](int64_t delay_ms) {
            if (!first_frame_logged_ && session.frames_drawn() >= 1) {
                // Wall-clock time, so that a measurement outside can subtract the moment
                // it started the program.
                first_frame_logged_ = true;
                const auto now = std::chrono::system_clock::now().time_since_epoch();
                std::fprintf(frame_log_, "# first-frame-presented-unix-us %lld\n",
                             static_cast<long long>(
                                 std::chrono::duration_cast<std::chrono::microseconds>(now)
                                     .count()));
            }
            if (delay_ms <= 0) return;  // the run ended: no frame to wait for
            std::fprintf(frame_log_, "%lld %lld\n",
                         static_cast<long long>(session.frames_drawn()),
                         static_cast<long long>(clock_.tick_ms() + delay_ms));
        });
    }

    // Nobody sees a covered, unmapped or minimised window, or one whose host is hidden: the
    // session then stops drawing until it is seen again.
    void watch_visibility() {
        std::vector<uint64_t> hosts;
        if (host_window_) hosts.push_back(host_window_->id());
        visibility_ = WindowVisibility::watch(static_cast<uint64_t>(window_->winId()), hosts);
        if (!visibility_) return;
        QObject::connect(visibility_.get(), &WindowVisibility::shown_changed, window_.get(),
                         [this](bool shown) { session_->set_shown(shown); });
    }

    SaverSeams seams() {
        return SaverSeams{clock_, random_, desktop_, media_, registry_, folders_};
    }
    void fail(const std::string& message) {
        std::fprintf(stderr, "vistaloom: %s\n", message.c_str());
        exit_code_ = 1;
    }

    const CommandLine& command_line_;
    std::string exe_name_;
    StartupValues& values_;
    SaverSettings& settings_;
    SettingsBackend& backend_;

    SteadyClock clock_;
    SeededRandom random_;
    QtRawRegistry registry_;
    DesktopQt desktop_;
    SdlMediaDevice media_;
    SilentMediaDevice silent_media_;
    XdgUserFolders folders_;

    std::unique_ptr<HostWindow> host_window_;
    // The session refers to the window, so it goes first.
    std::unique_ptr<FrmMain> window_;
    std::unique_ptr<SaverSession> session_;
    std::unique_ptr<WindowVisibility> visibility_;
    std::unique_ptr<SaverPreview> preview_;
    std::unique_ptr<FrmConfiguration> config_;
    std::unique_ptr<FrmPreview> preview_form_;
    std::unique_ptr<SaverScreens> screens_;
    int exit_code_ = 0;
    std::FILE* frame_log_ = nullptr;
    bool first_frame_logged_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const CommandLine command_line = parse_command_line(args, std::getenv("XSCREENSAVER_WINDOW"));
    if (auto code = answer_without_windows(command_line, std::cout, std::cerr))
        return exit_after_output(*code, std::cout, std::cerr);
    if (auto code = check_output_files(command_line, std::cerr)) return *code;

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
    AppModeHost host(command_line, executable_name(argc > 0 ? argv[0] : nullptr), values, settings,
                     settings_backend);
    SignalBridge signal_bridge([&host](int) { host.stop(); });

    const TwipsPerPixel twips = screen_twips_per_pixel();
    const StartupOutcome outcome =
        run_startup(command_line, settings_backend, host, twips, values, settings);
    if (host.exit_code() != 0) return host.exit_code();
    if (!outcome.window_opened || !host.opened_window()) return outcome.exit_code;
    return app.exec();
}
