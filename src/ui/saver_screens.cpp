#include "ui/saver_screens.h"

#include <QGuiApplication>
#include <QScreen>
#include <filesystem>

#include "platform/host_window.h"
#include "platform/screen_metrics.h"
#include "ui/frame_log.h"
#include "ui/saver_screen.h"
#include "ui/screen_viewer.h"

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

ScreenArea area_of(const QScreen* screen) {
    const QRect g = screen->geometry();
    return {g.x(), g.y(), g.width(), g.height(), screen->devicePixelRatio()};
}

}  // namespace

// A screen of the run: one that runs a scene (`saver`), or one that shows another's
// (`viewer`, with `scene` the entry it shows).
struct SaverScreens::Entry {
    QScreen* screen = nullptr;
    std::unique_ptr<SaverScreen> saver;
    std::unique_ptr<ScreenViewer> viewer;
    Entry* scene = nullptr;
    bool music = false;    // its session has the real player
    bool removed = false;  // its screen went away: its end is not the end of the run
    bool ended = false;    // its window has closed (a viewer: it has been let go)
};

SaverScreens::SaverScreens(SaverScreensParts parts) : parts_(std::move(parts)) {}

SaverScreens::~SaverScreens() {
    // Savers that are still up must not call back into a half-destroyed object.
    for (auto& entry : entries_) {
        if (entry->saver) entry->saver->disconnect(this);
        if (entry->viewer) entry->viewer->disconnect(this);
    }
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
    std::vector<QScreen*> screens;
    if (primary) screens.push_back(primary);
    for (QScreen* screen : QGuiApplication::screens())
        if (screen != primary) screens.push_back(screen);
    place(screens);
    connect(qApp, &QGuiApplication::screenAdded, this, &SaverScreens::add_screen);
    connect(qApp, &QGuiApplication::screenRemoved, this, &SaverScreens::remove_screen);
    check_all_unloaded();
}

void SaverScreens::place(const std::vector<QScreen*>& screens) {
    if (screens.empty()) return;
    std::vector<ScreenArea> areas;
    for (QScreen* screen : screens) areas.push_back(area_of(screen));
    const ScreensPlan plan = plan_screens(parts_.mode, areas);
    std::optional<SaverWindowHost::SceneArea> span;
    if (parts_.mode == ScreenMode::Span) {
        span_origin_ = span_origin(areas);
        span = SaverWindowHost::SceneArea{plan.scene_width, plan.scene_height, plan.scene_left,
                                          plan.scene_top};
    }
    Entry* scene = add(screens[0], span);
    for (size_t i = 1; i < screens.size(); ++i) {
        const ScreenPlan& p = plan.screens[i];
        if (p.role == ScreenRole::Scene || !scene) {
            add(screens[i]);
        } else {
            add_viewer(screens[i], view_shown(p), scene);
        }
    }
}

void SaverScreens::add_screen(QScreen* screen) {
    if (!screen || !full_screen()) return;
    for (const auto& entry : entries_)
        if (entry->screen == screen && !entry->removed) return;
    Entry* scene = live_scene();
    if (!scene) return place({screen});
    const ScreenPlan plan =
        plan_added_screen(parts_.mode, area_of(scene->screen), span_origin_, area_of(screen));
    if (plan.role == ScreenRole::Scene) return place({screen});
    add_viewer(screen, view_shown(plan), scene);
}

SaverScreens::Entry* SaverScreens::live_scene() const {
    for (const auto& entry : entries_)
        if (entry->saver && !entry->removed && !entry->ended) return entry.get();
    return nullptr;
}

SaverScreens::Entry* SaverScreens::add(QScreen* screen,
                                       std::optional<SaverWindowHost::SceneArea> span) {
    if (ending_ || finished_) return nullptr;
    // The first scene has the player; so does the one that follows it when its screen went.
    bool music_taken = false;
    for (const auto& entry : entries_)
        music_taken = music_taken || (entry->music && !entry->ended && !entry->removed);
    const bool primary = entries_.empty() || !music_taken;
    const SaverSeams& s = parts_.seams;
    SaverScreenRecipe recipe{
        parts_.settings,
        parts_.values,
        {s.clock, s.random, s.desktop, primary ? s.media : parts_.silent, s.registry, s.folders},
        parts_.window_options,
        parts_.session_options,
        parts_.host};
    recipe.window_options.screen = screen;
    recipe.window_options.span = span;
    recipe.window_options.picture_in_memory =
        parts_.mode == ScreenMode::Mirror || parts_.mode == ScreenMode::Span;
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
    entry->screen = screen;
    entry->music = primary;
    entry->saver = std::make_unique<SaverScreen>(std::move(recipe), cursor_hidden_by_);
    Entry* raw = entry.get();
    connect(raw->saver.get(), &SaverScreen::ended, this, [this, raw] { on_ended(raw); });
    raw->saver->window().set_present_observer(
        [this, raw](const QRegion& changed) { show_scene_change(raw, changed); });
    const bool first = entries_.empty();
    entries_.push_back(std::move(entry));
    if (first && parts_.frame_log) parts_.frame_log->follow(*raw->saver);
    raw->saver->show();
    return raw;
}

