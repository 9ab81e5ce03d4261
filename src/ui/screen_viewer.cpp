#include "ui/screen_viewer.h"

#include <QCursor>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScreen>
#include <cmath>

#include "platform/presenter.h"
#include "platform/presenter_table.h"
#include "platform/qt_rect.h"
#include "platform/surface_image.h"
#include "startup/startup.h"
#include "ui/screenshot_file.h"

namespace vistaloom {

ScreenViewer::ScreenViewer(QScreen* screen, std::optional<SceneView> view, std::string screenshot)
    : screen_(screen), view_(view), screenshot_(std::move(screenshot)) {
    setWindowTitle(QString::fromLatin1(kSaverWindowTitle));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    if (screen_) {
        setScreen(screen_);
        setGeometry(screen_->geometry());
    }
    presenter_ = start_presenter(*this);
}

ScreenViewer::~ScreenViewer() = default;

QPaintEngine* ScreenViewer::paintEngine() const {
    if (presenter_ && !presenter_->toolkit_paints()) return nullptr;
    return QWidget::paintEngine();
}

void ScreenViewer::show_full_screen() {
    showFullScreen();
}

QSize ScreenViewer::device_size() const {
    const qreal ratio = devicePixelRatioF() > 0 ? devicePixelRatioF() : 1.0;
    return QSize(static_cast<int>(std::lround(width() * ratio)),
                 static_cast<int>(std::lround(height() * ratio)));
}

void ScreenViewer::scene_changed(const Surface& scene, QPoint origin, const QRegion& changed) {
    if (!view_) return;
    scene_ = &scene;
    scene_origin_ = origin;
    if (picture_.empty()) return;
    QRegion drawn;
    for (const QRect& r : changed) {
        const Rect placed = draw_view(picture_, *view_, scene, origin.x(), origin.y(), to_rect(r));
        if (placed.w > 0) drawn += to_qrect(placed);
    }
    if (!drawn.isEmpty())
        presenter_->present(PresentedPicture{&picture_, QPoint(), nullptr}, drawn);
}

void ScreenViewer::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!view_) return;
    const QSize size = device_size();
    if (picture_.width == size.width() && picture_.height == size.height()) return;
    if (PixelStore* store = presenter_->picture_store()) picture_.pixels.use_store(store);
    picture_.resize(size.width(), size.height());
    if (scene_)
        scene_changed(
            *scene_, scene_origin_,
            QRegion(QRect(view_->source.x, view_->source.y, view_->source.w, view_->source.h)));
}

void ScreenViewer::paintEvent(QPaintEvent* event) {
    const Surface* shown = picture_.empty() ? nullptr : &picture_;
    presenter_->paint(PresentedPicture{shown, QPoint(), nullptr}, event->region());
}

bool ScreenViewer::write_screenshot() {
    if (screenshot_.empty()) return true;
    if (view_ && !picture_.empty()) return write_screenshot_file(wrap(picture_), screenshot_);
    const QSize size = device_size();
    const Surface black(size.width(), size.height(), 0);
    return write_screenshot_file(wrap(black), screenshot_);
}

void ScreenViewer::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!last_mouse_) last_mouse_ = QCursor::pos();
}

void ScreenViewer::keyPressEvent(QKeyEvent* event) {
    event->accept();
    emit key_pressed();
}

void ScreenViewer::mousePressEvent(QMouseEvent* event) {
    event->accept();
    emit mouse_pressed();
}

void ScreenViewer::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    // As on the scene's own window: a window appearing under a still pointer is no movement.
    const QPoint position = event->globalPosition().toPoint();
    if (last_mouse_ && *last_mouse_ == position) return;
    last_mouse_ = position;
    emit mouse_moved();
}

}  // namespace vistaloom
