#include "platform/box_overlay.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>

#include "platform/device_pixels.h"

namespace vistaloom {

namespace {

// Arial where it is installed; otherwise whatever sans-serif face fontconfig picks for it.
QFont box_font(qreal point_size) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(point_size);
    font.setBold(true);
    return font;
}

const QColor kBackground = Qt::black;
const QColor kText = QColor(0xE0, 0xE0, 0xE0);

}  // namespace

BoxOverlay::BoxOverlay(const QPaintDevice& window) : window_(window) {
    State& time = boxes_[Time];
    time.text = QStringLiteral("Time");
    time.font = box_font(9.0);
    // Wide enough for the longest time of day, whatever the digits' widths.
    const QFontMetrics time_metrics(time.font, &window);
    time.logical = QRect(0, 0, time_metrics.horizontalAdvance(QStringLiteral("00:00:00 PM")) + 12,
                         time_metrics.height() + 6);
    State& info = boxes_[Info];
    info.text = QStringLiteral("Info Box");
    info.font = box_font(8.25);
    const QFontMetrics info_metrics(info.font, &window);
    info.logical = QRect(0, 0, window.width(), info_metrics.height() + 6);
}

qreal BoxOverlay::ratio() const {
    const qreal r = window_.devicePixelRatioF();
    return r > 0 ? r : 1.0;
}

QRect BoxOverlay::device_rect(Box box) const {
    return device_from_logical(boxes_[box].logical, ratio());
}

void BoxOverlay::touch(Box box, const QRect& old_device) {
    State& b = boxes_[box];
    covered_known_ = false;
    b.image = QImage();
    changes_ += old_device;
    if (b.shown) changes_ += device_rect(box);
}

void BoxOverlay::set_geometry(Box box, const QRect& logical) {
    State& b = boxes_[box];
    if (b.logical == logical) return;
    const QRect old = b.shown ? device_rect(box) : QRect();
    b.logical = logical;
    touch(box, old);
}

void BoxOverlay::set_text(Box box, const QString& text) {
    State& b = boxes_[box];
    if (b.text == text) return;
    b.text = text;
    touch(box, QRect());
}

void BoxOverlay::set_shown(Box box, bool shown) {
    State& b = boxes_[box];
    if (b.shown == shown) return;
    const QRect old = b.shown ? device_rect(box) : QRect();
    b.shown = shown;
    touch(box, old);
}

const QRegion& BoxOverlay::covered() const {
    // Asked several times a frame; the boxes change about once a second.
    const qreal r = ratio();
    if (covered_known_ && r == covered_ratio_) return covered_;
    covered_ = QRegion();
    for (int i = 0; i < kBoxes; ++i)
        if (boxes_[i].shown) covered_ += device_from_logical(boxes_[i].logical, r);
    covered_ratio_ = r;
    covered_known_ = true;
    return covered_;
}

const QImage& BoxOverlay::image(Box box) const {
    const State& b = boxes_[box];
    const qreal r = ratio();
    const QSize size = device_rect(box).size();
    if (!b.image.isNull() && b.image.size() == size && b.image.devicePixelRatio() == r)
        return b.image;
    // The box as a label widget shows it: its background, its text centred in its font.
    b.image = QImage(size, QImage::Format_RGB32);
    b.image.setDevicePixelRatio(r);
    b.image.fill(kBackground);
    QPainter painter(&b.image);
    painter.setFont(b.font);
    painter.setPen(kText);
    painter.drawText(QRect(QPoint(0, 0), b.logical.size()), Qt::AlignCenter, b.text);
    return b.image;
}

QRegion BoxOverlay::take_frame_region(const QRegion& changed) {
    QRegion region = (changed - covered()) | changes_;
    changes_ = QRegion();
    return region;
}

}  // namespace vistaloom
