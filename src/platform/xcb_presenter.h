#pragma once
#include <cstdint>
#include <vector>

#include "platform/presenter.h"

struct xcb_connection_t;

namespace vistaloom {

class X11Connection;

// Presents on X11 with plain PutImage requests: the pixels travel inside the requests, which
// works with any X server, also one on another machine. The window is drawn by us alone;
// the toolkit keeps no backing store for it.
class XcbPresenter : public Presenter {
  public:
    explicit XcbPresenter(X11Connection& connection);
    ~XcbPresenter() override;

    const char* name() const override { return "xcb"; }
    bool start(QWidget& window) override;
    bool toolkit_paints() const override { return false; }
    void present(const PresentedPicture& picture, const QRegion& region) override;
    void paint(const PresentedPicture& picture, const QRegion& logical) override;

  protected:
    // Copies the rectangle `from` of a picture (`pixels`, `stride` pixels per row, `rows`
    // rows) to (dx, dy) of `drawable` (the window, or a pixmap of its depth). The rectangle
    // must lie inside the picture.
    virtual void put(uint32_t drawable, const uint32_t* pixels, int32_t stride, int32_t rows,
                     const Rect& from, int32_t dx, int32_t dy);
    // Shows the rectangle `from` of the scene picture at (dx, dy) of the window.
    virtual void put_scene(const Surface& scene, const Rect& from, int32_t dx, int32_t dy);
    // Sends what was put.
    virtual void flush();
    // The scene (black around it) for `scene_region` but never under a box, then the boxes
    // for `box_region`.
    void send(const PresentedPicture& picture, const QRegion& scene_region,
              const QRegion& box_region);

    // Our pixels are 24-bit colour in 32-bit units.
    static constexpr uint8_t kDepth = 24;
    xcb_connection_t* const c_;
    uint32_t window_ = 0;
    uint32_t gc_ = 0;

  private:
    bool bind(uint32_t window);
    void fill_black(const QRect& area);

    size_t max_request_bytes_ = 0;
    std::vector<uint32_t> band_;
};

}  // namespace vistaloom
