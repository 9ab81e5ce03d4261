#include "platform/xcb_presenter.h"

#include <xcb/xcb.h>

#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/box_overlay.h"
#include "platform/qt_rect.h"
#include "platform/x11_connection.h"

namespace vistaloom {

namespace {

// The screen must take our pixels as they are: 24-bit depth stored in 32-bit little-endian
// units, which is exactly 0x00RRGGBB in memory.
bool screen_takes_xrgb(xcb_connection_t* c, uint8_t depth) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return false;
    xcb_format_iterator_t it = xcb_setup_pixmap_formats_iterator(setup);
    for (; it.rem; xcb_format_next(&it)) {
        if (it.data->depth == depth) return it.data->bits_per_pixel == 32;
    }
    return false;
}

}  // namespace

XcbPresenter::XcbPresenter(X11Connection& connection) : c_(connection.get()) {
    max_request_bytes_ = static_cast<size_t>(xcb_get_maximum_request_length(c_)) * 4;
}

XcbPresenter::~XcbPresenter() {
    if (gc_) {
        xcb_free_gc(c_, gc_);
        xcb_flush(c_);
    }
}

bool XcbPresenter::start(QWidget& window) {
    if (!screen_takes_xrgb(c_, kDepth)) return false;
    // Nothing of this window goes through the toolkit's backing store, so none is made.
    window.setAttribute(Qt::WA_PaintOnScreen);
    if (bind(static_cast<uint32_t>(window.winId()))) return true;
    window.setAttribute(Qt::WA_PaintOnScreen, false);
    return false;
}

bool XcbPresenter::bind(uint32_t window) {
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(c_, xcb_get_geometry(c_, window), nullptr);
    const bool ok = geometry != nullptr && geometry->depth == kDepth;
    std::free(geometry);
    if (!ok) return false;
    window_ = window;
    if (gc_) xcb_free_gc(c_, gc_);
    gc_ = xcb_generate_id(c_);
    const uint32_t values[] = {0, 0};  // foreground black, no graphics exposures
    xcb_create_gc(c_, gc_, window_, XCB_GC_FOREGROUND | XCB_GC_GRAPHICS_EXPOSURES, values);
    return true;
}

// Without shared memory the pixels travel in the request itself, in bands of whole rows
// that fit the server's request size.
void XcbPresenter::put(uint32_t drawable, const uint32_t* pixels, int32_t stride, int32_t,
                       const Rect& from, int32_t dx, int32_t dy) {
    if (!gc_ || from.w <= 0 || from.h <= 0) return;
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
        xcb_put_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, drawable, gc_, static_cast<uint16_t>(from.w),
                      static_cast<uint16_t>(n), static_cast<int16_t>(dx),
                      static_cast<int16_t>(dy + y), 0, kDepth, static_cast<uint32_t>(row_bytes * n),
                      data);
    }
}

void XcbPresenter::put_scene(const Surface& scene, const Rect& from, int32_t dx, int32_t dy) {
    put(window_, scene.pixels.data(), scene.stride, scene.height, from, dx, dy);
}

void XcbPresenter::fill_black(const QRect& area) {
    if (!gc_ || area.isEmpty()) return;
    const xcb_rectangle_t r{static_cast<int16_t>(area.x()), static_cast<int16_t>(area.y()),
                            static_cast<uint16_t>(area.width()),
                            static_cast<uint16_t>(area.height())};
    xcb_poly_fill_rectangle(c_, window_, gc_, 1, &r);
}

void XcbPresenter::flush() {
    xcb_flush(c_);
}

// One region, so overlapping rectangles go once; the picture never goes under a text box,
// so the boxes stay on top without flicker.
void XcbPresenter::send(const PresentedPicture& picture, const QRegion& scene_region,
                        const QRegion& box_region) {
    // Many frames have nothing of one or the other to send; they cost no region arithmetic.
    if (!scene_region.isEmpty()) {
        const QRect area = picture.scene_area();
        const QRegion under =
            picture.overlay ? scene_region - picture.overlay->covered() : scene_region;
        for (const QRect& r : under& area)
            put_scene(*picture.scene, to_rect(r.translated(-picture.origin)), r.x(), r.y());
        for (const QRect& r : under - area) fill_black(r);
    }
    if (!picture.overlay) return;
    for (int i = 0; i < BoxOverlay::kBoxes; ++i) {
        const auto box = static_cast<BoxOverlay::Box>(i);
        if (!picture.overlay->shown(box)) continue;
        const QRect place = picture.overlay->device_rect(box);
        if (!box_region.intersects(place)) continue;
        const QRegion part = box_region & place;
        const QImage& image = picture.overlay->image(box);
        for (const QRect& r : part)
            put(window_, reinterpret_cast<const uint32_t*>(image.constBits()),
                static_cast<int32_t>(image.bytesPerLine() / 4), image.height(),
                to_rect(r.translated(-place.topLeft())), r.x(), r.y());
    }
}

void XcbPresenter::present(const PresentedPicture& picture, const QRegion& region) {
    if (!gc_ || region.isEmpty()) return;
    send(picture, region, region);
    flush();
}

void XcbPresenter::paint(const PresentedPicture& picture, const QRegion& logical) {
    // Only at a device pixel ratio of 1 (see the presenter table): logical is device here.
    if (!gc_) return;
    send(picture, logical, logical);
    flush();
}

}  // namespace vistaloom
