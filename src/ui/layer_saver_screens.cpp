#include "ui/layer_saver_screens.h"

#include <cstdio>

#include "ui/frame_log.h"
#include "ui/layer_saver_screen.h"

namespace vistaloom {

struct LayerSaverScreens::Entry {
    uint32_t output = 0;
    std::unique_ptr<LayerSaverScreen> saver;
    bool removed = false;  // its output went away: its end is not the end of the run
    bool ended = false;
};

LayerSaverScreens::LayerSaverScreens(SaverScreensParts parts,
                                     std::unique_ptr<WaylandLayerShell> shell)
    : parts_(std::move(parts)), shell_(std::move(shell)) {}

LayerSaverScreens::~LayerSaverScreens() {
    for (auto& entry : entries_) entry->saver->disconnect(this);
    // The surfaces go before the connection they live on.
    entries_.clear();
}

void LayerSaverScreens::open() {
    // The toolkit's runs say their path only in the --fps line; a run with no window says it
    // where a measurement from outside can read it too.
    if (parts_.frame_log) parts_.frame_log->note("presentation", "wayland-layer");
    shell_->start(*this);
    // A compositor without outputs has nothing to show the saver on.
    if (entries_.empty()) {
        std::fprintf(stderr, "vistaloom: the Wayland compositor has no output to show on\n");
        failed_ = true;
    }
    check_all_unloaded();
}

void LayerSaverScreens::output_added(uint32_t id) {
    if (ending_ || finished_) return;
    const bool primary = entries_.empty();
    const SaverSeams& s = parts_.seams;
    LayerSaverScreenRecipe recipe{
        parts_.settings,
        parts_.values,
        {s.clock, s.random, s.desktop, primary ? s.media : parts_.silent, s.registry, s.folders},
        parts_.session_options,
        SaverScreens::numbered_path(parts_.window_options.screenshot, ++screens_numbered_)};
    if (!primary) {
        recipe.settings.save_wallpaper = "0";
        recipe.settings.mute_audio = "1";
    }
    auto entry = std::make_unique<Entry>();
    entry->output = id;
    entry->saver =
        std::make_unique<LayerSaverScreen>(std::move(recipe), *shell_, shell_->output(id),
                                           shell_->output_scale(id), cursor_hidden_by_);
    Entry* raw = entry.get();
    connect(raw->saver.get(), &LayerSaverScreen::ended, this, [this, raw] { on_ended(raw); });
    connect(raw->saver.get(), &LayerSaverScreen::surface_closed, this,
            [this, raw] { remove(raw); });
    entries_.push_back(std::move(entry));
    if (primary && parts_.frame_log)
        raw->saver->set_schedule_observer(parts_.frame_log->observer_for(raw->saver->session()));
}

void LayerSaverScreens::output_removed(uint32_t id) {
    for (auto& entry : entries_)
        if (entry->output == id && !entry->removed) return remove(entry.get());
}

void LayerSaverScreens::remove(Entry* entry) {
    if (entry->removed) return;
    entry->removed = true;
    if (entry->ended) {
        forget(entry);
    } else {
        entry->saver->request_stop();
    }
}

LayerSaverScreens::Entry* LayerSaverScreens::entry_for(wl_surface* surface) {
    for (auto& entry : entries_)
        if (!entry->ended && (surface == nullptr || entry->saver->surface() == surface))
            return entry.get();
    return nullptr;
}

void LayerSaverScreens::key_pressed(wl_surface* surface) {
    if (Entry* entry = entry_for(surface)) entry->saver->key_press();
}

void LayerSaverScreens::button_pressed(wl_surface* surface) {
    if (Entry* entry = entry_for(surface)) entry->saver->mouse_down();
}

void LayerSaverScreens::pointer_moved(wl_surface* surface) {
    if (Entry* entry = entry_for(surface)) entry->saver->mouse_move();
}

// With the compositor gone there is nothing left to show on; the run ends with its clean-up.
void LayerSaverScreens::connection_lost(const std::string& why) {
    std::fprintf(stderr, "vistaloom: the Wayland compositor has gone (%s)\n", why.c_str());
    request_stop();
}

void LayerSaverScreens::request_stop() {
    ending_ = true;
    for (auto& entry : entries_)
        if (!entry->ended) entry->saver->request_stop();
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
            if (!other->ended) other->saver->request_stop();
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

// An output unplugged is not the end of the run while another still shows it.
void LayerSaverScreens::check_all_unloaded() {
    if (finished_) return;
    bool removed_only = true;
    for (const auto& entry : entries_) {
        if (!entry->ended) return;
        if (!entry->removed) removed_only = false;
    }
    if (removed_only && !entries_.empty() && !ending_) return;
    if (entries_.empty() && !ending_ && !failed_) return;
    finished_ = true;
    emit all_unloaded();
}

bool LayerSaverScreens::output_failed() const {
    if (failed_) return true;
    for (const auto& entry : entries_)
        if (entry->saver->screenshot_failed()) return true;
    return false;
}

}  // namespace vistaloom
