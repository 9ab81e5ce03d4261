#pragma once
#include <QObject>
#include <QRegion>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/wayland_layer_shell.h"
#include "saver/screen_layout.h"
#include "ui/saver_screens.h"

namespace vistaloom {

class LayerSaverScreen;
class LayerScreenViewer;

// A full-screen run on a compositor with layer shell: an overlay surface on every output
// instead of full-screen windows, on the saver's own connection. It follows SaverScreens's
// rules (the first output alone plays music and may leave its picture as the wallpaper, the
// run ends everywhere when input ends it anywhere, outputs plugged in or out gain or lose their
// saver, the screen mode decides which outputs run a scene and which show one or stay black),
// and takes the same parts.
class LayerSaverScreens : public QObject, public LayerShellListener {
    Q_OBJECT
  public:
    LayerSaverScreens(SaverScreensParts parts, std::unique_ptr<WaylandLayerShell> shell);
    ~LayerSaverScreens() override;

    void open();
    void request_stop();
    bool output_failed() const;

  signals:
    void all_unloaded();

  public:
    // LayerShellListener
    void output_added(uint32_t id) override;
    void output_removed(uint32_t id) override;
    void key_pressed(wl_surface* surface) override;
    void button_pressed(wl_surface* surface) override;
    void pointer_moved(wl_surface* surface) override;
    void connection_lost(const std::string& why) override;

  private:
    struct Entry;
    // Plans `outputs` (the first runs the scene) by the mode, as at the start of a run.
    void place(const std::vector<uint32_t>& outputs);
    Entry* add(uint32_t output, std::optional<SaverWindowHost::SceneArea> span = std::nullopt);
    void add_viewer(uint32_t output, std::optional<SceneView> view, Entry* scene);
    Entry* live_scene() const;
    LayerSaverScreen* saver_for(wl_surface* surface);
    void show_scene_change(Entry* scene, const QRegion& changed);
    void on_ended(Entry* entry);
    void remove(Entry* entry);
    void forget(Entry* entry);
    void check_all_unloaded();
    void finish_viewers();

    SaverScreensParts parts_;
    std::unique_ptr<WaylandLayerShell> shell_;
    int cursor_hidden_by_ = 0;
    std::vector<std::unique_ptr<Entry>> entries_;
    // Outputs reported while the run starts, placed together once all are known.
    std::optional<std::vector<uint32_t>> starting_;
    int screens_numbered_ = 0;
    SpanOrigin span_origin_;
    bool ending_ = false;
    bool finished_ = false;
    bool failed_ = false;
};

}  // namespace vistaloom
