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

namespace {

QRect to_qrect(const Rect& r) {
    return QRect(r.x, r.y, r.w, r.h);
}

}  // namespace

// Where the shown picture will differ from the frame being built once the listed steps are
// done, starting from `differs`; `reads_shown` tells whether a step reads the shown picture
// before it was painted anew.
QRegion XPixmapPresenter::differs_after(const SceneSurfaces& surfaces, QRegion differs,
                                        bool& reads_shown) {
    bool painted = false;
    reads_shown = false;
    for (const DrawStep& step : surfaces.draws) {
        const bool to_shown = step.target == ScenePicture::Ascreen;
        if (step.kind == DrawStep::Kind::Painted) {
            if (!to_shown) continue;
            painted = true;
            differs = QRect(0, 0, surfaces.ascreen.width, surfaces.ascreen.height);
            continue;
        }
        const bool from_shown = step.source == ScenePicture::Ascreen;
        if (from_shown && !painted) reads_shown = true;
        const bool in_place = step.src_x == step.to.x && step.src_y == step.to.y;
        const bool evens = in_place && ((to_shown && step.source == ScenePicture::Work) ||
                                        (from_shown && step.target == ScenePicture::Work));
        if (evens)
            differs -= to_qrect(step.to);
        else if (to_shown || step.target == ScenePicture::Work)
            differs += to_qrect(step.to);
    }
    return differs;
}

// Nearly always the shown picture equals the frame being built: every change to the frame
// is copied on to it in the same frame. Then the frame's pixmap is shown as it is, and the
// copy into the shown picture's pixmap is skipped, one copy of every changed rectangle
// fewer. Only a sprite that leaves while part of it is still in view is erased from the
// frame but not from the shown picture; its remnant stays on screen until something is
// drawn over it. From the frame that makes such a remnant until they agree again the shown
// picture has a pixmap of its own, taken from the frame's once.
void XPixmapPresenter::replay(const PresentedPicture& picture) {
    if (!gc_ || picture.surfaces == nullptr) return;
    SceneSurfaces& surfaces = *picture.surfaces;
    if (surfaces.draws.empty()) return;
    bool reads_shown = false;
    const QRegion differs =
        differs_after(surfaces, shown_is_frame_ ? QRegion() : differs_, reads_shown);
    const bool stay_same = shown_is_frame_ && differs.isEmpty() && !reads_shown;
    if (shown_is_frame_ && !stay_same) {
        const uint32_t shown_pixmap = pixmap(surfaces, ScenePicture::Ascreen);
        const Pixmap& frame = pixmaps_[static_cast<size_t>(ScenePicture::Work)];
        copy(frame.id, shown_pixmap, Rect{0, 0, frame.width, frame.height}, 0, 0);
        shown_is_frame_ = false;
    }
    // While the frame's pixmap is shown, a background painted here goes straight from our
    // memory into the pixmaps that take it: the shown picture's pixmap is not even made.
    bool shown_here = false;
    for (const DrawStep& step : surfaces.draws) {
        const bool to_shown = step.target == ScenePicture::Ascreen;
        if (step.kind == DrawStep::Kind::Painted) {
            if (stay_same && to_shown)
                shown_here = true;
            else
                upload(surfaces, step.target);
            continue;
        }
        if (stay_same && to_shown && step.source == ScenePicture::Work) continue;
        if (shown_here && step.source == ScenePicture::Ascreen) {
            const Surface& shown = surfaces.ascreen;
            put(pixmap(surfaces, step.target), shown.pixels.data(), shown.stride, shown.height,
                Rect{step.src_x, step.src_y, step.to.w, step.to.h}, step.to.x, step.to.y);
            continue;
        }
        copy(pixmap(surfaces, step.source), pixmap(surfaces, step.target), step.to, step.src_x,
             step.src_y);
    }
    surfaces.draws.clear();
    differs_ = differs;
    if (differs_.isEmpty()) shown_is_frame_ = true;
}

void XPixmapPresenter::copy(uint32_t from, uint32_t to, const Rect& r, int32_t sx, int32_t sy) {
    if (!from || !to || r.w <= 0 || r.h <= 0) return;
    xcb_copy_area(c_, from, to, gc_, static_cast<int16_t>(sx), static_cast<int16_t>(sy),
                  static_cast<int16_t>(r.x), static_cast<int16_t>(r.y), static_cast<uint16_t>(r.w),
                  static_cast<uint16_t>(r.h));
}

uint32_t XPixmapPresenter::shown() const {
    const ScenePicture name = shown_is_frame_ ? ScenePicture::Work : ScenePicture::Ascreen;
    return pixmaps_[static_cast<size_t>(name)].id;
}

void XPixmapPresenter::put_scene(const Surface& scene, const Rect& from, int32_t dx, int32_t dy) {
    if (!shown()) {
        ShmPresenter::put_scene(scene, from, dx, dy);
        return;
    }
    copy(shown(), window_, Rect{dx, dy, from.w, from.h}, from.x, from.y);
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
    const Pixmap& from =
        pixmaps_[static_cast<size_t>(shown_is_frame_ ? ScenePicture::Work : ScenePicture::Ascreen)];
    if (!from.id || scene.empty() || scene.width != from.width || scene.height != from.height)
        return;
    // Each reply comes after the server has done every request before it, a last upload
    // out of the picture's memory included, so writing the rows there is safe.
    const int32_t band = std::max(1, (4 << 20) / std::max(1, scene.width * 4));
    for (int32_t y = 0; y < scene.height; y += band) {
        const int32_t n = std::min(band, scene.height - y);
        xcb_get_image_reply_t* reply = xcb_get_image_reply(
            c_,
            xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, from.id, 0, static_cast<int16_t>(y),
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
