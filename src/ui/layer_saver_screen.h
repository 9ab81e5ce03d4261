#pragma once
#include <QImage>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "saver/saver_session.h"
#include "saver/saver_window_host.h"
#include "startup/saver_settings.h"
#include "startup/startup_values.h"

struct wl_output;
struct wl_surface;

namespace vistaloom {

class BoxOverlay;
class HugePageStore;
class SharedCursorDesktop;
class WaylandLayerShell;
class WaylandLayerSurface;

struct LayerSaverScreenRecipe {
    SaverSettings settings;  // this output's copy, changed in memory only
    StartupValues values;
    SaverSeams seams;
    SaverSessionOptions session_options;
    std::string screenshot;  // PNG of the last presented frame, written at unload
    // A scene across several outputs: its size, and where this output's part starts in it.
    std::optional<SaverWindowHost::SceneArea> span;
};

// The saver on one output of a layer-shell run: the session and the layer surface that shows
// it, which is the session's window. The compositor's frame callbacks pace it together with
// the frame-rate rule: a step that comes due while the last frame has not been asked for
// again waits for the callback, and one that waits long (the output is off or covered)
// counts as not shown, so the scene time stops too.
class LayerSaverScreen : public QObject, public SaverWindowHost {
    Q_OBJECT
  public:
    LayerSaverScreen(LayerSaverScreenRecipe recipe, WaylandLayerShell& shell, wl_output* output,
                     int32_t scale, int& cursor_hidden_by);
    ~LayerSaverScreen() override;

    void request_stop();
    bool has_ended() const { return ended_; }
    bool screenshot_failed() const { return screenshot_failed_; }
    SaverSession& session() { return *session_; }
    wl_surface* surface() const;
    void set_schedule_observer(std::function<void(int64_t)> observer) {
        schedule_observer_ = std::move(observer);
    }
    // Told what each frame changed, in the scene's device pixels, for the outputs that show
    // this scene too.
    void set_present_observer(std::function<void(const QRegion&)> observer) {
        present_observer_ = std::move(observer);
    }
    // The scene's picture, whole, and where its top-left pixel stands in the scene.
    const Surface& scene_picture();
    QPoint scene_picture_origin() const;

    void key_press();
    void mouse_down();
    void mouse_move();

  signals:
    void ended();
    // The compositor will not show the surface any more (its output is going away).
    void surface_closed();

  public:
    // SaverWindowHost
    int32_t inner_width_px() override;
    int32_t inner_height_px() override;
    // The output's scale, so that pictures come out at the size they have at scale 1.
    double device_ratio_of_screen() override;
    SceneArea scene_area_px() override;
    bool is_maximised() override { return true; }
    void maximise() override {}
    BoxSize time_box_size() override;
    void move_time_box(int32_t left, int32_t top) override;
    void set_time_box_visible(bool visible) override;
    void set_time_box_text(const std::string& text) override;
    BoxSize info_box_size() override;
    void move_info_box(int32_t left, int32_t top, int32_t width, int32_t height) override;
    void set_info_box_text(const std::string& text) override;
    void show_info_box() override;
    void make_topmost() override {}  // the overlay layer is above everything already
    void repaint(const std::vector<Rect>& rects) override;
    void repaint_all() override;
    void schedule_frame(int64_t delay_ms) override;
    void unload() override;
    int64_t window_handle() override { return 0; }
    void read_back_picture() override;

  private:
    void configured();
    void frame_done();
    void step_if_waiting();
    void step_now();
    void note_drawn();
    void present(const QRegion& changed);
    void finish();
    int to_logical(int device) const;
    // Where this output's part starts in the scene (0, 0 unless the scene spans outputs).
    QPoint own_part() const;

    LayerSaverScreenRecipe recipe_;
    std::unique_ptr<SharedCursorDesktop> desktop_;
    // Font metrics and the scale for the boxes, which have no widget here.
    QImage metrics_;
    std::unique_ptr<BoxOverlay> overlay_;
    std::unique_ptr<WaylandLayerSurface> surface_;
    std::unique_ptr<HugePageStore> main_store_;
    std::unique_ptr<SaverSession> session_;
    QTimer frame_timer_;
    QTimer unseen_timer_;
    std::function<void(int64_t)> schedule_observer_;
    std::function<void(const QRegion&)> present_observer_;
    bool step_waits_for_frame_ = false;
    bool unseen_ = false;
    bool activated_ = false;
    bool unloading_ = false;
    bool ended_ = false;
    bool screenshot_failed_ = false;
};

}  // namespace vistaloom
