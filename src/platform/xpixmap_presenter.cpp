#include "platform/xpixmap_presenter.h"

#include <xcb/xcb.h>

#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace vistaloom {

XPixmapPresenter::~XPixmapPresenter() {
    for (Pixmap& p : pixmaps_)
        if (p.id) xcb_free_pixmap(c_, p.id);
    xcb_flush(c_);
}

bool XPixmapPresenter::start(QWidget& window) {
    if (!ShmPresenter::start(window)) return false;
    if (pixmap_fits(window.width(), window.height())) return true;
    window.setAttribute(Qt::WA_PaintOnScreen, false);
    return false;
}

// A server short of memory refuses a pixmap of the screen's size; asked once here, the
// answer decides the path before any frame depends on it.
bool XPixmapPresenter::pixmap_fits(int32_t width, int32_t height) {
    const uint32_t id = xcb_generate_id(c_);
    xcb_generic_error_t* error = xcb_request_check(
        c_, xcb_create_pixmap_checked(c_, kDepth, id, window_,
                                      static_cast<uint16_t>(std::clamp(width, 1, 32767)),
                                      static_cast<uint16_t>(std::clamp(height, 1, 32767))));
    if (error != nullptr) {
        std::free(error);
        return false;
    }
    xcb_free_pixmap(c_, id);
    return true;
}

uint32_t XPixmapPresenter::pixmap(const SceneSurfaces& surfaces, ScenePicture name) {
    Pixmap& p = pixmaps_[static_cast<size_t>(name)];
    const Surface& picture = scene_picture(surfaces, name);
    // A picture given up at the end of the run keeps its pixmap for the last read-back.
    if (picture.empty() || (picture.width == p.width && picture.height == p.height)) return p.id;
    if (p.id) xcb_free_pixmap(c_, p.id);
    p.id = xcb_generate_id(c_);
    p.width = picture.width;
    p.height = picture.height;
    xcb_create_pixmap(c_, kDepth, p.id, window_, static_cast<uint16_t>(p.width),
                      static_cast<uint16_t>(p.height));
    return p.id;
}

void XPixmapPresenter::upload(const SceneSurfaces& surfaces, ScenePicture name) {
    const Surface& picture = scene_picture(surfaces, name);
    if (picture.empty() || picture.pixels.empty()) return;
    const uint32_t id = pixmap(surfaces, name);
    put(id, picture.pixels.data(), picture.stride, picture.height,
        Rect{0, 0, picture.width, picture.height}, 0, 0);
}

void XPixmapPresenter::replay(const PresentedPicture& picture) {
    if (!gc_ || picture.surfaces == nullptr) return;
    SceneSurfaces& surfaces = *picture.surfaces;
    for (const DrawStep& step : surfaces.draws) {
        if (step.kind == DrawStep::Kind::Painted) {
            upload(surfaces, step.target);
            continue;
        }
        const uint32_t from = pixmap(surfaces, step.source);
        const uint32_t to = pixmap(surfaces, step.target);
        if (!from || !to) continue;
        xcb_copy_area(c_, from, to, gc_, static_cast<int16_t>(step.src_x),
                      static_cast<int16_t>(step.src_y), static_cast<int16_t>(step.to.x),
                      static_cast<int16_t>(step.to.y), static_cast<uint16_t>(step.to.w),
                      static_cast<uint16_t>(step.to.h));
    }
    surfaces.draws.clear();
}

void XPixmapPresenter::put_scene(const Surface& scene, const Rect& from, int32_t dx, int32_t dy) {
    const uint32_t shown = pixmaps_[static_cast<size_t>(ScenePicture::Ascreen)].id;
    if (!shown) {
        ShmPresenter::put_scene(scene, from, dx, dy);
        return;
    }
    xcb_copy_area(c_, shown, window_, gc_, static_cast<int16_t>(from.x),
                  static_cast<int16_t>(from.y), static_cast<int16_t>(dx), static_cast<int16_t>(dy),
                  static_cast<uint16_t>(from.w), static_cast<uint16_t>(from.h));
}

void XPixmapPresenter::present(const PresentedPicture& picture, const QRegion& region) {
    replay(picture);
    if (region.isEmpty()) {
        flush();
        return;
    }
    ShmPresenter::present(picture, region);
}

void XPixmapPresenter::paint(const PresentedPicture& picture, const QRegion& logical) {
    replay(picture);
    ShmPresenter::paint(picture, logical);
}

// Once, for a picture made of the last frame (a screenshot, the wallpaper), in bands of rows.
// Our shared segment is attached read-only, so the server cannot write into it.
void XPixmapPresenter::read_back(const PresentedPicture& picture) {
    replay(picture);
    if (picture.surfaces == nullptr) return;
    Surface& scene = picture.surfaces->ascreen;
    const Pixmap& shown = pixmaps_[static_cast<size_t>(ScenePicture::Ascreen)];
    if (!shown.id || scene.empty() || scene.width != shown.width || scene.height != shown.height)
        return;
    // Each reply comes after the server has done every request before it, a last upload
    // out of the picture's memory included, so writing the rows there is safe.
    const int32_t band = std::max(1, (4 << 20) / std::max(1, scene.width * 4));
    for (int32_t y = 0; y < scene.height; y += band) {
        const int32_t n = std::min(band, scene.height - y);
        xcb_get_image_reply_t* reply = xcb_get_image_reply(
            c_,
            xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, shown.id, 0, static_cast<int16_t>(y),
                          static_cast<uint16_t>(scene.width), static_cast<uint16_t>(n), ~0u),
            nullptr);
        if (reply == nullptr) return;
        const uint8_t* data = xcb_get_image_data(reply);
        const size_t row_bytes = static_cast<size_t>(scene.width) * 4;
        if (static_cast<size_t>(xcb_get_image_data_length(reply)) >= row_bytes * n)
            for (int32_t r = 0; r < n; ++r)
                std::memcpy(scene.row(y + r), data + row_bytes * r, row_bytes);
        std::free(reply);
    }
}

}  // namespace vistaloom
