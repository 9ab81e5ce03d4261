#include "platform/xpixmap_presenter.h"

#include <xcb/xcb.h>
#include <xcb/xproto.h>

#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "pixels/sheet_layout.h"
#include "platform/box_overlay.h"
#include "platform/qt_rect.h"

namespace vistaloom {

namespace {

constexpr int32_t kMaxPixmapSide = 32767;

}  // namespace

XPixmapPresenter::~XPixmapPresenter() {
    for (Pixmap& p : pixmaps_)
        if (p.id) xcb_free_pixmap(c_, p.id);
    if (window_gc_) xcb_free_gc(c_, window_gc_);
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
                                      static_cast<uint16_t>(std::clamp(width, 1, kMaxPixmapSide)),
                                      static_cast<uint16_t>(std::clamp(height, 1, kMaxPixmapSide))));
    if (error != nullptr) {
        std::free(error);
        return false;
    }
    xcb_free_pixmap(c_, id);
    return true;
}

namespace {

// Only the sheet is stacked: it is only ever read, so no copy has to be split to write it.
int32_t stacked_columns(ScenePicture name, const Surface& picture) {
    const bool fits = picture.width % kSheetColumns == 0 &&
                      int64_t{picture.height} * kSheetColumns <= kMaxPixmapSide;
    return name == ScenePicture::Sheet && fits ? kSheetColumns : 1;
}

}  // namespace

const XPixmapPresenter::Pixmap& XPixmapPresenter::made(const SceneSurfaces& surfaces,
                                                      ScenePicture name) {
    Pixmap& p = pixmaps_[static_cast<size_t>(name)];
    const Surface& picture = scene_picture(surfaces, name);
    // A picture given up at the end of the run keeps its pixmap for the last read-back.
    if (picture.empty() || (picture.width == p.width && picture.height == p.height)) return p;
    if (p.id) xcb_free_pixmap(c_, p.id);
    p.id = xcb_generate_id(c_);
    p.width = picture.width;
    p.height = picture.height;
    p.columns = stacked_columns(name, picture);
    xcb_create_pixmap(c_, kDepth, p.id, window_, static_cast<uint16_t>(p.width / p.columns),
                      static_cast<uint16_t>(p.height * p.columns));
    return p;
}

void XPixmapPresenter::upload(const SceneSurfaces& surfaces, ScenePicture name) {
    const Surface& picture = scene_picture(surfaces, name);
    if (picture.empty() || picture.pixels.empty()) return;
    const Pixmap& p = made(surfaces, name);
    const int32_t width = p.width / p.columns;
    for (int32_t c = 0; c < p.columns; ++c)
        put(p.id, picture.pixels.data(), picture.stride, picture.height,
            Rect{c * width, 0, width, picture.height}, 0, c * picture.height);
}

// Where the shown picture will differ from the frame being built once the listed steps are
// done, starting from `differs`; `reads_shown` tells whether a step reads the shown picture
// before it was painted anew.
QRegion XPixmapPresenter::differs_after(const SceneSurfaces& surfaces, QRegion differs,
                                        bool& reads_shown) {
    bool painted = false;
    reads_shown = false;
    if (differs.isEmpty() && each_change_shown(surfaces.draws)) return differs;
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

namespace {

bool contains(const Rect& outer, const Rect& inner) {
    return outer.x <= inner.x && outer.y <= inner.y && outer.x + outer.w >= inner.x + inner.w &&
           outer.y + outer.h >= inner.y + inner.h;
}

}  // namespace

// The usual frame, told without region arithmetic: it copies within the frame and from the
// frame on to the shown picture alone, and each change to the frame lies inside one
// rectangle copied on after it, so the shown picture ends equal to the frame.
bool XPixmapPresenter::each_change_shown(const std::vector<DrawStep>& steps) {
    for (size_t i = 0; i < steps.size(); ++i) {
        const DrawStep& step = steps[i];
        if (step.kind != DrawStep::Kind::Copy || step.source == ScenePicture::Ascreen) return false;
        const bool in_place = step.src_x == step.to.x && step.src_y == step.to.y;
        if (step.target == ScenePicture::Ascreen) {
            if (step.source != ScenePicture::Work || !in_place) return false;
            continue;
        }
        if (step.target != ScenePicture::Work) return false;
        const auto shows = [&step](const DrawStep& later) {
            return later.kind == DrawStep::Kind::Copy && later.target == ScenePicture::Ascreen &&
                   later.source == ScenePicture::Work && later.src_x == later.to.x &&
                   later.src_y == later.to.y && contains(later.to, step.to);
        };
        if (std::none_of(steps.begin() + static_cast<std::ptrdiff_t>(i) + 1, steps.end(), shows))
            return false;
    }
    return true;
}

// Nearly always the shown picture equals the frame being built: every change to the frame
// is copied on to it in the same frame. Then the frame's pixmap is shown as it is, and the
// copy into the shown picture's pixmap is skipped, one copy of every changed rectangle
// fewer; a frame of moved pictures alone goes straight onto the window. Only a sprite that
// leaves while part of it is still in view is erased from the frame but not from the shown
// picture; its remnant stays on screen until something is drawn over it. From the frame
// that makes such a remnant until they agree again the shown picture has a pixmap of its
// own, taken from the frame's once.
bool XPixmapPresenter::replay(const PresentedPicture& picture) {
    if (!gc_ || picture.surfaces == nullptr) return false;
    SceneSurfaces& surfaces = *picture.surfaces;
    if (surfaces.draws.empty()) return false;
    bool reads_shown = false;
    const QRegion differs =
        differs_after(surfaces, shown_is_frame_ ? QRegion() : differs_, reads_shown);
    const bool stay_same = shown_is_frame_ && differs.isEmpty() && !reads_shown;
    if (stay_same && fits_window(surfaces)) {
        draw_on_window(picture);
        return true;
    }
    // Every step below reads or writes the frame's pixmap, and a painted picture may replace
    // what its pieces are taken from.
    bring_frame_up(stale_);
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
        note_step(surfaces, step);
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
        const uint32_t target = pixmap(surfaces, step.target);
        copy(made(surfaces, step.source), target, step.to, step.src_x, step.src_y);
    }
    surfaces.draws.clear();
    differs_ = differs;
    if (differs_.isEmpty()) shown_is_frame_ = true;
    return false;
}

