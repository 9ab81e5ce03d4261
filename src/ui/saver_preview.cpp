#include "ui/saver_preview.h"

#include <QEventLoop>

#include "startup/settings_store.h"
#include "startup/startup_values.h"
#include "ui/frm_main.h"

namespace vistaloom {

SaverPreview::SaverPreview(SaverSettings& settings, StartupValues& values, SettingsBackend& backend,
                           SaverSeams seams, SaverSessionOptions session_options)
    : settings_(settings),
      values_(values),
      backend_(backend),
      seams_(seams),
      session_options_(std::move(session_options)) {}

void SaverPreview::run() {
    if (window_) return;
    ++runs_;
    save_settings(settings_, backend_);
    values_.config_preview = true;
    {
        FrmMainOptions options;
        options.config_preview = true;
        FrmMain window(options);
        // The session refers to the window, so it is made after it and goes before it.
        SaverSession session(settings_, values_, seams_, window, session_options_);
        window.attach(session);
        window.setWindowModality(Qt::ApplicationModal);
        window_ = &window;

        QEventLoop loop;
        QObject::connect(&window, &FrmMain::unloaded, &loop, &QEventLoop::quit,
                         Qt::QueuedConnection);
        window.showFullScreen();
        loop.exec();
        window_ = nullptr;
    }
    values_.config_preview = false;
}

void SaverPreview::request_stop() {
    if (window_) window_->request_stop();
}

}  // namespace vistaloom
