#pragma once
#include <QObject>
#include <QPoint>
#include <QRegion>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "pixels/surface.h"
#include "saver/screen_layout.h"

struct wl_output;
struct wl_surface;

namespace vistaloom {

class WaylandLayerShell;
class WaylandLayerSurface;

// A layer-shell output that runs no scene of its own: it shows part of another output's
// scene (a mirror of it, or its own part of a scene across outputs), or black. Its picture
// lives in the surface's buffers: what the scene changed is drawn straight into a free buffer
// when the compositor wants the next frame, at most once per frame callback, so a black
// output costs nothing once its one frame is up. Input on it is the listener's to pass on, by
// its surface.
class LayerScreenViewer : public QObject {
    Q_OBJECT
  public:
    // `view` null: black.
    LayerScreenViewer(WaylandLayerShell& shell, wl_output* output, int32_t scale,
                      std::optional<SceneView> view, std::string screenshot);
    ~LayerScreenViewer() override;

    // The scene (its top-left pixel at `origin` of the scene area) changed in `changed`.
    void scene_changed(const Surface& scene, QPoint origin, const QRegion& changed);
    // Writes the --screenshot file, if one was asked for; false when it could not be written.
    bool write_screenshot();
    wl_surface* surface() const;

  signals:
    // The compositor will not show the surface any more (its output is going away).
    void surface_closed();

  private:
    void configured();
    void send();

    std::unique_ptr<WaylandLayerSurface> surface_;
    std::optional<SceneView> view_;
    std::string screenshot_;
    Surface picture_;
    // The scene seen last, and what of it changed since the last frame (scene pixels).
    const Surface* scene_ = nullptr;
    QPoint scene_origin_;
    QRegion changed_;
    bool resized_ = false;  // the whole picture goes with the next frame
};

}  // namespace vistaloom
