#include "platform/shm_presenter.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <cstdlib>

namespace vistaloom {

ShmPresenter::~ShmPresenter() {
    drop_segment();
}

bool ShmPresenter::start(QWidget& window) {
    return shm_accepted() && XcbPresenter::start(window);
}

// The extension may be there and still refuse us: a server on another machine cannot see
// our memory. A one-page trial segment settles it before any frame depends on it.
bool ShmPresenter::shm_accepted() {
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c_, &xcb_shm_id);
    if (ext == nullptr || !ext->present) return false;
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
    const size_t bytes = count * sizeof(uint32_t);
    if (base_ != nullptr && bytes <= segment_bytes_) return base_;
    drop_segment();
    return attach_segment(bytes) ? base_ : nullptr;
}

bool ShmPresenter::in_segment(const uint32_t* pixels, int32_t stride, int32_t rows) const {
    if (base_ == nullptr || pixels < base_) return false;
    const size_t offset = static_cast<size_t>(pixels - base_) * sizeof(uint32_t);
    const size_t bytes = static_cast<size_t>(stride) * static_cast<size_t>(rows) * 4;
    return offset + bytes <= segment_bytes_;
}

void ShmPresenter::put(uint32_t drawable, const uint32_t* pixels, int32_t stride, int32_t rows,
                       const Rect& from, int32_t dx, int32_t dy) {
    if (!gc_ || from.w <= 0 || from.h <= 0) return;
    if (!in_segment(pixels, stride, rows)) {
        XcbPresenter::put(drawable, pixels, stride, rows, from, dx, dy);
        return;
    }
    const auto offset = static_cast<uint32_t>((pixels - base_) * sizeof(uint32_t));
    xcb_shm_put_image(c_, drawable, gc_, static_cast<uint16_t>(stride), static_cast<uint16_t>(rows),
                      static_cast<uint16_t>(from.x), static_cast<uint16_t>(from.y),
                      static_cast<uint16_t>(from.w), static_cast<uint16_t>(from.h),
                      static_cast<int16_t>(dx), static_cast<int16_t>(dy), kDepth,
                      XCB_IMAGE_FORMAT_Z_PIXMAP, 0, seg_, offset);
    pending_ = true;
}

void ShmPresenter::flush() {
    if (pending_) {
        // A cheap request whose reply tells that the server has read everything before it.
        idle_cookie_ = xcb_get_input_focus(c_).sequence;
        idle_pending_ = true;
        pending_ = false;
    }
    XcbPresenter::flush();
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

}  // namespace vistaloom
