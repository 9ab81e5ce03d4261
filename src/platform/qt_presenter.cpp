#include "platform/qt_presenter.h"

#include <QImage>
#include <QPainter>
#include <QWidget>
#include <algorithm>

#include "platform/box_overlay.h"
#include "platform/device_pixels.h"
#include "platform/surface_image.h"

namespace vistaloom {

namespace {

// Qt's raster engine hands a large image copy to its thread pool in segments and waits for
// them. Bands of this size are copied on the calling thread.
constexpr int kPixelsPerBand = 8 * 1024;

}  // namespace

bool QtPresenter::start(QWidget& window) {
    window_ = &window;
    return true;
}

qreal QtPresenter::ratio() const {
    const qreal r = window_->devicePixelRatioF();
    return r > 0 ? r : 1.0;
}

void QtPresenter::present(const PresentedPicture&, const QRegion& region) {
    // Painted at once rather than posted: the frame is finished now, and the frame wait
    // that follows should not be woken again by a deferred repaint.
    if (!region.isEmpty()) window_->repaint(logical_from_device(region, ratio()));
}

void QtPresenter::paint(const PresentedPicture& picture, const QRegion& logical) {
    QPainter painter(window_);
    const qreal r = ratio();
    const QRect area = picture.scene_area();  // device pixels
    const QRegion logical_area(area.isEmpty() ? QRect() : logical_from_device(area, r));
    for (const QRect& part : logical - logical_area) painter.fillRect(part, Qt::black);
    if (!area.isEmpty()) {
        // Drawn at the window's own ratio, one scene pixel to one device pixel: sharp on a
        // 200% screen, where a picture of device-independent size would be blown up.
        // Made for every paint: the scene's pixels may have moved since the last.
        QImage image = wrap(*picture.scene);
        image.setDevicePixelRatio(r);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        for (const QRect& part : logical& logical_area) {
            const QRect d = device_from_logical(part, r) & area;
            // For a few sprite-sized rectangles per frame, handing parts of the copy to
            // other threads and waiting for them costs more than the copy itself.
            const int rows = std::max(1, kPixelsPerBand / std::max(1, d.width()));
            for (int y = d.top(); y <= d.bottom(); y += rows) {
                const QRect band(d.left(), y, d.width(), std::min(rows, d.bottom() + 1 - y));
                painter.drawImage(QPointF(band.topLeft()) / r, image,
                                  QRectF(band.translated(-area.topLeft())));
            }
        }
    }
    if (!picture.overlay) return;
    for (int i = 0; i < BoxOverlay::kBoxes; ++i) {
        const auto box = static_cast<BoxOverlay::Box>(i);
        if (!picture.overlay->shown(box)) continue;
        const QRect place = picture.overlay->geometry(box);
        if (logical.intersects(place))
            painter.drawImage(place.topLeft(), picture.overlay->image(box));
    }
}

}  // namespace vistaloom
