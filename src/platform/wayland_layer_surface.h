#pragma once
#include <QRegion>
#include <QSize>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "pixels/surface.h"
#include "platform/box_overlay.h"
#include "platform/buffer_damage.h"
#include "platform/buffered_picture.h"
#include "platform/presenter.h"
#include "platform/wayland_shm_buffers.h"

struct wl_callback;
struct wl_output;
struct wl_subsurface;
struct wl_surface;
struct zwlr_layer_surface_v1;

namespace vistaloom {

class WaylandLayerShell;

// One output's overlay-layer surface, anchored to every edge above panels and windows, with
// the keyboard to itself, and the wl_shm presenter that shows the saver's picture on it.
//
// The picture itself lives in the buffers (it is their PixelStore): the frame is composed
// straight into a buffer the compositor is not holding, which is then committed with damage
// for what the frame changed; the next frame's buffer is brought up to date from it only
// where that frame left it out of date (BufferedPicture). The text boxes are subsurfaces of their own above it, so the
// picture in the buffers stays the bare scene that screenshots and the wallpaper read. Where
// the picture cannot live there (a scene smaller than the output), it is copied in instead.
//
// The compositor paces it: a frame is asked for after each commit and nothing more is drawn
// before it came, so an output nobody sees costs nothing.
class WaylandLayerSurface : public PixelStore {
  public:
    struct Events {
        std::function<void()> configured;  // the size is known (first time) or changed
        std::function<void()> frame_done;  // the compositor wants the next frame
        std::function<void()> closed;      // the compositor will not show it any more
        std::function<void()> drawable;    // a buffer came free for the picture
    };
    WaylandLayerSurface(WaylandLayerShell& shell, wl_output* output, int32_t scale, Events events);
    ~WaylandLayerSurface() override;
    WaylandLayerSurface(const WaylandLayerSurface&) = delete;
    WaylandLayerSurface& operator=(const WaylandLayerSurface&) = delete;

    wl_surface* surface() const { return surface_; }
    // Device pixels (surface size times the output's scale); empty before the configure.
    QSize device_size() const { return logical_ * scale_; }
    int32_t scale() const { return scale_; }
    // A frame was committed and the compositor has not asked for the next yet.
    bool awaiting_frame() const { return awaiting_frame_; }

    // The picture's pixels come from the buffers from its next resize on.
    void hold_picture(PixelBuffer& pixels);
    // Whether the picture may be drawn into now (false while every buffer is held).
    bool drawable() const;
    uint32_t* provide_pixels(size_t count) override;
    // What the picture drew (device pixels) since the last frame, before it is presented.
    void picture_drawn(const QRegion& region);
    // The picture is whole in its buffer from here on, for those who read it.
    void complete_picture();

    // Sends `region` (device pixels) of the picture, and the boxes where they changed, as one
    // commit; what finds no free buffer waits for the first one released.
    void present(const PresentedPicture& picture, const QRegion& region);

  private:
    struct BoxLayer {
        wl_surface* surface = nullptr;
        wl_subsurface* sub = nullptr;
        std::unique_ptr<WaylandShmBuffers> buffers;
        bool shown = false;
        QRect place;           // device pixels
        qint64 image_key = 0;  // of the box picture last sent
    };
    void configure(uint32_t serial, uint32_t width, uint32_t height);
    void commit_frame(int index, const QRegion& send);
    void move_picture();
    std::function<bool(int)> held_by_compositor() const;
    void copy_in(int index, const PresentedPicture& picture, const QRegion& region);
    bool send_boxes(const BoxOverlay& overlay);
    void released(int index);
    void frame_callback_done();
    friend struct LayerSurfaceCallbacks;

    WaylandLayerShell& shell_;
    Events events_;
    int32_t scale_ = 1;
    wl_surface* surface_ = nullptr;
    zwlr_layer_surface_v1* layer_ = nullptr;
    wl_callback* frame_ = nullptr;
    QSize logical_;
    WaylandShmBuffers frames_;
    std::array<BoxLayer, BoxOverlay::kBoxes> boxes_;
    std::optional<BufferDamage> damage_;  // of the buffers, while the picture is copied in
    PixelBuffer* held_ = nullptr;         // the picture held in the buffers, if any
    BufferedPicture picture_;
    bool move_waits_ = false;         // every buffer was held when the picture had to move
    bool awaiting_frame_ = false;
    QRegion unsent_;
    PresentedPicture last_picture_;
};

}  // namespace vistaloom
