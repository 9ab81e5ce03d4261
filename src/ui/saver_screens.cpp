#include "ui/saver_screens.h"

#include <QGuiApplication>
#include <QScreen>
#include <filesystem>

#include "platform/screen_metrics.h"
#include "platform/window_visibility.h"
#include "saver/shared_cursor_desktop.h"

namespace vistaloom {

struct SaverScreens::Entry {
    QScreen* screen = nullptr;
    SaverSettings settings;
    StartupValues values;
    std::unique_ptr<SharedCursorDesktop> desktop;
    // The session refers to the window, so it is declared after it and goes first.
    std::unique_ptr<FrmMain> window;
    std::unique_ptr<SaverSession> session;
    // Tells the session when nobody can see its window; goes before the session.
    std::unique_ptr<WindowVisibility> visibility;
    bool removed = false;   // its screen went away: its end is not the end of the run
    bool unloaded = false;  // its window has closed
};

SaverScreens::SaverScreens(SaverScreensParts parts) : parts_(std::move(parts)) {}

SaverScreens::~SaverScreens() {
    // Windows that are still up must not call back into a half-destroyed object.
    for (auto& entry : entries_)
        if (entry->window) entry->window->disconnect(this);
}

std::string SaverScreens::numbered_path(const std::string& path, int number) {
    if (number <= 1 || path.empty()) return path;
    const std::filesystem::path p(path);
    std::filesystem::path numbered = p.parent_path() / p.stem();
    numbered += "-" + std::to_string(number);
    numbered += p.extension();
    return numbered.string();
}

void SaverScreens::open() {
    QScreen* primary = QGuiApplication::primaryScreen();
    if (primary) add_screen(primary);
    for (QScreen* screen : QGuiApplication::screens())
        if (screen != primary) add_screen(screen);
    connect(qApp, &QGuiApplication::screenAdded, this, &SaverScreens::add_screen);
    connect(qApp, &QGuiApplication::screenRemoved, this, &SaverScreens::remove_screen);
    check_all_unloaded();
}

void SaverScreens::add_screen(QScreen* screen) {
    if (!screen || ending_ || finished_) return;
    for (const auto& entry : entries_)
        if (entry->screen == screen && !entry->removed) return;
    const bool primary = entries_.empty();

    auto entry = std::make_unique<Entry>();
    entry->screen = screen;
    entry->settings = parts_.settings;
    entry->values = parts_.values;
    // Window measures follow the screen the window is on, not the one the program started on.
    const TwipsPerPixel twips = screen_twips_per_pixel(screen);
    entry->values.twips_per_pixel_x = twips.x;
    entry->values.twips_per_pixel_y = twips.y;

    FrmMainOptions window_options = parts_.window_options;
    window_options.screen = screen;
    window_options.screenshot = numbered_path(window_options.screenshot, ++screens_numbered_);
    const SaverSeams& s = parts_.seams;
    entry->desktop = std::make_unique<SharedCursorDesktop>(s.desktop, cursor_hidden_by_);
    MediaDevice& media = primary ? s.media : parts_.silent;
    SaverSeams seams{s.clock, s.random, *entry->desktop, media, s.registry, s.folders};
    if (!primary) {
        entry->settings.mute_audio = "1";
        entry->settings.save_wallpaper = "0";
    }

    entry->window = std::make_unique<FrmMain>(window_options);
    SaverSessionOptions session_options = parts_.session_options;
    session_options.presentation = entry->window->presentation_name();
    entry->session = std::make_unique<SaverSession>(entry->settings, entry->values, seams,
                                                    *entry->window, session_options);
    entry->window->attach(*entry->session);
    Entry* raw = entry.get();
    connect(entry->window.get(), &FrmMain::unloaded, this, [this, raw] { on_unloaded(raw); });
    entries_.push_back(std::move(entry));
    raw->window->showFullScreen();
    raw->visibility = WindowVisibility::watch(static_cast<uint64_t>(raw->window->winId()));
    if (raw->visibility) {
        connect(raw->visibility.get(), &WindowVisibility::shown_changed, raw->window.get(),
                [raw](bool shown) { raw->session->set_shown(shown); });
    }
}

void SaverScreens::remove_screen(QScreen* screen) {
    for (auto& entry : entries_) {
        if (entry->screen != screen || entry->removed) continue;
        entry->removed = true;
        if (entry->unloaded) {
            forget(entry.get());
        } else {
            entry->window->request_stop();
        }
        return;
    }
}

void SaverScreens::request_stop() {
    ending_ = true;
    for (auto& entry : entries_)
        if (!entry->unloaded) entry->window->request_stop();
    check_all_unloaded();
}

void SaverScreens::on_unloaded(Entry* entry) {
    if (entry->unloaded) return;
    entry->unloaded = true;
    if (entry->removed) {
        forget(entry);
    } else if (!ending_) {
        // Input on one screen, or its close, ends the run on all of them.
        ending_ = true;
        for (auto& other : entries_)
            if (!other->unloaded) other->window->request_stop();
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
        if (!entry->unloaded) return;
    finished_ = true;
    emit all_unloaded();
}

std::vector<FrmMain*> SaverScreens::windows() const {
    std::vector<FrmMain*> out;
    for (const auto& entry : entries_)
        if (!entry->unloaded) out.push_back(entry->window.get());
    return out;
}

std::vector<SaverSession*> SaverScreens::sessions() const {
    std::vector<SaverSession*> out;
    for (const auto& entry : entries_)
        if (!entry->unloaded) out.push_back(entry->session.get());
    return out;
}

}  // namespace vistaloom
