#include "platform/wayland_layer_surface.h"

#include <wayland-client.h>

#include <algorithm>
#include <cstring>

#include "platform/wayland_layer_shell.h"
#include "platform/wayland_layer_shell_protocol.h"

namespace vistaloom {

namespace {
// Two buffers suffice while the compositor releases one before the next frame; a third covers
// a compositor that holds on to the last one shown until the next commit has been read.
constexpr int kBuffers = 3;
// A box changes about once a second: one buffer shown, one to draw the next text into.
constexpr int kBoxBuffers = 2;

void fill_rows(uint32_t* target, int target_stride, const QRect& area, uint32_t pixel) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        uint32_t* row = target + static_cast<size_t>(y) * target_stride + area.left();
        std::fill(row, row + area.width(), pixel);
    }
}
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

    static void done(void* self, wl_callback* callback, uint32_t) {
        wl_callback_destroy(callback);
        of(self).frame_callback_done();
    }
    static constexpr wl_callback_listener frame{done};
};

WaylandLayerSurface::WaylandLayerSurface(WaylandLayerShell& shell, wl_output* output, int32_t scale,
                                         Events events)
    : shell_(shell),
      events_(std::move(events)),
      scale_(scale < 1 ? 1 : scale),
      frames_([this](int index) { released(index); }) {
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
    // The boxes take no input: a click or a movement over one is one over the saver.
    wl_region* no_input = wl_compositor_create_region(shell_.compositor());
    for (BoxLayer& box : boxes_) {
        box.surface = wl_compositor_create_surface(shell_.compositor());
        box.sub = wl_subcompositor_get_subsurface(shell_.subcompositor(), box.surface, surface_);
        wl_surface_set_buffer_scale(box.surface, scale_);
        wl_surface_set_input_region(box.surface, no_input);
        box.buffers = std::make_unique<WaylandShmBuffers>();
    }
    wl_region_destroy(no_input);
    wl_surface_commit(surface_);
    shell_.connection().flush();
}

WaylandLayerSurface::~WaylandLayerSurface() {
    if (frame_) wl_callback_destroy(frame_);
    for (BoxLayer& box : boxes_) {
        box.buffers.reset();
        wl_subsurface_destroy(box.sub);
        wl_surface_destroy(box.surface);
    }
    frames_.drop();
    zwlr_layer_surface_v1_destroy(layer_);
    wl_surface_destroy(surface_);
    shell_.connection().flush();
}

void WaylandLayerSurface::configure(uint32_t serial, uint32_t width, uint32_t height) {
    zwlr_layer_surface_v1_ack_configure(layer_, serial);
    const QSize size(static_cast<int>(width), static_cast<int>(height));
    if (size == logical_ || size.isEmpty()) return;
    logical_ = size;
    // Every pixel is opaque: the compositor need not draw what lies under the saver.
    wl_region* opaque = wl_compositor_create_region(shell_.compositor());
    wl_region_add(opaque, 0, 0, size.width(), size.height());
    wl_surface_set_opaque_region(surface_, opaque);
    wl_region_destroy(opaque);
    if (events_.configured) events_.configured();
}

void WaylandLayerSurface::hold_picture(PixelBuffer& pixels) {
    held_ = &pixels;
    pixels.use_store(this);
}

// The picture fills the output (the usual case): it lives in a free buffer from now on.
uint32_t* WaylandLayerSurface::provide_pixels(size_t count) {
    picture_.stop();
    const QSize size = device_size();
    if (size.isEmpty() || count != static_cast<size_t>(size.width()) * size.height()) return nullptr;
    if (!frames_.make(shell_.shm(), size, kBuffers)) return nullptr;
    const int index = frames_.free_index();
    if (index < 0) return nullptr;
    std::vector<uint32_t*> pixels;
    for (int i = 0; i < frames_.count(); ++i) pixels.push_back(frames_.at(i).pixels);
    // The caller fills the whole block.
    picture_.start(std::move(pixels), size, index);
    return picture_.pixels();
}

bool WaylandLayerSurface::drawable() const {
    return !picture_.started() || !frames_.at(picture_.drawing()).busy;
}

void WaylandLayerSurface::present(const PresentedPicture& picture, const QRegion& region) {
    last_picture_ = picture;
    unsent_ += region;
    if (logical_.isEmpty()) return;
    const bool boxes_changed = picture.overlay && send_boxes(*picture.overlay);
    const QRect whole(QPoint(0, 0), device_size());
    const bool in_buffers = picture_.started() && picture.scene != nullptr &&
                            picture.scene->pixels.data() == picture_.pixels();
    const QRegion send = unsent_ & whole;
    if (send.isEmpty()) {
        // The boxes alone changed: their state goes with a commit of the saver's surface.
        if (boxes_changed) {
            wl_surface_commit(surface_);
            shell_.connection().flush();
        }
        return;
    }
    if (in_buffers) {
        picture_.sent(send);
        commit_frame(picture_.drawing(), send);
        move_picture();
        return;
    }
    if (picture_.started() || !damage_ || frames_.size() != whole.size()) {
        // What the buffers hold is not followed from here on.
        picture_.stop();
        if (!frames_.make(shell_.shm(), whole.size(), kBuffers)) return;
        damage_.emplace(kBuffers, whole);
    }
    const int index = frames_.free_index();
    if (index < 0) return;  // released() sends it
    copy_in(index, picture, damage_->draw_for(index, send));
    commit_frame(index, send);
}

