#pragma once
#include <QObject>
#include <QRegion>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "saver/saver_session.h"
#include "saver/screen_layout.h"
#include "startup/saver_settings.h"
#include "startup/startup_values.h"
#include "ui/frm_main.h"

class QScreen;

namespace vistaloom {

class FrameLog;
class HostWindow;
class MediaDevice;
class SaverScreen;
class ScreenViewer;

// What every screen's saver of one run is made from.
struct SaverScreensParts {
    const SaverSettings& settings;  // as loaded, with the command line's overrides
    const StartupValues& values;
    SaverSeams seams;     // `media` plays the music: the primary screen's session only
    MediaDevice& silent;  // every other screen's player, which never sounds
    // The placement: full screen (on every screen), windowed, or inside `host`.
    FrmMainOptions window_options;
    SaverSessionOptions session_options;
    HostWindow* host = nullptr;
    FrameLog* frame_log = nullptr;  // follows the primary screen's frames
    // How a full-screen run uses several screens (the other placements show one scene).
    ScreenMode mode = ScreenMode::Each;
};

// One run of the saver, on as many screens as its placement covers: full screen on every
// screen at once (one saver screen each, all in this thread and driven by the one event loop),
// or one screen in an ordinary window or inside a host window. The run ends everywhere when
// it ends on any screen (input there, a close request); a screen that appears during a
// full-screen run gets its own saver, and one that goes away takes its saver with it.
//
// The screen mode decides which screens run a scene and which only show one: every screen
// its own (each), the primary screen's scene on all of them (mirror), one scene across all
// of them (span), or the primary screen alone with the others black (main). A screen that
// only shows a scene is a viewer of the scene's window; input on it goes to that scene. A
// screen plugged in later follows the mode; when the screen that runs the scene goes, the
// screens left start a new one among themselves.
//
// The screens share the loaded settings but each session gets a copy, changed in memory
// only: only the primary screen plays music and may leave its picture as the wallpaper, so
// the tune is heard once and the wallpaper is one screen's picture, not a random one of them.
class SaverScreens : public QObject {
    Q_OBJECT
  public:
    explicit SaverScreens(SaverScreensParts parts);
    ~SaverScreens() override;

    // The saver screens there are now; a full-screen run follows the screens from then on.
    void open();
    // SIGTERM and the like: every screen's run ends with its full clean-up.
    void request_stop();

    // The savers, primary screen first (for tests).
    std::vector<FrmMain*> windows() const;
    std::vector<SaverSession*> sessions() const;
    std::vector<ScreenViewer*> viewers() const;
    // A screen whose --screenshot could not be written: the run did not do what was asked.
    bool output_failed() const;

    // The file name the screenshot of screen `number` (1 = primary) goes to: the primary
    // screen's is `path`, the second's "shot-2.png" for "shot.png", and so on.
    static std::string numbered_path(const std::string& path, int number);

    void add_screen(QScreen* screen);
    void remove_screen(QScreen* screen);

  signals:
    // Every saver has closed: the process may end.
    void all_unloaded();

  private:
    struct Entry;
    // Plans `screens` (the first runs the scene) by the mode, as at the start of a run.
    void place(const std::vector<QScreen*>& screens);
    Entry* add(QScreen* screen, std::optional<SaverWindowHost::SceneArea> span = std::nullopt);
    void add_viewer(QScreen* screen, std::optional<SceneView> view, Entry* scene);
    Entry* live_scene() const;
    void show_scene_change(Entry* scene, const QRegion& changed);
    void finish_viewers();
    void on_ended(Entry* entry);
    void forget(Entry* entry);
    void check_all_unloaded();
    bool full_screen() const;

    SaverScreensParts parts_;
    int cursor_hidden_by_ = 0;  // savers that have the one pointer hidden
    std::vector<std::unique_ptr<Entry>> entries_;
    int screens_numbered_ = 0;
    SpanOrigin span_origin_;
    bool ending_ = false;
    bool finished_ = false;
    bool viewer_screenshot_failed_ = false;
};

}  // namespace vistaloom
