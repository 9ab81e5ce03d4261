#include "app/app_modes.h"

#include <QApplication>
#include <QLoggingCategory>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "ground/printable_text.h"
#include "library/photo_index.h"
#include "platform/desktop_motion.h"
#include "platform/host_window.h"
#include "platform/photo_library_source.h"
#include "platform/single_instance.h"
#include "platform/system/temp_items_at_exit.h"
#include "theme_files/theme_choice.h"
#include "ui/frame_log.h"
#include "ui/frm_configuration.h"
#include "ui/frm_preview.h"
#include "ui/info_windows.h"
#include "ui/install_path_message.h"
#include "ui/layer_saver_screens.h"
#include "ui/new_theme_dialog.h"
#include "ui/saver_preview.h"
#include "ui/saver_screens.h"

namespace vistaloom {

AppModes::AppModes(const CommandLine& command_line, std::string exe_name, StartupValues& values,
                   SaverSettings& settings, SettingsBackend& backend)
    : command_line_(command_line),
      exe_name_(std::move(exe_name)),
      values_(values),
      settings_(settings),
      backend_(backend),
      random_(command_line.seed),
      desktop_(&registry_) {}

// What a mode opened is declared after the services it uses, so it goes first.
AppModes::~AppModes() = default;

bool AppModes::is_first_instance(const std::string& title) {
    return vistaloom::is_first_instance(title);
}

void AppModes::show_install_path_error() {
    // A daemon's saver has nobody to read the box; say it where its log goes too.
    std::fprintf(stderr,
                 "vistaloom: no themes folder: install_path is missing or empty in the settings "
                 "files and no vistaloom/themes folder holds a theme in the XDG data folders\n");
    show_install_path_message();
}

SaverSeams AppModes::seams() {
    return SaverSeams{clock_, random_, desktop_, media_, registry_, folders_};
}

SaverSessionOptions AppModes::session_options() const {
    SaverSessionOptions options;
    options.executable_name = exe_name_;
    options.max_frames = command_line_.frames.value_or(0);
    options.show_fps = command_line_.show_fps;
    options.pictures = photos_.get();
    options.desktop_reduces_motion = desktop_reduces_motion_;
    return options;
}

std::unique_ptr<PhotoLibrarySource> AppModes::open_photo_library(const SaverSettings& settings) {
    if (settings.photo_folder.empty()) return nullptr;
    // A library holds broken files, and each would put the decoder's complaint on stderr at
    // every cycle, where a daemon keeps its log; the source passes over them in silence.
    // (QT_LOGGING_RULES still wins for whoever wants to see them.)
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio*.warning=false"));
    PhotoLibraryOptions options;
    std::error_code error;
    // One index per folder however it was spelled on the command line.
    const std::filesystem::path folder =
        std::filesystem::absolute(std::filesystem::path(settings.photo_folder), error);
    options.folder =
        (error ? std::filesystem::path(settings.photo_folder) : folder).lexically_normal().string();
    if (options.folder.size() > 1 && options.folder.back() == '/') options.folder.pop_back();
    const std::string cache = folders_.cache_folder();
    if (!cache.empty()) options.index_path = cache + photo_index_file_name(options.folder);
    auto source = std::make_unique<PhotoLibrarySource>(
        std::move(options), std::make_unique<SeededRandom>(command_line_.seed));
    if (frame_log_) {
        FrameLog* log = frame_log_.get();
        source->on_dealt([log](const std::string& path) { log->note("picture", path); });
    }
    return source;
}

void AppModes::open_configuration() {
    SaverSessionOptions options;
    options.executable_name = exe_name_;
    preview_ = std::make_unique<SaverPreview>(settings_, values_, backend_, seams(), options);
    preview_->set_pictures_for_run(
        [this](const SaverSettings& settings) -> std::unique_ptr<PictureSource> {
            return open_photo_library(settings);
        });
    ConfigurationContext context{settings_, values_,   backend_,          folders_,
                                 desktop_,  *preview_, themes_help_page()};
    context.make_theme = make_theme_from_pictures;
    config_ = std::make_unique<FrmConfiguration>(std::move(context));
    QObject::connect(config_.get(), &FrmConfiguration::unloaded, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    config_->show();
}

// The sample picture inside the host window; without a host (an id of 0, or a window that
// does not exist) the first timer tick ends the process.
void AppModes::open_preview(int64_t handle) {
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

bool AppModes::open_host_window() {
    switch (command_line_.embedding()) {
        case Embedding::Window:
            host_window_ = HostWindow::open(static_cast<uint64_t>(*command_line_.window_id));
            if (!host_window_)
                fail("window " + std::to_string(*command_line_.window_id) +
                     " does not exist or cannot be reached");
            return host_window_ != nullptr;
        case Embedding::Root:
            host_window_ = HostWindow::open_root();
            if (!host_window_) fail("the root window cannot be reached");
            return host_window_ != nullptr;
        case Embedding::None:
            return true;
    }
    return true;
}

// A mistyped --theme falls back to a theme chosen at random; without a word the user would
// think the saver ignored the option.
void AppModes::say_if_theme_unknown() const {
    const std::optional<std::string>& name = command_line_.overrides.active_module;
    if (!name || name->empty()) return;
    const ThemeListing listing = list_themes(values_.install_path, *name);
    if (listing.names.empty() || listing.active_found) return;
    std::fprintf(stderr,
                 "vistaloom: no theme named \"%s\" in %s; showing a theme chosen at random\n",
                 printable(*name).c_str(), printable(values_.install_path).c_str());
}

void AppModes::open_saver() {
    remove_temp_items_at_exit(folders_);
    say_if_theme_unknown();
    if (!open_host_window()) return;
    FrmMainOptions window;
    window.screenshot = command_line_.screenshot.value_or("");
    if (!host_window_ && command_line_.windowed) {
        window.placement = FrmMainOptions::Placement::Windowed;
        window.windowed_size = QSize(command_line_.windowed->width, command_line_.windowed->height);
    }
    if (const char* log = std::getenv("VISTALOOM_FRAME_LOG"))
        frame_log_ = std::make_unique<FrameLog>(log, clock_);
    photos_ = open_photo_library(settings_);
    // Asked only when the setting leaves it to the desktop: asking costs a bus call.
    if (settings_.reduced_motion != "on" && settings_.reduced_motion != "off")
        desktop_reduces_motion_ = DesktopMotion().reduced_motion_wanted();
    if (open_layer_saver(window)) return;
    SaverScreensParts parts{settings_,          values_,         seams(),
                            silent_media_,      window,          session_options(),
                            host_window_.get(), frame_log_.get(),
                            screen_mode_or_each(settings_.screen_mode)};
    saver_ = std::make_unique<SaverScreens>(std::move(parts));
    // The process ends with the saver, wherever it was shown.
    QObject::connect(saver_.get(), &SaverScreens::all_unloaded, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    saver_->open();
}

bool AppModes::open_layer_saver(const FrmMainOptions& window) {
    if (host_window_ || window.placement != FrmMainOptions::Placement::FullScreen) return false;
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (!wayland || !*wayland) return false;
    std::string why;
    std::unique_ptr<WaylandLayerShell> shell = WaylandLayerShell::open(why);
    // Without layer shell the toolkit's full-screen windows stay (a compositor such as
    // mutter or Weston); --fps then names the path they took.
    if (!shell) {
        if (command_line_.show_fps)
            std::fprintf(stderr, "vistaloom: no layer shell: %s\n", why.c_str());
        return false;
    }
    layer_saver_ = std::make_unique<LayerSaverScreens>(
        SaverScreensParts{settings_, values_, seams(), silent_media_, window, session_options(),
                          nullptr, frame_log_.get(), screen_mode_or_each(settings_.screen_mode)},
        std::move(shell));
    QObject::connect(layer_saver_.get(), &LayerSaverScreens::all_unloaded, qApp,
                     &QCoreApplication::quit, Qt::QueuedConnection);
    layer_saver_->open();
    return true;
}

void AppModes::stop() {
    if (layer_saver_) {
        layer_saver_->request_stop();
        return;
    }
    if (saver_) {
        saver_->request_stop();
        return;
    }
    // Start-up may be waiting in a message box's own loop (no install path), where a quit of
    // the main loop, not yet running, would be lost: a daemon must always be able to end us.
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    // exit, not quit: quit asks every window to close, and the sample inside a host that
    // holds on to it never does.
    if (preview_form_) {
        QCoreApplication::exit(0);
        return;
    }
    if (preview_) preview_->request_stop();
    if (config_) {
        config_->close();
        return;
    }
    QCoreApplication::quit();
}

int AppModes::exit_code() const {
    if (exit_code_ == 0 && saver_ && saver_->output_failed()) return 1;
    if (exit_code_ == 0 && layer_saver_ && layer_saver_->output_failed()) return 1;
    return exit_code_;
}

bool AppModes::opened_window() const {
    return saver_ || layer_saver_ || config_ || preview_form_;
}

void AppModes::fail(const std::string& message) {
    std::fprintf(stderr, "vistaloom: %s\n", message.c_str());
    exit_code_ = 1;
}

}  // namespace vistaloom