void WaylandLayerSurface::commit_frame(int index, const QRegion& send) {
    wl_surface_attach(surface_, frames_.at(index).buffer, 0, 0);
    for (const QRect& r : send)
        wl_surface_damage_buffer(surface_, r.x(), r.y(), r.width(), r.height());
    if (!frame_) {
        frame_ = wl_surface_frame(surface_);
        wl_callback_add_listener(frame_, &LayerSurfaceCallbacks::frame, this);
    }
    awaiting_frame_ = true;
    frames_.committed(index);
    wl_surface_commit(surface_);
    unsent_ = QRegion();
    shell_.connection().flush();
}

// The buffer just committed is the compositor's now: the picture moves to a free one.
void WaylandLayerSurface::move_picture() {
    if (!picture_.started() || held_ == nullptr) return;
    move_waits_ = !picture_.move(held_by_compositor());
    if (!move_waits_) held_->moved_to(picture_.pixels());
}

std::function<bool(int)> WaylandLayerSurface::held_by_compositor() const {
    return [this](int i) { return frames_.at(i).busy; };
}

void WaylandLayerSurface::picture_drawn(const QRegion& region) {
    picture_.drawn(region);
}

void WaylandLayerSurface::complete_picture() {
    picture_.complete();
}

// Black where there is no scene, the scene where it is: only inside `region`.
void WaylandLayerSurface::copy_in(int index, const PresentedPicture& picture,
                                  const QRegion& region) {
    uint32_t* target = frames_.at(index).pixels;
    const int stride = frames_.size().width();
    const QRect scene = picture.scene_area();
    for (const QRect& r : region - QRegion(scene)) fill_rows(target, stride, r, 0);
    if (scene.isEmpty()) return;
    for (const QRect& r : region & scene)
        copy_picture_rows(target, stride, picture.scene->pixels.data(), picture.scene->stride,
                          scene.topLeft(), r);
}

// Each box that was shown, hidden, moved or given new text since the last frame gets its
// subsurface's new state; it takes effect with the saver surface's next commit.
bool WaylandLayerSurface::send_boxes(const BoxOverlay& overlay) {
    bool changed = false;
    for (int i = 0; i < BoxOverlay::kBoxes; ++i) {
        const auto which = static_cast<BoxOverlay::Box>(i);
        BoxLayer& box = boxes_[static_cast<size_t>(i)];
        const QRect place = overlay.device_rect(which);
        const bool shown = overlay.shown(which) && !place.isEmpty();
        if (!shown) {
            if (!box.shown) continue;
            wl_surface_attach(box.surface, nullptr, 0, 0);
            wl_surface_commit(box.surface);
            box.shown = false;
            changed = true;
            continue;
        }
        const QImage& image = overlay.image(which);
        if (box.shown && box.place == place && box.image_key == image.cacheKey()) continue;
        if (!box.buffers->make(shell_.shm(), image.size(), kBoxBuffers)) continue;
        const int index = box.buffers->free_index();
        if (index < 0) continue;  // tried again with the next frame
        uint32_t* pixels = box.buffers->at(index).pixels;
        const size_t row = static_cast<size_t>(image.width()) * sizeof(uint32_t);
        for (int y = 0; y < image.height(); ++y)
            std::memcpy(pixels + static_cast<size_t>(y) * image.width(), image.constScanLine(y), row);
        const QRect logical = overlay.geometry(which);
        wl_subsurface_set_position(box.sub, logical.x(), logical.y());
        wl_surface_attach(box.surface, box.buffers->at(index).buffer, 0, 0);
        wl_surface_damage_buffer(box.surface, 0, 0, image.width(), image.height());
        box.buffers->committed(index);
        wl_surface_commit(box.surface);
        box.shown = true;
        box.place = place;
        box.image_key = image.cacheKey();
        changed = true;
    }
    return changed;
}

void WaylandLayerSurface::released(int) {
    if (move_waits_) {
        move_picture();
        if (!move_waits_ && events_.drawable) events_.drawable();
        return;
    }
    if (picture_.started()) {
        if (held_ && picture_.choose_again(held_by_compositor()))
            held_->moved_to(picture_.pixels());
        return;
    }
    if (!unsent_.isEmpty() && !awaiting_frame_) present(last_picture_, QRegion());
}

void WaylandLayerSurface::frame_callback_done() {
    frame_ = nullptr;
    awaiting_frame_ = false;
    if (events_.frame_done) events_.frame_done();
}

}  // namespace vistaloom
