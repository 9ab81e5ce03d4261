#include "ui/layer_screen_viewer.h"

#include "platform/presenter.h"
#include "platform/surface_image.h"
#include "platform/wayland_layer_surface.h"
#include "ui/screenshot_file.h"

namespace vistaloom {

LayerScreenViewer::LayerScreenViewer(WaylandLayerShell& shell, wl_output* output, int32_t scale,
                                     std::optional<SceneView> view, std::string screenshot)
    : view_(view), screenshot_(std::move(screenshot)) {
    surface_ = std::make_unique<WaylandLayerSurface>(
        shell, output, scale,
        WaylandLayerSurface::Events{[this] { configured(); }, [this] { send(); },
                                    [this] { emit surface_closed(); }, [this] { send(); }});
}

LayerScreenViewer::~LayerScreenViewer() = default;

wl_surface* LayerScreenViewer::surface() const {
    return surface_->surface();
}

void LayerScreenViewer::configured() {
    const QSize size = surface_->device_size();
    if (size.isEmpty() || (picture_.width == size.width() && picture_.height == size.height()))
        return;
    picture_.resize(size.width(), size.height());
    unsent_ = QRegion(QRect(QPoint(0, 0), size));
    if (scene_ && view_)
        scene_changed(
            *scene_, scene_origin_,
            QRegion(QRect(view_->source.x, view_->source.y, view_->source.w, view_->source.h)));
    send();
}

void LayerScreenViewer::scene_changed(const Surface& scene, QPoint origin,
                                      const QRegion& changed) {
    if (!view_) return;
    scene_ = &scene;
    scene_origin_ = origin;
    if (picture_.empty()) return;
    for (const QRect& r : changed) {
        const Rect placed = draw_view(picture_, *view_, scene, origin.x(), origin.y(),
                                      Rect{r.x(), r.y(), r.width(), r.height()});
        if (placed.w > 0) unsent_ += QRect(placed.x, placed.y, placed.w, placed.h);
    }
    send();
}

// What changed since the last frame goes once the compositor wants a frame.
void LayerScreenViewer::send() {
    if (unsent_.isEmpty() || surface_->awaiting_frame() || picture_.empty()) return;
    surface_->present(PresentedPicture{&picture_, QPoint(), nullptr}, unsent_);
    unsent_ = QRegion();
}

bool LayerScreenViewer::write_screenshot() {
    if (screenshot_.empty()) return true;
    if (!picture_.empty()) return write_screenshot_file(wrap(picture_), screenshot_);
    const QSize size = surface_->device_size();
    const Surface black(std::max(1, size.width()), std::max(1, size.height()), 0);
    return write_screenshot_file(wrap(black), screenshot_);
}

}  // namespace vistaloom
