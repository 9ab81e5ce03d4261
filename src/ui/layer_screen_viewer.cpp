#include "ui/layer_screen_viewer.h"

#include "platform/presenter.h"
#include "platform/qt_rect.h"
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
    surface_->hold_picture(picture_.pixels);
}

LayerScreenViewer::~LayerScreenViewer() = default;

wl_surface* LayerScreenViewer::surface() const {
    return surface_->surface();
}

void LayerScreenViewer::configured() {
    const QSize size = surface_->device_size();
    if (size.isEmpty() || (picture_.width == size.width() && picture_.height == size.height()))
        return;
    // Black, in a free buffer; the scene is drawn over it with the frame.
    picture_.resize(size.width(), size.height());
    resized_ = true;
    if (view_)
        changed_ = QRegion(view_->source.x, view_->source.y, view_->source.w, view_->source.h);
    send();
}

void LayerScreenViewer::scene_changed(const Surface& scene, QPoint origin, const QRegion& changed) {
    if (!view_) return;
    scene_ = &scene;
    scene_origin_ = origin;
    changed_ += changed;
    send();
}

// The scene's pixels are whole whenever they are read between its frames, so what changed is
// drawn only once the compositor wants a frame and a buffer is free for it.
void LayerScreenViewer::send() {
    if (picture_.empty() || surface_->awaiting_frame() || !surface_->drawable()) return;
    QRegion drawn;
    if (resized_) drawn = QRegion(0, 0, picture_.width, picture_.height);
    if (view_ && scene_) {
        for (const QRect& r : changed_) {
            const Rect placed = draw_view(picture_, *view_, *scene_, scene_origin_.x(),
                                          scene_origin_.y(), to_rect(r));
            if (placed.w > 0) drawn += to_qrect(placed);
        }
        changed_ = QRegion();
    }
    resized_ = false;
    if (drawn.isEmpty()) return;
    surface_->picture_drawn(drawn);
    surface_->present(PresentedPicture{&picture_, QPoint(), nullptr}, drawn);
}

bool LayerScreenViewer::write_screenshot() {
    if (screenshot_.empty()) return true;
    if (!picture_.empty()) {
        surface_->complete_picture();
        return write_screenshot_file(wrap(picture_), screenshot_);
    }
    const QSize size = surface_->device_size();
    const Surface black(std::max(1, size.width()), std::max(1, size.height()), 0);
    return write_screenshot_file(wrap(black), screenshot_);
}

}  // namespace vistaloom
