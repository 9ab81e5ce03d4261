#include "ui/direct_presentation.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QWidget>

#include "platform/frame_presenter.h"

namespace vistaloom {

namespace {

// The box as the toolkit would show it: its background, its text in its font and colour.
QImage draw_box(const QLabel& box) {
    QImage image(box.size(), QImage::Format_RGB32);
    image.fill(box.palette().color(QPalette::Window));
    QPainter painter(&image);
    painter.setFont(box.font());
    painter.setPen(box.palette().color(QPalette::WindowText));
    painter.drawText(image.rect(), static_cast<int>(box.alignment()), box.text());
    return image;
}

Rect to_rect(const QRect& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}

}  // namespace

std::unique_ptr<DirectPresentation> DirectPresentation::create(QWidget& window) {
    // XWayland counts: the toolkit then talks X11 too.
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    std::unique_ptr<FramePresenter> presenter = make_x11_presenter();
    if (!presenter) return nullptr;
    auto direct = std::make_unique<DirectPresentation>(std::move(presenter));
    // Nothing of this window goes through the toolkit's backing store, so none is made.
    window.setAttribute(Qt::WA_PaintOnScreen);
    if (direct->bind(window)) return direct;
    window.setAttribute(Qt::WA_PaintOnScreen, false);
    return nullptr;
}

DirectPresentation::DirectPresentation(std::unique_ptr<FramePresenter> presenter)
    : presenter_(std::move(presenter)) {}

DirectPresentation::~DirectPresentation() = default;

const char* DirectPresentation::name() const {
    return presenter_->name();
}

void DirectPresentation::adopt(Surface& ascreen) {
    ascreen.pixels.use_store(presenter_.get());
}

bool DirectPresentation::bind(QWidget& window) {
    bound_ = presenter_->bind(static_cast<uint64_t>(window.winId()));
    return bound_;
}

void DirectPresentation::set_box(int index, const QLabel& box, bool shown) {
    Box& b = boxes_[static_cast<size_t>(index)];
    const QRect rect = box.geometry();
    if (shown == b.shown && rect == b.rect && box.text() == b.text) return;
    if (b.shown && (!shown || rect != b.rect)) uncovered_ += b.rect;
    b.text = box.text();
    b.shown = shown;
    b.rect = rect;
    if (!shown) return;
    b.image = draw_box(box);
    b.dirty = true;
}

QRegion DirectPresentation::covered() const {
    QRegion region;
    for (const Box& b : boxes_)
        if (b.shown) region += b.rect;
    return region;
}

void DirectPresentation::wait_idle() {
    presenter_->wait_idle();
}

void DirectPresentation::put_region(const Surface& ascreen, QPoint origin, const QRegion& region) {
    const QRect area(origin, QSize(ascreen.width, ascreen.height));
    for (const QRect& r : region & area)
        presenter_->put(ascreen, to_rect(r.translated(-origin)), r.x(), r.y());
}

void DirectPresentation::put_boxes(bool all) {
    for (Box& b : boxes_) {
        if (!b.shown || (!all && !b.dirty)) continue;
        presenter_->put(reinterpret_cast<const uint32_t*>(b.image.constBits()),
                        static_cast<int32_t>(b.image.bytesPerLine() / 4), b.image.height(),
                        {0, 0, b.image.width(), b.image.height()}, b.rect.x(), b.rect.y());
        b.dirty = false;
    }
}

void DirectPresentation::present(const Surface& ascreen, QPoint origin,
                                 const std::vector<Rect>& rects) {
    if (!bound_) return;
    // One region, so overlapping sprite rectangles go once, and never over a text box.
    QRegion region = uncovered_;
    for (const Rect& r : rects)
        if (r.w > 0 && r.h > 0) region += QRect(origin.x() + r.x, origin.y() + r.y, r.w, r.h);
    uncovered_ = QRegion();
    put_region(ascreen, origin, region - covered());
    put_boxes(false);
    presenter_->flush();
}

void DirectPresentation::expose(const Surface* ascreen, QPoint origin, const QRegion& area) {
    if (!bound_) return;
    QRect picture;
    if (ascreen && !ascreen->empty()) picture = QRect(origin, QSize(ascreen->width, ascreen->height));
    for (const QRect& r : area - QRegion(picture) - covered()) presenter_->fill_black(to_rect(r));
    if (!picture.isEmpty()) put_region(*ascreen, origin, area - covered());
    uncovered_ = QRegion();
    put_boxes(true);
    presenter_->flush();
}

}  // namespace vistaloom
