#include "ui/layer_saver_screens.h"

#include <cstdio>

#include "ui/frame_log.h"
#include "ui/layer_saver_screen.h"
#include "ui/layer_screen_viewer.h"

namespace vistaloom {

// An output of the run: one that runs a scene (`saver`), or one that shows another's
// (`viewer`, with `scene` the entry it shows).
struct LayerSaverScreens::Entry {
    uint32_t output = 0;
    std::unique_ptr<LayerSaverScreen> saver;
    std::unique_ptr<LayerScreenViewer> viewer;
    Entry* scene = nullptr;
    bool music = false;    // its session has the real player
    bool removed = false;  // its output went away: its end is not the end of the run
    bool ended = false;    // its run is over (a viewer: it has been let go)
};

LayerSaverScreens::LayerSaverScreens(SaverScreensParts parts,
                                     std::unique_ptr<WaylandLayerShell> shell)
    : parts_(std::move(parts)), shell_(std::move(shell)) {}

LayerSaverScreens::~LayerSaverScreens() {
    for (auto& entry : entries_) {
        if (entry->saver) entry->saver->disconnect(this);
        if (entry->viewer) entry->viewer->disconnect(this);
    }
    // The surfaces go before the connection they live on, viewers before the scenes they read.
    for (auto& entry : entries_) entry->viewer.reset();
    entries_.clear();
}

void LayerSaverScreens::open() {
    // The toolkit's runs say their path only in the --fps line; a run with no window says it
    // where a measurement from outside can read it too.
    if (parts_.frame_log) parts_.frame_log->note("presentation", "wayland-layer");
    starting_.emplace();
    shell_->start(*this);
    const std::vector<uint32_t> outputs = std::move(*starting_);
    starting_.reset();
    place(outputs);
    // A compositor without outputs has nothing to show the saver on.
    if (entries_.empty()) {
        std::fprintf(stderr, "vistaloom: the Wayland compositor has no output to show on\n");
        failed_ = true;
    }
    check_all_unloaded();
}

void LayerSaverScreens::output_added(uint32_t id) {
    if (ending_ || finished_) return;
    if (starting_) return starting_->push_back(id);
    Entry* scene = live_scene();
    if (!scene) return place({id});
    const ScreenPlan plan = plan_added_screen(parts_.mode, shell_->output_area(scene->output),
                                              span_origin_, shell_->output_area(id));
    if (plan.role == ScreenRole::Scene) return place({id});
    add_viewer(id, view_shown(plan), scene);
}

void LayerSaverScreens::place(const std::vector<uint32_t>& outputs) {
    if (outputs.empty()) return;
    std::vector<ScreenArea> areas;
    for (uint32_t id : outputs) areas.push_back(shell_->output_area(id));
    const ScreensPlan plan = plan_screens(parts_.mode, areas);
    std::optional<SaverWindowHost::SceneArea> span;
    if (parts_.mode == ScreenMode::Span && outputs.size() > 1) {
        span_origin_ = span_origin(areas);
        span = SaverWindowHost::SceneArea{plan.scene_width, plan.scene_height, plan.scene_left,
                                          plan.scene_top};
    }
    Entry* scene = add(outputs[0], span);
    for (size_t i = 1; i < outputs.size(); ++i) {
        const ScreenPlan& p = plan.screens[i];
        if (p.role == ScreenRole::Scene || !scene) {
            add(outputs[i]);
        } else {
            add_viewer(outputs[i], view_shown(p), scene);
        }
    }
}

LayerSaverScreens::Entry* LayerSaverScreens::live_scene() const {
    for (const auto& entry : entries_)
        if (entry->saver && !entry->removed && !entry->ended) return entry.get();
    return nullptr;
}

LayerSaverScreens::Entry* LayerSaverScreens::add(uint32_t output,
                                                 std::optional<SaverWindowHost::SceneArea> span) {
    if (ending_ || finished_) return nullptr;
    // The first scene has the player; so does the one that follows it when its output went.
    bool music_taken = false;
    for (const auto& entry : entries_)
        music_taken = music_taken || (entry->music && !entry->ended && !entry->removed);
    const bool primary = !music_taken;
    const bool first = entries_.empty();
    const SaverSeams& s = parts_.seams;
    LayerSaverScreenRecipe recipe{
        parts_.settings,
        parts_.values,
        {s.clock, s.random, s.desktop, primary ? s.media : parts_.silent, s.registry, s.folders},
        parts_.session_options,
        SaverScreens::numbered_path(parts_.window_options.screenshot, ++screens_numbered_),
        span};
    if (!primary) {
        recipe.settings.save_wallpaper = "0";
        recipe.settings.mute_audio = "1";
    }
    auto entry = std::make_unique<Entry>();
    entry->output = output;
    entry->music = primary;
    entry->saver =
        std::make_unique<LayerSaverScreen>(std::move(recipe), *shell_, shell_->output(output),
                                           shell_->output_scale(output), cursor_hidden_by_);
    Entry* raw = entry.get();
    connect(raw->saver.get(), &LayerSaverScreen::ended, this, [this, raw] { on_ended(raw); });
    connect(raw->saver.get(), &LayerSaverScreen::surface_closed, this,
            [this, raw] { remove(raw); });
    raw->saver->set_present_observer(
        [this, raw](const QRegion& changed) { show_scene_change(raw, changed); });
    entries_.push_back(std::move(entry));
    if (first && parts_.frame_log)
        raw->saver->set_schedule_observer(parts_.frame_log->observer_for(raw->saver->session()));
    return raw;
}

void LayerSaverScreens::add_viewer(uint32_t output, std::optional<SceneView> view, Entry* scene) {
    if (ending_ || finished_) return;
    auto entry = std::make_unique<Entry>();
    entry->output = output;
    entry->scene = scene;
    entry->viewer = std::make_unique<LayerScreenViewer>(
        *shell_, shell_->output(output), shell_->output_scale(output), view,
        SaverScreens::numbered_path(parts_.window_options.screenshot, ++screens_numbered_));
    Entry* raw = entry.get();
    connect(raw->viewer.get(), &LayerScreenViewer::surface_closed, this,
            [this, raw] { remove(raw); });
    entries_.push_back(std::move(entry));
    // An output plugged in during the run starts with the scene as it is.
    const Surface& picture = scene->saver->scene_picture();
    if (!picture.empty() && view)
        raw->viewer->scene_changed(
            picture, scene->saver->scene_picture_origin(),
            QRegion(view->source.x, view->source.y, view->source.w, view->source.h));
}

void LayerSaverScreens::show_scene_change(Entry* scene, const QRegion& changed) {
    for (const auto& entry : entries_)
        if (entry->viewer && entry->scene == scene && !entry->ended)
            // Asked for only where a viewer reads it: the whole picture may cost a copy.
            entry->viewer->scene_changed(scene->saver->scene_picture(),
                                         scene->saver->scene_picture_origin(), changed);
}

void LayerSaverScreens::output_removed(uint32_t id) {
    for (auto& entry : entries_)
        if (entry->output == id && !entry->removed) return remove(entry.get());
}

void LayerSaverScreens::remove(Entry* entry) {
    if (entry->removed) return;
    entry->removed = true;
    if (entry->viewer) {
        entry->ended = true;
        entry->viewer->disconnect(this);
        forget(entry);
        return;
    }
    // The outputs that showed this scene start one of their own, by the mode.
    std::vector<uint32_t> orphans;
    for (auto& other : entries_) {
        if (!other->viewer || other->scene != entry || other->ended) continue;
        other->ended = true;
        other->removed = true;
        other->viewer->disconnect(this);
        orphans.push_back(other->output);
        forget(other.get());
    }
    if (entry->ended) {
        forget(entry);
    } else {
        entry->saver->request_stop();
    }
    place(orphans);
}

// Input on a viewer is input on the scene it shows.
LayerSaverScreen* LayerSaverScreens::saver_for(wl_surface* surface) {
    for (auto& entry : entries_) {
        if (entry->ended) continue;
        if (entry->saver && (surface == nullptr || entry->saver->surface() == surface))
            return entry->saver.get();
        if (entry->viewer && entry->viewer->surface() == surface && !entry->scene->ended)
            return entry->scene->saver.get();
    }
    return nullptr;
}

void LayerSaverScreens::key_pressed(wl_surface* surface) {
    if (LayerSaverScreen* saver = saver_for(surface)) saver->key_press();
}

void LayerSaverScreens::button_pressed(wl_surface* surface) {
    if (LayerSaverScreen* saver = saver_for(surface)) saver->mouse_down();
}

void LayerSaverScreens::pointer_moved(wl_surface* surface) {
    if (LayerSaverScreen* saver = saver_for(surface)) saver->mouse_move();
}

// With the compositor gone there is nothing left to show on; the run ends with its clean-up.
void LayerSaverScreens::connection_lost(const std::string& why) {
    std::fprintf(stderr, "vistaloom: the Wayland compositor has gone (%s)\n", why.c_str());
    request_stop();
}

void LayerSaverScreens::request_stop() {
    ending_ = true;
    for (auto& entry : entries_)
        if (!entry->ended && entry->saver) entry->saver->request_stop();
    check_all_unloaded();
}

void LayerSaverScreens::on_ended(Entry* entry) {
    if (entry->ended) return;
    entry->ended = true;
    if (entry->removed) {
        forget(entry);
    } else if (!ending_) {
        // Input on one output ends the run on all of them.
        ending_ = true;
        for (auto& other : entries_)
            if (!other->ended && other->saver) other->saver->request_stop();
    }
    check_all_unloaded();
}

// The surface goes once the event that ended it is over, never inside it.
void LayerSaverScreens::forget(Entry* entry) {
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

// Viewers never hold the run up. Every output unplugged is not the end of the run: it goes on
// when one comes back.
void LayerSaverScreens::check_all_unloaded() {
    if (finished_) return;
    bool any_saver = false;
    bool removed_only = true;
    for (const auto& entry : entries_) {
        if (!entry->saver) continue;
        any_saver = true;
        if (!entry->ended) return;
        if (!entry->removed) removed_only = false;
    }
    if (!ending_ && (any_saver ? removed_only : !failed_)) return;
    finished_ = true;
    finish_viewers();
    emit all_unloaded();
}

void LayerSaverScreens::finish_viewers() {
    for (auto& entry : entries_) {
        if (!entry->viewer || entry->ended) continue;
        entry->ended = true;
        if (!entry->viewer->write_screenshot()) failed_ = true;
    }
}

bool LayerSaverScreens::output_failed() const {
    if (failed_) return true;
    for (const auto& entry : entries_)
        if (entry->saver && entry->saver->screenshot_failed()) return true;
    return false;
}

}  // namespace vistaloom