// A frame that only erases and draws pictures in the frame, and shows each change, may go
// straight onto the window when the frame can be built again from its pieces.
bool XPixmapPresenter::fits_window(const SceneSurfaces& surfaces) const {
    if (!pieces_known_) return false;
    return std::all_of(surfaces.draws.begin(), surfaces.draws.end(), [](const DrawStep& step) {
        if (step.kind != DrawStep::Kind::Copy) return false;
        if (step.target == ScenePicture::Ascreen) return step.source == ScenePicture::Work;
        return step.target == ScenePicture::Work &&
               (step.source == ScenePicture::Main || step.source == ScenePicture::Sheet ||
                step.source == ScenePicture::NoMods);
    });
}

void XPixmapPresenter::draw_on_window(const PresentedPicture& picture) {
    SceneSurfaces& surfaces = *picture.surfaces;
    const QRegion boxes = picture.overlay ? picture.overlay->covered() : QRegion();
    clip_window_drawing(boxes);
    const QPoint origin = picture.origin;
    for (const DrawStep& step : surfaces.draws) {
        note_step(surfaces, step);
        if (step.target != ScenePicture::Work) continue;  // shown as it is drawn
        const Rect place{step.to.x + origin.x(), step.to.y + origin.y(), step.to.w, step.to.h};
        // Clipping costs the server for every copy; only one that meets a box needs it.
        const uint32_t gc = boxes.intersects(to_qrect(place)) ? window_gc_ : gc_;
        copy(made(surfaces, step.source), window_, place, step.src_x, step.src_y, gc);
        stale_ |= to_qrect(step.to);
    }
    surfaces.draws.clear();
}

void XPixmapPresenter::clip_window_drawing(const QRegion& boxes) {
    // Only copies that meet a box use the clipped context, so without boxes it stays as it is.
    if (boxes.isEmpty() || boxes == clipped_boxes_) return;
    clipped_boxes_ = boxes;
    if (!window_gc_) {
        window_gc_ = xcb_generate_id(c_);
        const uint32_t no_exposures = 0;
        xcb_create_gc(c_, window_gc_, window_, XCB_GC_GRAPHICS_EXPOSURES, &no_exposures);
    }
    std::vector<xcb_rectangle_t> rects;
    for (const QRect& r : QRegion(0, 0, 32767, 32767) - boxes)
        rects.push_back({static_cast<int16_t>(r.x()), static_cast<int16_t>(r.y()),
                         static_cast<uint16_t>(r.width()), static_cast<uint16_t>(r.height())});
    xcb_set_clip_rectangles(c_, XCB_CLIP_ORDERING_YX_BANDED, window_gc_, 0, 0,
                            static_cast<uint32_t>(rects.size()), rects.data());
}

