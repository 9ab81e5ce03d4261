#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/xcb_presenter.h"

namespace vistaloom {

// Presents on X11 from shared memory (MIT-SHM): the scene picture lives in a segment the
// server reads in place, so a presented rectangle costs the server a copy and us nothing.
// Everything else (the text boxes) goes as plain image requests.
class ShmPresenter : public XcbPresenter, public PixelStore {
  public:
    using XcbPresenter::XcbPresenter;
    ~ShmPresenter() override;

    const char* name() const override { return "shm"; }
    // Fails where the server cannot see our memory (a server on another machine).
    bool start(QWidget& window) override;
    PixelStore* picture_store() override { return this; }
    uint32_t* provide_pixels(size_t count) override;
    void wait_idle() override;

  protected:
    void put(uint32_t drawable, const uint32_t* pixels, int32_t stride, int32_t rows,
             const Rect& from, int32_t dx, int32_t dy) override;
    void flush() override;
    bool in_segment(const uint32_t* pixels, int32_t stride, int32_t rows) const;

    uint32_t seg_ = 0;
    uint32_t* base_ = nullptr;

  private:
    bool shm_accepted();
    bool attach_segment(size_t bytes);
    void drop_segment();

    size_t segment_bytes_ = 0;
    bool pending_ = false;
    bool idle_pending_ = false;
    unsigned int idle_cookie_ = 0;
};

}  // namespace vistaloom
