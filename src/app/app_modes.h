#pragma once
#include <memory>
#include <string>

#include "platform/desktop_qt.h"
#include "platform/raw_registry_store.h"
#include "platform/sdl_media_device.h"
#include "platform/seeded_random.h"
#include "platform/silent_media_device.h"
#include "platform/steady_clock.h"
#include "platform/system/xdg_user_folders.h"
#include "saver/saver_session.h"
#include "startup/command_line.h"
#include "startup/saver_settings.h"
#include "startup/startup.h"
#include "startup/startup_values.h"

namespace vistaloom {

class FrameLog;
struct FrmMainOptions;
class FrmConfiguration;
class FrmPreview;
class PhotoLibrarySource;
class HostWindow;
class SaverPreview;
class LayerSaverScreens;
class SaverScreens;
class SettingsBackend;

// What each mode opens, with the platform services every mode shares. Made once by main();
// everything it opens lives until the event loop returns.
class AppModes : public ModeHost {
  public:
    AppModes(const CommandLine& command_line, std::string exe_name, StartupValues& values,
             SaverSettings& settings, SettingsBackend& backend);
    ~AppModes() override;

    bool is_first_instance(const std::string& title) override;
    void show_install_path_error() override;
    void open_configuration() override;
    void open_preview(int64_t handle) override;
    void change_password(int64_t) override {}  // no system password dialog on Linux
    void open_saver() override;

    // SIGTERM / SIGINT: the run ends as after a key press, with the full clean-up; in the
    // configuration window it ends a running preview and closes the window, which saves the
    // settings.
    void stop();
    bool opened_window() const;
    int exit_code() const;

  private:
    SaverSeams seams();
    SaverSessionOptions session_options() const;
    bool open_host_window();
    // A full-screen run on a compositor with layer shell: overlay surfaces instead of windows.
    bool open_layer_saver(const FrmMainOptions& window);
    // The photo library the settings name, or none (no folder chosen).
    std::unique_ptr<PhotoLibrarySource> open_photo_library(const SaverSettings& settings);
    void say_if_theme_unknown() const;
    void fail(const std::string& message);

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
    std::unique_ptr<FrameLog> frame_log_;
    std::unique_ptr<PhotoLibrarySource> photos_;
    bool desktop_reduces_motion_ = false;
    std::unique_ptr<SaverScreens> saver_;
    std::unique_ptr<LayerSaverScreens> layer_saver_;
    std::unique_ptr<SaverPreview> preview_;
    std::unique_ptr<FrmConfiguration> config_;
    std::unique_ptr<FrmPreview> preview_form_;
    int exit_code_ = 0;
};

}  // namespace vistaloom
