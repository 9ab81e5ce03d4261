#include "ui/saver_preview.h"

#include <QEventLoop>

#include "startup/settings_store.h"
#include "startup/startup_values.h"
#include "ui/saver_screen.h"

namespace vistaloom {

SaverPreview::SaverPreview(SaverSettings& settings, StartupValues& values, SettingsBackend& backend,
                           SaverSeams seams, SaverSessionOptions session_options)
    : settings_(settings),
      values_(values),
      backend_(backend),
      seams_(seams),
      session_options_(std::move(session_options)) {}

void SaverPreview::run() {
    if (screen_) return;
    ++runs_;
    save_settings(settings_, backend_);
    values_.config_preview = true;
    {
        // Declared before the screen, so it outlives the session that takes from it.
        std::unique_ptr<PictureSource> pictures =
            pictures_for_run_ ? pictures_for_run_(settings_) : nullptr;
        SaverScreenRecipe recipe{settings_, values_, seams_, {}, session_options_};
        if (pictures) recipe.session_options.pictures = pictures.get();
        recipe.window_options.config_preview = true;
        SaverScreen screen(std::move(recipe), cursor_hidden_by_);
        screen_ = &screen;
        QEventLoop loop;
        QObject::connect(&screen, &SaverScreen::ended, &loop, &QEventLoop::quit,
                         Qt::QueuedConnection);
        screen.show();
        loop.exec();
        screen_ = nullptr;
    }
    values_.config_preview = false;
}

void SaverPreview::request_stop() {
    if (screen_) screen_->request_stop();
}

}  // namespace vistaloom
