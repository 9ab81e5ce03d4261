#include "platform/shm_presenter.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcbext.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace vistaloom {

namespace {

constexpr uint8_t kDepth = 24;

// The screen must take our pixels as they are: 24-bit depth stored in 32-bit little-endian
// units, which is exactly 0x00RRGGBB in memory.
bool screen_takes_xrgb(xcb_connection_t* c) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return false;
    xcb_format_iterator_t it = xcb_setup_pixmap_formats_iterator(setup);
    for (; it.rem; xcb_format_next(&it)) {
        if (it.data->depth == kDepth) return it.data->bits_per_pixel == 32;
    }
    return false;
}

}  // namespace

ShmPresenter::ShmPresenter(xcb_connection_t* connection) : c_(connection) {
    max_request_bytes_ = static_cast<size_t>(xcb_get_maximum_request_length(c_)) * 4;
    shm_usable_ = shm_accepted();
}

ShmPresenter::~ShmPresenter() {
    drop_segment();
    if (gc_) xcb_free_gc(c_, gc_);
    xcb_disconnect(c_);
}

std::unique_ptr<ShmPresenter> ShmPresenter::connect() {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') return nullptr;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (c == nullptr || xcb_connection_has_error(c) || !screen_takes_xrgb(c)) {
        if (c) xcb_disconnect(c);
        return nullptr;
    }
    return std::unique_ptr<ShmPresenter>(new ShmPresenter(c));
}

// The extension may be there and still refuse us: a server on another machine cannot see
// our memory. A one-page trial segment settles it before any frame depends on it.
bool ShmPresenter::shm_accepted() {
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c_, &xcb_shm_id);
    if (ext == nullptr || !ext->present) return false;
    if (std::getenv("VISTALOOM_NO_SHM") != nullptr) return false;
    const bool ok = attach_segment(4096);
    drop_segment();
    return ok;
}

bool ShmPresenter::attach_segment(size_t bytes) {
    const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0) return false;
    void* base = shmat(id, nullptr, 0);
    if (base == reinterpret_cast<void*>(-1)) {
        shmctl(id, IPC_RMID, nullptr);
        return false;
    }
    const xcb_shm_seg_t seg = xcb_generate_id(c_);
    xcb_generic_error_t* error = xcb_request_check(c_, xcb_shm_attach_checked(c_, seg, id, 1));
    // Marked for removal at once: the kernel frees it when both sides have detached, even
    // if this process is killed.
    shmctl(id, IPC_RMID, nullptr);
    if (error != nullptr) {
        std::free(error);
        shmdt(base);
        return false;
    }
    seg_ = seg;
    base_ = static_cast<uint32_t*>(base);
    segment_bytes_ = bytes;
    return true;
}

void ShmPresenter::drop_segment() {
    if (base_ == nullptr) return;
    wait_idle();
    xcb_shm_detach(c_, seg_);
    // The server must have let go of the segment before our mapping goes.
    free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
    shmdt(base_);
    base_ = nullptr;
    segment_bytes_ = 0;
}

uint32_t* ShmPresenter::provide_pixels(size_t count) {
    if (!shm_usable_) return nullptr;
    const size_t bytes = count * sizeof(uint32_t);
    if (base_ != nullptr && bytes <= segment_bytes_) return base_;
    drop_segment();
    return attach_segment(bytes) ? base_ : nullptr;
}

bool ShmPresenter::bind(uint64_t window) {
    window_ = static_cast<xcb_window_t>(window);
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(c_, xcb_get_geometry(c_, window_), nullptr);
    const bool ok = geometry != nullptr && geometry->depth == kDepth;
    std::free(geometry);
    if (!ok) return false;
    if (gc_) xcb_free_gc(c_, gc_);
    gc_ = xcb_generate_id(c_);
    const uint32_t values[] = {0, 0};  // foreground black, no graphics exposures
    xcb_create_gc(c_, gc_, window_, XCB_GC_FOREGROUND | XCB_GC_GRAPHICS_EXPOSURES, values);
    return true;
}

