#include "ui/frm_preview.h"

#include <xcb/xcb.h>

#include <QCloseEvent>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QWindow>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "pixels/builtin_pictures.h"

namespace vistaloom {

namespace {

// The size of the X window that holds `window` (a foreign one: the host), in device pixels;
// none when `window` is not a child of a foreign window on X11.
std::optional<QSize> foreign_parent_size(const QWindow* window) {
    const QWindow* host = window ? window->parent() : nullptr;
    if (host == nullptr || host->type() != Qt::ForeignWindow) return std::nullopt;
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (c == nullptr) return std::nullopt;
    xcb_get_geometry_reply_t* reply = xcb_get_geometry_reply(
        c, xcb_get_geometry(c, static_cast<xcb_window_t>(host->winId())), nullptr);
    if (reply == nullptr) return std::nullopt;
    const QSize size(reply->width, reply->height);
    std::free(reply);
    return size;
}

}  // namespace

FrmPreview::FrmPreview(std::function<bool()> host_alive, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), host_alive_(std::move(host_alive)) {
    setWindowTitle(QStringLiteral("Vistaloom Preview"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    const Surface sample = make_preview_sample();
    const QImage view(reinterpret_cast<const uchar*>(sample.pixels.data()), sample.width,
                      sample.height, static_cast<qsizetype>(sample.stride) * 4,
                      QImage::Format_RGB32);
    sample_ = QPixmap::fromImage(view.copy());
    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, &FrmPreview::tick);
}

void FrmPreview::start() {
    attached_ = true;
    timer_.start();
}

void FrmPreview::tick() {
    if (attached_ && host_alive_ && host_alive_()) return;
    timer_.stop();
    attached_ = false;
    ended_ = true;
    emit unloaded();
}

void FrmPreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The picture keeps its size in device pixels in the top-left corner; a larger host shows
    // black around it.
    painter.fillRect(rect(), Qt::black);
    sample_.setDevicePixelRatio(devicePixelRatioF());
    painter.drawPixmap(0, 0, sample_);
}

// Whoever places us in the host may give its size in device pixels as if they were our
// logical ones; at a device ratio of 2 that makes us twice the host, which then shows only
// our top-left quarter. The host's own X geometry settles it, however we were sized.
void FrmPreview::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fit_to_host();
}

void FrmPreview::fit_to_host() {
    const std::optional<QSize> host = foreign_parent_size(windowHandle());
    if (!host) return;
    const qreal ratio = devicePixelRatioF() > 0 ? devicePixelRatioF() : 1.0;
    // Rounded up, so that every device pixel of the host is covered.
    const QSize fitted(static_cast<int>(std::ceil(host->width() / ratio)),
                       static_cast<int>(std::ceil(host->height() / ratio)));
    if (size() != fitted) resize(fitted);
}

// The host asks us to close: let go of it and leave the ending to the timer, which also
// notices a host that simply went away. Once the preview has ended, the application's own
// closing of its windows goes through.
void FrmPreview::closeEvent(QCloseEvent* event) {
    if (ended_) {
        event->accept();
        return;
    }
    event->ignore();
    attached_ = false;
}

}  // namespace vistaloom
