#include "ui/saver_screen.h"

#include "platform/host_window.h"
#include "platform/window_visibility.h"
#include "saver/shared_cursor_desktop.h"

namespace vistaloom {

SaverScreen::SaverScreen(SaverScreenRecipe recipe, int& cursor_hidden_by)
    : recipe_(std::move(recipe)) {
    const SaverSeams& s = recipe_.seams;
    desktop_ = std::make_unique<SharedCursorDesktop>(s.desktop, cursor_hidden_by);
    const SaverSeams seams{s.clock, s.random, *desktop_, s.media, s.registry, s.folders};
    if (recipe_.host) {
        recipe_.window_options.placement = FrmMainOptions::Placement::Embedded;
        recipe_.session_options.embedded = true;
    }
    window_ = std::make_unique<FrmMain>(recipe_.window_options);
    recipe_.session_options.presentation = window_->presentation_name();
    session_ = std::make_unique<SaverSession>(recipe_.settings, recipe_.values, seams, *window_,
                                              recipe_.session_options);
    window_->attach(*session_);
    connect(window_.get(), &FrmMain::unloaded, this, [this] {
        if (ended_) return;
        ended_ = true;
        emit ended();
    });
    if (recipe_.host) {
        connect(recipe_.host, &HostWindow::gone, this, &SaverScreen::request_stop);
    }
}

SaverScreen::~SaverScreen() {
    // A window still up must not call back into a half-destroyed screen.
    if (window_) window_->disconnect(this);
}

void SaverScreen::show() {
    switch (recipe_.window_options.placement) {
        case FrmMainOptions::Placement::Embedded:
            recipe_.host->adopt(*window_);
            window_->show();
            break;
        case FrmMainOptions::Placement::Windowed:
            window_->show();
            break;
        case FrmMainOptions::Placement::FullScreen:
            // The configuration window waits for its preview; nothing else may be used meanwhile.
            if (recipe_.window_options.config_preview)
                window_->setWindowModality(Qt::ApplicationModal);
            window_->showFullScreen();
            break;
    }
    watch_visibility();
}

void SaverScreen::request_stop() {
    if (!ended_) window_->request_stop();
}

// Nobody sees a covered, unmapped or minimised window, or one whose host is hidden: the
// session then stops drawing until it is seen again.
void SaverScreen::watch_visibility() {
    std::vector<uint64_t> hosts;
    if (recipe_.host) hosts.push_back(recipe_.host->id());
    visibility_ = WindowVisibility::watch(static_cast<uint64_t>(window_->winId()), hosts);
    if (!visibility_) return;
    connect(visibility_.get(), &WindowVisibility::shown_changed, this,
            [this](bool shown) { session_->set_shown(shown); });
}

}  // namespace vistaloom