void XPixmapPresenter::note_step(const SceneSurfaces& surfaces, const DrawStep& step) {
    const auto a_source = [this](ScenePicture name) {
        return std::any_of(pieces_.begin(), pieces_.end(),
                           [name](const Piece& p) { return p.source == name; });
    };
    if (step.kind == DrawStep::Kind::Painted) {
        if (step.target == ScenePicture::Ascreen)
            main_is_shown_ = false;
        else if (step.target == ScenePicture::Work || step.target == ScenePicture::Main ||
                 a_source(step.target))
            pieces_known_ = false;
        return;
    }
    const QRect to = to_qrect(step.to);
    const Surface& target = scene_picture(surfaces, step.target);
    const bool whole_in_place =
        step.src_x == 0 && step.src_y == 0 && to == QRect(0, 0, target.width, target.height);
    if (step.target == ScenePicture::Main) {
        main_is_shown_ = step.source == ScenePicture::Ascreen && whole_in_place;
        pieces_known_ = false;
        return;
    }
    if (step.target == ScenePicture::Ascreen) {
        main_is_shown_ = false;
        return;
    }
    if (step.target != ScenePicture::Work) {
        if (a_source(step.target)) pieces_known_ = false;
        return;
    }
    if (step.source == ScenePicture::Ascreen && main_is_shown_ && whole_in_place) {
        pieces_.clear();
        pieces_known_ = true;
        return;
    }
    if (step.source == ScenePicture::Work || step.source == ScenePicture::Ascreen)
        pieces_known_ = false;
    if (!pieces_known_) return;
    cut_pieces(to);
    if (step.source != ScenePicture::Main)
        pieces_.push_back({to, step.source, step.src_x - to.x(), step.src_y - to.y()});
}

// A piece that `cut` overlaps keeps what lies around it: the rows above and below, and the
// columns left and right of the overlap.
void XPixmapPresenter::cut_pieces(const QRect& cut) {
    for (size_t i = 0; i < pieces_.size();) {
        const Piece p = pieces_[i];
        const QRect common = p.to & cut;
        if (common.isEmpty()) {
            ++i;
            continue;
        }
        const QRect around[] = {
            QRect(p.to.left(), p.to.top(), p.to.width(), common.top() - p.to.top()),
            QRect(p.to.left(), common.bottom() + 1, p.to.width(), p.to.bottom() - common.bottom()),
            QRect(p.to.left(), common.top(), common.left() - p.to.left(), common.height()),
            QRect(common.right() + 1, common.top(), p.to.right() - common.right(), common.height()),
        };
        // The parts go at the end; none of them meets `cut`.
        pieces_[i] = pieces_.back();
        pieces_.pop_back();
        for (const QRect& r : around)
            if (!r.isEmpty()) pieces_.push_back({r, p.source, p.dx, p.dy});
    }
}

// The frame is the background with its pieces on top; built again here where it lagged.
void XPixmapPresenter::bring_frame_up(const QRegion& where) {
    const QRegion due = where & stale_;
    if (due.isEmpty()) return;
    const uint32_t frame = pixmaps_[static_cast<size_t>(ScenePicture::Work)].id;
    const uint32_t main = pixmaps_[static_cast<size_t>(ScenePicture::Main)].id;
    for (const QRect& r : due) copy(main, frame, to_rect(r), r.x(), r.y());
    for (const Piece& p : pieces_) {
        const Pixmap& from = pixmaps_[static_cast<size_t>(p.source)];
        for (const QRect& r : due& p.to) copy(from, frame, to_rect(r), r.x() + p.dx, r.y() + p.dy);
    }
    if (due == QRegion(stale_)) stale_ = QRect();
}

void XPixmapPresenter::copy(const Pixmap& from, uint32_t to, const Rect& r, int32_t sx,
                            int32_t sy, uint32_t gc) {
    if (from.columns == 1) {
        copy(from.id, to, r, sx, sy, gc);
        return;
    }
    // Rows outside the picture would be another column's in the pixmap.
    const int32_t top = std::max(sy, 0);
    const int32_t bottom = std::min(sy + r.h, from.height);
    const int32_t width = from.width / from.columns;
    for (int32_t c = 0; c < from.columns; ++c) {
        const int32_t left = std::max(sx, c * width);
        const int32_t right = std::min(sx + r.w, (c + 1) * width);
        if (right <= left || bottom <= top) continue;
        copy(from.id, to, Rect{r.x + left - sx, r.y + top - sy, right - left, bottom - top},
             left - c * width, top + c * from.height, gc);
    }
}

void XPixmapPresenter::copy(uint32_t from, uint32_t to, const Rect& r, int32_t sx, int32_t sy,
                            uint32_t gc) {
    if (!from || !to || r.w <= 0 || r.h <= 0) return;
    xcb_copy_area(c_, from, to, gc ? gc : gc_, static_cast<int16_t>(sx), static_cast<int16_t>(sy),
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
    if (shown_is_frame_) bring_frame_up(to_qrect(from));
    copy(shown(), window_, Rect{dx, dy, from.w, from.h}, from.x, from.y);
}

void XPixmapPresenter::present(const PresentedPicture& picture, const QRegion& region) {
    const bool on_window = replay(picture);
    const QRegion boxes = picture.overlay ? picture.overlay->covered() : QRegion();
    if (region.isEmpty()) {
        flush();
    } else if (on_window) {
        // The frame is on the window already, except where a box has just gone.
        send(picture, boxes_shown_ == boxes ? QRegion() : region & (boxes_shown_ - boxes), region);
        flush();
    } else {
        ShmPresenter::present(picture, region);
    }
    boxes_shown_ = boxes;
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
    if (shown_is_frame_) bring_frame_up(QRect(0, 0, scene.width, scene.height));
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
