#pragma once
#include <cstdint>
#include <memory>

#include "pixels/surface.h"

namespace vistaloom {

// Sends finished pixels straight to a native window, bypassing the toolkit's own buffering.
// As a PixelStore it hands out the memory the presented surface should live in, so that a
// presented rectangle is read by the display server in place.
class FramePresenter : public PixelStore {
  public:
    // Short name of the path frames take ("shm", "xcb"), for the frame-rate line.
    virtual const char* name() const = 0;

    // The window to draw into. False when it cannot be drawn into (wrong depth, gone).
    virtual bool bind(uint64_t window) = 0;

    // Copies the rectangle `from` of a picture (`pixels`, `stride` pixels per row, `rows`
    // rows) to (dx, dy) of the window. The rectangle must lie inside the picture.
    virtual void put(const uint32_t* pixels, int32_t stride, int32_t rows, const Rect& from,
                     int32_t dx, int32_t dy) = 0;
    void put(const Surface& source, const Rect& from, int32_t dx, int32_t dy) {
        put(source.pixels.data(), source.stride, source.height, from, dx, dy);
    }
    virtual void fill_black(const Rect& area) = 0;

    // Sends what was put. The server reads shared memory when it gets to a request, so
    // before the next frame writes into it, wait_idle() collects the sign that it has
    // (normally long there by then); a late server is not waited for.
    virtual void flush() = 0;
    virtual void wait_idle() = 0;
};

// The presenter for an X11 display, or nullptr when the display is not X11 or its screen is
// not 24-bit true colour with 32-bit pixels. Shared memory where the server accepts it,
// plain image requests where it does not (a display across the network).
std::unique_ptr<FramePresenter> make_x11_presenter();

}  // namespace vistaloom
