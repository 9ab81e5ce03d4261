#include "ui/saver_screens.h"

#include <QGuiApplication>
#include <QScreen>
#include <filesystem>

#include "platform/host_window.h"
#include "platform/screen_metrics.h"
#include "ui/frame_log.h"
#include "ui/saver_screen.h"

namespace vistaloom {

namespace {

// A settings dialog's preview pane is a host window smaller than any screen; a daemon's saver
// window covers its screen. Music there would start as soon as the user picks the saver in a
// list, before anything was asked to run.
bool is_preview_pane(const HostWindow* host) {
    if (!host) return false;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QSize real = screen->geometry().size() * screen->devicePixelRatio();
        if (host->size().width() >= real.width() || host->size().height() >= real.height())
            return false;
    }
    return true;
}

}  // namespace

struct SaverScreens::Entry {
    std::unique_ptr<SaverScreen> saver;
    bool removed = false;  // its screen went away: its end is not the end of the run
    bool ended = false;    // its window has closed
};

SaverScreens::SaverScreens(SaverScreensParts parts) : parts_(std::move(parts)) {}

SaverScreens::~SaverScreens() {
    // Savers that are still up must not call back into a half-destroyed object.
    for (auto& entry : entries_) entry->saver->disconnect(this);
}

std::string SaverScreens::numbered_path(const std::string& path, int number) {
    if (number <= 1 || path.empty()) return path;
    const std::filesystem::path p(path);
    std::filesystem::path numbered = p.parent_path() / p.stem();
    numbered += "-" + std::to_string(number);
    numbered += p.extension();
    return numbered.string();
}

bool SaverScreens::full_screen() const {
    return parts_.host == nullptr &&
           parts_.window_options.placement == FrmMainOptions::Placement::FullScreen;
}

void SaverScreens::open() {
    if (!full_screen()) {
        add(parts_.window_options.screen);
        check_all_unloaded();
        return;
    }
    QScreen* primary = QGuiApplication::primaryScreen();
    if (primary) add_screen(primary);
    for (QScreen* screen : QGuiApplication::screens())
        if (screen != primary) add_screen(screen);
    connect(qApp, &QGuiApplication::screenAdded, this, &SaverScreens::add_screen);
    connect(qApp, &QGuiApplication::screenRemoved, this, &SaverScreens::remove_screen);
    check_all_unloaded();
}

void SaverScreens::add_screen(QScreen* screen) {
    if (!screen || !full_screen()) return;
    for (const auto& entry : entries_)
        if (entry->saver->screen() == screen && !entry->removed) return;
    add(screen);
}

void SaverScreens::add(QScreen* screen) {
    if (ending_ || finished_) return;
    const bool primary = entries_.empty();
    const SaverSeams& s = parts_.seams;
    SaverScreenRecipe recipe{parts_.settings,
                             parts_.values,
                             {s.clock, s.random, s.desktop, primary ? s.media : parts_.silent,
                              s.registry, s.folders},
                             parts_.window_options,
                             parts_.session_options,
                             parts_.host};
    recipe.window_options.screen = screen;
    recipe.window_options.screenshot =
        numbered_path(recipe.window_options.screenshot, ++screens_numbered_);
    if (screen) {
        // Window measures follow the screen the window is on, not the one the program
        // started on.
        const TwipsPerPixel twips = screen_twips_per_pixel(screen);
        recipe.values.twips_per_pixel_x = twips.x;
        recipe.values.twips_per_pixel_y = twips.y;
    }
    if (!primary) recipe.settings.save_wallpaper = "0";
    if (!primary || is_preview_pane(parts_.host)) recipe.settings.mute_audio = "1";

    auto entry = std::make_unique<Entry>();
    entry->saver = std::make_unique<SaverScreen>(std::move(recipe), cursor_hidden_by_);
    Entry* raw = entry.get();
    connect(raw->saver.get(), &SaverScreen::ended, this, [this, raw] { on_ended(raw); });
    entries_.push_back(std::move(entry));
    if (primary && parts_.frame_log) parts_.frame_log->follow(*raw->saver);
    raw->saver->show();
}

void SaverScreens::remove_screen(QScreen* screen) {
    for (auto& entry : entries_) {
        if (entry->saver->screen() != screen || entry->removed) continue;
        entry->removed = true;
        if (entry->ended) {
            forget(entry.get());
        } else {
            entry->saver->request_stop();
        }
        return;
    }
}

void SaverScreens::request_stop() {
    ending_ = true;
    for (auto& entry : entries_)
        if (!entry->ended) entry->saver->request_stop();
    check_all_unloaded();
}

void SaverScreens::on_ended(Entry* entry) {
    if (entry->ended) return;
    entry->ended = true;
    if (entry->removed) {
        forget(entry);
    } else if (!ending_) {
        // Input on one screen, or its close, ends the run on all of them.
        ending_ = true;
        for (auto& other : entries_)
            if (!other->ended) other->saver->request_stop();
    }
    check_all_unloaded();
}

// The window is deleted once the event that closed it is over, never inside it.
void SaverScreens::forget(Entry* entry) {
    QMetaObject::invokeMethod(
        this,
        [this, entry] {
            for (auto it = entries_.begin(); it != entries_.end(); ++it) {
                if (it->get() != entry) continue;
                entries_.erase(it);
                break;
            }
            check_all_unloaded();
        },
        Qt::QueuedConnection);
}

void SaverScreens::check_all_unloaded() {
    if (finished_) return;
    for (const auto& entry : entries_)
        if (!entry->ended) return;
    finished_ = true;
    emit all_unloaded();
}

std::vector<FrmMain*> SaverScreens::windows() const {
    std::vector<FrmMain*> out;
    for (const auto& entry : entries_)
        if (!entry->ended) out.push_back(&entry->saver->window());
    return out;
}

bool SaverScreens::output_failed() const {
    for (const auto& entry : entries_)
        if (entry->saver->window().screenshot_failed()) return true;
    return false;
}

std::vector<SaverSession*> SaverScreens::sessions() const {
    std::vector<SaverSession*> out;
    for (const auto& entry : entries_)
        if (!entry->ended) out.push_back(&entry->saver->session());
    return out;
}

}  // namespace vistaloom
