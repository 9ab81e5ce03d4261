#pragma once
#include <xcb/xcb.h>
#include <xcb/shm.h>

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/frame_presenter.h"

namespace vistaloom {

// Presents on X11 through a connection of its own (so its requests and replies never mix
// with the toolkit's), with the MIT-SHM extension where the server can see our memory and
// plain PutImage requests where it cannot.
class ShmPresenter : public FramePresenter {
  public:
    // Connects to $DISPLAY; nullptr when there is none or its screen does not take XRGB.
    static std::unique_ptr<ShmPresenter> connect();
    ~ShmPresenter() override;

    const char* name() const override { return shm_usable_ ? "shm" : "xcb"; }
    bool bind(uint64_t window) override;
    uint32_t* provide_pixels(size_t count) override;
    void put(const uint32_t* pixels, int32_t stride, int32_t rows, const Rect& from, int32_t dx,
             int32_t dy) override;
    using FramePresenter::put;
    void fill_black(const Rect& area) override;
    void flush() override;
    void wait_idle() override;

  private:
    explicit ShmPresenter(xcb_connection_t* connection);
    bool shm_accepted();
    bool attach_segment(size_t bytes);
    void drop_segment();
    bool in_segment(const uint32_t* pixels, int32_t stride, int32_t rows) const;
    void put_plain(const uint32_t* pixels, int32_t stride, const Rect& from, int32_t dx,
                   int32_t dy);

    xcb_connection_t* c_;
    xcb_window_t window_ = 0;
    xcb_gcontext_t gc_ = 0;
    size_t max_request_bytes_ = 0;
    bool shm_usable_ = false;
    xcb_shm_seg_t seg_ = 0;
    uint32_t* base_ = nullptr;
    size_t segment_bytes_ = 0;
    bool pending_ = false;
    bool idle_pending_ = false;
    unsigned int idle_cookie_ = 0;
    std::vector<uint32_t> band_;
};

}  // namespace vistaloom
