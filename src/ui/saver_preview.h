#pragma once
#include <functional>
#include <memory>

#include "saver/saver_session.h"

class QWidget;
class QEventLoop;

namespace vistaloom {

class SaverScreen;
class SettingsBackend;
struct SaverSettings;
struct StartupValues;

// The Preview buttons of the configuration window and the options dialog: the settings are
// saved first, so the saver reads what the user just chose, then the saver window runs full
// screen as a preview (no password, the cursor stays, not kept on top) until input ends it.
// The frames come from the same timer as a real run; run() waits in a local event loop of
// the user interface, which is where such a wait may be.
class SaverPreview {
  public:
    SaverPreview(SaverSettings& settings, StartupValues& values, SettingsBackend& backend,
                 SaverSeams seams, SaverSessionOptions session_options = {});

    // Returns when the saver window has closed. Does nothing while a preview already runs.
    void run();
    bool running() const { return screen_ != nullptr; }
    // A termination signal: the preview ends as after a key press.
    void request_stop();
    int runs() const { return runs_; }
    // Makes the pictures of one preview from the settings as they are then (none: the
    // theme's), so a photo folder chosen a moment ago is what the preview shows.
    using PicturesForRun = std::function<std::unique_ptr<PictureSource>(const SaverSettings&)>;
    void set_pictures_for_run(PicturesForRun make) { pictures_for_run_ = std::move(make); }

  private:
    SaverSettings& settings_;
    StartupValues& values_;
    SettingsBackend& backend_;
    SaverSeams seams_;
    SaverSessionOptions session_options_;
    PicturesForRun pictures_for_run_;
    SaverScreen* screen_ = nullptr;  // while a preview runs
    int cursor_hidden_by_ = 0;
    int runs_ = 0;
};

}  // namespace vistaloom
