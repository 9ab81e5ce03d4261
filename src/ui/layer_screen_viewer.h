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
// scene (a mirror of it, or its own part of a scene across outputs), or black. It draws only
// when the scene tells it what changed and sends at most one frame per frame callback, so a
// black output costs nothing once its one frame is up. Input on it is the listener's to pass
// on, by its surface.
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
    // The last scene seen, to fill a picture that was resized.
    const Surface* scene_ = nullptr;
    QPoint scene_origin_;
    QRegion unsent_;
};

}  // namespace vistaloom
