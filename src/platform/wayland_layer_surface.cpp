#include "platform/wayland_layer_surface.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <QPainter>

#include "platform/box_overlay.h"
#include "platform/surface_image.h"
#include "platform/wayland_layer_shell.h"
#include "platform/wayland_layer_shell_protocol.h"

namespace vistaloom {

namespace {
// Two buffers suffice while the compositor releases one before the next frame; a third covers
// a compositor that holds on to the last one shown until the next commit has been read.
constexpr int kBuffers = 3;
}  // namespace

struct LayerSurfaceCallbacks {
    static WaylandLayerSurface& of(void* self) { return *static_cast<WaylandLayerSurface*>(self); }
    static void configure(void* self, zwlr_layer_surface_v1*, uint32_t serial, uint32_t w,
                          uint32_t h) {
        of(self).configure(serial, w, h);
    }
    static void closed(void* self, zwlr_layer_surface_v1*) {
        if (of(self).events_.closed) of(self).events_.closed();
    }
    static constexpr zwlr_layer_surface_v1_listener layer{configure, closed};

    static void release(void* self, wl_buffer* buffer) { of(self).released(buffer); }
    static constexpr wl_buffer_listener buffer{release};

    static void done(void* self, wl_callback* callback, uint32_t) {
        wl_callback_destroy(callback);
        of(self).frame_callback_done();
    }
    static constexpr wl_callback_listener frame{done};
};

WaylandLayerSurface::WaylandLayerSurface(WaylandLayerShell& shell, wl_output* output, int32_t scale,
                                         Events events)
    : shell_(shell), events_(std::move(events)), scale_(scale < 1 ? 1 : scale) {
    surface_ = wl_compositor_create_surface(shell_.compositor());
    layer_ = zwlr_layer_shell_v1_get_layer_surface(shell_.layer_shell(), surface_, output,
                                                   ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "vistaloom");
    zwlr_layer_surface_v1_add_listener(layer_, &LayerSurfaceCallbacks::layer, this);
    zwlr_layer_surface_v1_set_anchor(
        layer_, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                    ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    // Over panels too, not moved aside for them.
    zwlr_layer_surface_v1_set_exclusive_zone(layer_, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(
        layer_, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
    zwlr_layer_surface_v1_set_size(layer_, 0, 0);
    wl_surface_set_buffer_scale(surface_, scale_);
    wl_surface_commit(surface_);
    shell_.connection().flush();
}

WaylandLayerSurface::~WaylandLayerSurface() {
    if (frame_) wl_callback_destroy(frame_);
    drop_pool();
    zwlr_layer_surface_v1_destroy(layer_);
    wl_surface_destroy(surface_);
    shell_.connection().flush();
}

void WaylandLayerSurface::configure(uint32_t serial, uint32_t width, uint32_t height) {
    zwlr_layer_surface_v1_ack_configure(layer_, serial);
    const QSize size(static_cast<int>(width), static_cast<int>(height));
    if (size == logical_ || size.isEmpty()) return;
    logical_ = size;
    if (events_.configured) events_.configured();
}

bool WaylandLayerSurface::make_pool() {
    const QSize size = device_size();
    if (pool_ && size == pool_size_) return true;
    drop_pool();
    const size_t stride = static_cast<size_t>(size.width()) * 4;
    const size_t one = stride * static_cast<size_t>(size.height());
    fd_ = memfd_create("vistaloom-frames", MFD_CLOEXEC);
    if (fd_ < 0) return false;
    map_bytes_ = one * kBuffers;
    if (ftruncate(fd_, static_cast<off_t>(map_bytes_)) != 0) return false;
    map_ = mmap(nullptr, map_bytes_, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
    if (map_ == MAP_FAILED) {
        map_ = nullptr;
        return false;
    }
    pool_ = wl_shm_create_pool(shell_.shm(), fd_, static_cast<int32_t>(map_bytes_));
    pool_size_ = size;
    buffers_.resize(kBuffers);
    for (int i = 0; i < kBuffers; ++i) {
        Buffer& b = buffers_[i];
        b.buffer = wl_shm_pool_create_buffer(pool_, static_cast<int32_t>(one * i), size.width(),
                                             size.height(), static_cast<int32_t>(stride),
                                             WL_SHM_FORMAT_XRGB8888);
        wl_buffer_add_listener(b.buffer, &LayerSurfaceCallbacks::buffer, this);
        b.pixels = reinterpret_cast<uint32_t*>(static_cast<char*>(map_) + one * i);
    }
    damage_.emplace(kBuffers, QRect(QPoint(0, 0), size));
    return true;
}

void WaylandLayerSurface::drop_pool() {
    for (Buffer& b : buffers_)
        if (b.buffer) wl_buffer_destroy(b.buffer);
    buffers_.clear();
    if (pool_) wl_shm_pool_destroy(pool_);
    pool_ = nullptr;
    if (map_) munmap(map_, map_bytes_);
    map_ = nullptr;
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    pool_size_ = QSize();
}

WaylandLayerSurface::Buffer* WaylandLayerSurface::free_buffer() {
    for (Buffer& b : buffers_)
        if (!b.busy) return &b;
    return nullptr;
}

void WaylandLayerSurface::present(const PresentedPicture& picture, const QRegion& region) {
    last_picture_ = picture;
    unsent_ += region;
    if (logical_.isEmpty() || unsent_.isEmpty() || !make_pool()) return;
    Buffer* buffer = free_buffer();
    if (!buffer) return;  // released() sends it
    const QRegion send = unsent_ & QRect(QPoint(0, 0), device_size());
    compose(*buffer, picture, damage_->draw_for(static_cast<int>(buffer - buffers_.data()), send));
    buffer->busy = true;
    wl_surface_attach(surface_, buffer->buffer, 0, 0);
    for (const QRect& r : send)
        wl_surface_damage_buffer(surface_, r.x(), r.y(), r.width(), r.height());
    if (!frame_) {
        frame_ = wl_surface_frame(surface_);
        wl_callback_add_listener(frame_, &LayerSurfaceCallbacks::frame, this);
    }
    awaiting_frame_ = true;
    wl_surface_commit(surface_);
    unsent_ = QRegion();
    shell_.connection().flush();
}

// Black where there is no scene, the scene, the boxes over it: only inside `region`.
void WaylandLayerSurface::compose(Buffer& buffer, const PresentedPicture& picture,
                                  const QRegion& region) {
    QImage target(reinterpret_cast<uchar*>(buffer.pixels), pool_size_.width(), pool_size_.height(),
                  pool_size_.width() * 4, QImage::Format_RGB32);
    QPainter painter(&target);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const QRect scene = picture.scene_area();
    // Each pixel is written once: black only where no scene is.
    for (const QRect& r : region - QRegion(scene)) painter.fillRect(r, Qt::black);
    if (!scene.isEmpty()) {
        const QImage image = wrap(*picture.scene);
        for (const QRect& r : region& scene)
            painter.drawImage(r.topLeft(), image, r.translated(-scene.topLeft()));
    }
    painter.setClipRegion(region);
    if (!picture.overlay) return;
    for (int box = 0; box < BoxOverlay::kBoxes; ++box) {
        const auto b = static_cast<BoxOverlay::Box>(box);
        if (!picture.overlay->shown(b)) continue;
        const QImage& image = picture.overlay->image(b);
        painter.drawImage(QRectF(picture.overlay->device_rect(b)), image,
                          QRectF(QPointF(0, 0), QSizeF(image.size())));
    }
}

void WaylandLayerSurface::released(wl_buffer* released_buffer) {
    for (Buffer& b : buffers_)
        if (b.buffer == released_buffer) b.busy = false;
    if (!unsent_.isEmpty() && !awaiting_frame_) present(last_picture_, QRegion());
}

void WaylandLayerSurface::frame_callback_done() {
    frame_ = nullptr;
    awaiting_frame_ = false;
    if (events_.frame_done) events_.frame_done();
}

}  // namespace vistaloom
