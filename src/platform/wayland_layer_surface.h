#pragma once
#include <QImage>
#include <QRegion>
#include <QSize>
#include <cstdint>
#include <functional>
#include <vector>

#include <optional>
#include "platform/buffer_damage.h"
#include "platform/presenter.h"

struct wl_buffer;
struct wl_callback;
struct wl_output;
struct wl_shm_pool;
struct wl_surface;
struct zwlr_layer_surface_v1;

namespace vistaloom {

class WaylandLayerShell;

// One output's overlay-layer surface, anchored to every edge above panels and windows, with
// the keyboard to itself, and the wl_shm presenter that shows the saver's picture on it. The
// buffers come from one memfd pool and are drawn again only where they are out of date; each
// frame damages only what it changed. The compositor paces it: a frame is asked for after
// each commit and nothing more is sent before it came, so an output nobody sees costs nothing.
class WaylandLayerSurface {
  public:
    struct Events {
        std::function<void()> configured;  // the size is known (first time) or changed
        std::function<void()> frame_done;  // the compositor wants the next frame
        std::function<void()> closed;      // the compositor will not show it any more
    };
    WaylandLayerSurface(WaylandLayerShell& shell, wl_output* output, int32_t scale, Events events);
    ~WaylandLayerSurface();
    WaylandLayerSurface(const WaylandLayerSurface&) = delete;
    WaylandLayerSurface& operator=(const WaylandLayerSurface&) = delete;

    wl_surface* surface() const { return surface_; }
    // Device pixels (surface size times the output's scale); empty before the configure.
    QSize device_size() const { return logical_ * scale_; }
    int32_t scale() const { return scale_; }
    // A frame was committed and the compositor has not asked for the next yet.
    bool awaiting_frame() const { return awaiting_frame_; }

    // Sends `region` (device pixels) of the picture as one commit; what finds no free buffer
    // waits for the first one released.
    void present(const PresentedPicture& picture, const QRegion& region);

  private:
    struct Buffer {
        wl_buffer* buffer = nullptr;
        uint32_t* pixels = nullptr;
        bool busy = false;
    };
    void configure(uint32_t serial, uint32_t width, uint32_t height);
    bool make_pool();
    void drop_pool();
    Buffer* free_buffer();
    void compose(Buffer& buffer, const PresentedPicture& picture, const QRegion& region);
    void released(wl_buffer* buffer);
    void frame_callback_done();
    friend struct LayerSurfaceCallbacks;

    WaylandLayerShell& shell_;
    Events events_;
    int32_t scale_ = 1;
    wl_surface* surface_ = nullptr;
    zwlr_layer_surface_v1* layer_ = nullptr;
    wl_callback* frame_ = nullptr;
    QSize logical_;
    QSize pool_size_;  // device pixels the buffers were made for
    int fd_ = -1;
    void* map_ = nullptr;
    size_t map_bytes_ = 0;
    wl_shm_pool* pool_ = nullptr;
    std::vector<Buffer> buffers_;
    std::optional<BufferDamage> damage_;
    bool awaiting_frame_ = false;
    QRegion unsent_;
    PresentedPicture last_picture_;
};

}  // namespace vistaloom