void SaverScreens::add_viewer(QScreen* screen, std::optional<SceneView> view, Entry* scene) {
    if (ending_ || finished_) return;
    auto entry = std::make_unique<Entry>();
    entry->screen = screen;
    entry->scene = scene;
    entry->viewer = std::make_unique<ScreenViewer>(
        screen, view, numbered_path(parts_.window_options.screenshot, ++screens_numbered_));
    ScreenViewer* viewer = entry->viewer.get();
    // Input on any screen ends the run: the scene shown here takes it as its own.
    connect(viewer, &ScreenViewer::key_pressed, this, [scene] {
        if (!scene->ended) scene->saver->session().key_press();
    });
    connect(viewer, &ScreenViewer::mouse_pressed, this, [scene] {
        if (!scene->ended) scene->saver->session().mouse_down();
    });
    connect(viewer, &ScreenViewer::mouse_moved, this, [scene] {
        if (!scene->ended) scene->saver->session().mouse_move();
    });
    entries_.push_back(std::move(entry));
    // A screen plugged in during the run starts with the scene as it is.
    FrmMain& window = scene->saver->window();
    if (const Surface* picture = window.scene_picture(); picture && !picture->empty() && view)
        viewer->scene_changed(
            *picture, window.scene_picture_origin(),
            QRegion(view->source.x, view->source.y, view->source.w, view->source.h));
    viewer->show_full_screen();
}

void SaverScreens::show_scene_change(Entry* scene, const QRegion& changed) {
    const Surface* picture = scene->saver->window().scene_picture();
    if (!picture) return;
    const QPoint origin = scene->saver->window().scene_picture_origin();
    for (const auto& entry : entries_)
        if (entry->viewer && entry->scene == scene && !entry->ended)
            entry->viewer->scene_changed(*picture, origin, changed);
}

void SaverScreens::remove_screen(QScreen* screen) {
    for (auto& entry : entries_) {
        if (entry->screen != screen || entry->removed) continue;
        entry->removed = true;
        if (entry->viewer) {
            entry->ended = true;
            entry->viewer->disconnect(this);
            entry->viewer->hide();
            forget(entry.get());
            return;
        }
        // The screens that showed this scene start one of their own, by the mode.
        std::vector<QScreen*> orphans;
        for (auto& other : entries_) {
            if (!other->viewer || other->scene != entry.get() || other->ended) continue;
            other->ended = true;
            other->removed = true;
            other->viewer->disconnect(this);
            other->viewer->hide();
            orphans.push_back(other->screen);
            forget(other.get());
        }
        if (entry->ended) {
            forget(entry.get());
        } else {
            entry->saver->request_stop();
        }
        place(orphans);
        return;
    }
}

void SaverScreens::request_stop() {
    ending_ = true;
    for (auto& entry : entries_)
        if (!entry->ended && entry->saver) entry->saver->request_stop();
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
            if (!other->ended && other->saver) other->saver->request_stop();
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

// Viewers show a scene; they never hold the run up.
void SaverScreens::check_all_unloaded() {
    if (finished_) return;
    for (const auto& entry : entries_)
        if (entry->saver && !entry->ended) return;
    finished_ = true;
    finish_viewers();
    emit all_unloaded();
}

void SaverScreens::finish_viewers() {
    for (auto& entry : entries_) {
        if (!entry->viewer || entry->ended) continue;
        entry->ended = true;
        if (!entry->viewer->write_screenshot()) viewer_screenshot_failed_ = true;
        entry->viewer->hide();
    }
}

std::vector<FrmMain*> SaverScreens::windows() const {
    std::vector<FrmMain*> out;
    for (const auto& entry : entries_)
        if (!entry->ended && entry->saver) out.push_back(&entry->saver->window());
    return out;
}

bool SaverScreens::output_failed() const {
    if (viewer_screenshot_failed_) return true;
    for (const auto& entry : entries_)
        if (entry->saver && entry->saver->window().screenshot_failed()) return true;
    return false;
}

std::vector<SaverSession*> SaverScreens::sessions() const {
    std::vector<SaverSession*> out;
    for (const auto& entry : entries_)
        if (!entry->ended && entry->saver) out.push_back(&entry->saver->session());
    return out;
}

std::vector<ScreenViewer*> SaverScreens::viewers() const {
    std::vector<ScreenViewer*> out;
    for (const auto& entry : entries_)
        if (!entry->ended && entry->viewer) out.push_back(entry->viewer.get());
    return out;
}

}  // namespace vistaloom
