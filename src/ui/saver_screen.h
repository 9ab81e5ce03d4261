#pragma once
#include <QObject>
#include <memory>

#include "saver/saver_session.h"
#include "startup/saver_settings.h"
#include "startup/startup_values.h"
#include "ui/frm_main.h"

namespace vistaloom {

class HostWindow;
class SharedCursorDesktop;
class WindowVisibility;

// Everything one saver screen is made from. Where it shows (full screen on a screen, an
// ordinary window, inside a host window, the configuration window's preview) is its placement:
// `window_options` and `host`.
struct SaverScreenRecipe {
    SaverSettings settings;  // this screen's copy, changed in memory only
    StartupValues values;
    SaverSeams seams;
    FrmMainOptions window_options;
    SaverSessionOptions session_options;
    // The window someone else owns that the saver draws inside (-window-id, -root); it owns
    // input, and its going away ends the run.
    HostWindow* host = nullptr;
};

// One saver on one screen: its window, the session that decides what the window shows (the
// window picks its own presenter), and the watch that tells the session when nobody can see
// it. Every placement of the saver is one of these; a run over several screens is several.
//
// A run ends one way, `ended`, whatever ended it (input, the window's close button, a stop
// request, a host window that went away); and a stop request arrives one way, request_stop().
class SaverScreen : public QObject {
    Q_OBJECT
  public:
    // `cursor_hidden_by` counts the screens that have the one pointer hidden; the screens of
    // one run share it.
    SaverScreen(SaverScreenRecipe recipe, int& cursor_hidden_by);
    ~SaverScreen() override;

    // Shows the window as its placement asks; the run starts once it is mapped.
    void show();
    // SIGTERM, an unplugged screen, another screen's end: ends the run with its full clean-up.
    void request_stop();
    bool has_ended() const { return ended_; }

    FrmMain& window() { return *window_; }
    SaverSession& session() { return *session_; }
    QScreen* screen() const { return recipe_.window_options.screen; }

  signals:
    void ended();

  private:
    void watch_visibility();

    SaverScreenRecipe recipe_;
    std::unique_ptr<SharedCursorDesktop> desktop_;
    // The session refers to the window, so it is declared after it and goes first; the watch
    // refers to the session and goes before both.
    std::unique_ptr<FrmMain> window_;
    std::unique_ptr<SaverSession> session_;
    std::unique_ptr<WindowVisibility> visibility_;
    bool ended_ = false;
};

}  // namespace vistaloom