bool ShmPresenter::in_segment(const uint32_t* pixels, int32_t stride, int32_t rows) const {
    if (base_ == nullptr || pixels < base_) return false;
    const size_t offset = static_cast<size_t>(pixels - base_) * sizeof(uint32_t);
    const size_t bytes = static_cast<size_t>(stride) * static_cast<size_t>(rows) * 4;
    return offset + bytes <= segment_bytes_;
}

void ShmPresenter::put(const uint32_t* pixels, int32_t stride, int32_t rows, const Rect& from,
                       int32_t dx, int32_t dy) {
    if (!gc_ || from.w <= 0 || from.h <= 0) return;
    if (in_segment(pixels, stride, rows)) {
        const auto offset = static_cast<uint32_t>((pixels - base_) * sizeof(uint32_t));
        xcb_shm_put_image(c_, window_, gc_, static_cast<uint16_t>(stride),
                          static_cast<uint16_t>(rows), static_cast<uint16_t>(from.x),
                          static_cast<uint16_t>(from.y), static_cast<uint16_t>(from.w),
                          static_cast<uint16_t>(from.h), static_cast<int16_t>(dx),
                          static_cast<int16_t>(dy), kDepth, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, seg_,
                          offset);
        pending_ = true;
        return;
    }
    put_plain(pixels, stride, from, dx, dy);
}

// Without shared memory the pixels travel in the request itself, in bands of whole rows
// that fit the server's request size.
void ShmPresenter::put_plain(const uint32_t* pixels, int32_t stride, const Rect& from,
                             int32_t dx, int32_t dy) {
    const size_t row_bytes = static_cast<size_t>(from.w) * 4;
    const size_t room = max_request_bytes_ > 64 ? max_request_bytes_ - 64 : row_bytes;
    const int32_t band = std::max<int32_t>(1, static_cast<int32_t>(room / row_bytes));
    for (int32_t y = 0; y < from.h; y += band) {
        const int32_t n = std::min(band, from.h - y);
        const uint32_t* first = pixels + static_cast<size_t>(from.y + y) * stride + from.x;
        const uint8_t* data = reinterpret_cast<const uint8_t*>(first);
        if (from.w != stride) {
            // Rows of a part of the picture are not contiguous; the request needs them so.
            band_.resize(static_cast<size_t>(from.w) * n);
            for (int32_t r = 0; r < n; ++r)
                std::memcpy(band_.data() + static_cast<size_t>(r) * from.w,
                            first + static_cast<size_t>(r) * stride, row_bytes);
            data = reinterpret_cast<const uint8_t*>(band_.data());
        }
        xcb_put_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_, static_cast<uint16_t>(from.w),
                      static_cast<uint16_t>(n), static_cast<int16_t>(dx),
                      static_cast<int16_t>(dy + y), 0, kDepth,
                      static_cast<uint32_t>(row_bytes * n), data);
    }
}

void ShmPresenter::fill_black(const Rect& area) {
    if (!gc_ || area.w <= 0 || area.h <= 0) return;
    const xcb_rectangle_t r{static_cast<int16_t>(area.x), static_cast<int16_t>(area.y),
                            static_cast<uint16_t>(area.w), static_cast<uint16_t>(area.h)};
    xcb_poly_fill_rectangle(c_, window_, gc_, 1, &r);
}

void ShmPresenter::flush() {
    if (pending_) {
        // A cheap request whose reply tells that the server has read everything before it.
        idle_cookie_ = xcb_get_input_focus(c_).sequence;
        idle_pending_ = true;
        pending_ = false;
    }
    xcb_flush(c_);
}

void ShmPresenter::wait_idle() {
    if (!idle_pending_) return;
    idle_pending_ = false;
    void* reply = nullptr;
    xcb_generic_error_t* error = nullptr;
    if (xcb_poll_for_reply(c_, idle_cookie_, &reply, &error) == 0) {
        // A busy server has not got to the last frame yet. Waiting for it would cost this
        // frame its deadline; going on is safe, because whatever the next frame writes into
        // the shared picture it also sends again, so the screen ends up right either way.
        xcb_discard_reply(c_, idle_cookie_);
        return;
    }
    std::free(reply);
    std::free(error);
}

std::unique_ptr<FramePresenter> make_x11_presenter() {
    return ShmPresenter::connect();
}

}  // namespace vistaloom
