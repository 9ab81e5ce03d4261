#include "platform/host_window.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QSocketNotifier>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <string>

namespace vistaloom {

namespace {

bool query_size(xcb_connection_t* c, xcb_window_t w, QSize& size) {
    xcb_get_geometry_reply_t* reply = xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr);
    if (!reply) return false;
    size = QSize(reply->width, reply->height);
    std::free(reply);
    return true;
}

}  // namespace

HostWindow::HostWindow(xcb_connection_t* connection, uint64_t id, QSize size)
    : connection_(connection), id_(id), size_(size) {
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection_, static_cast<xcb_window_t>(id_), XCB_CW_EVENT_MASK,
                                 &mask);
    xcb_flush(connection_);
    notifier_ =
        new QSocketNotifier(xcb_get_file_descriptor(connection_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &HostWindow::read_events);
}

HostWindow::~HostWindow() {
    // The stand-in for the foreign window owns our window's native handle while our widget
    // lives, so it can only go after the widget.
    if (!widget_) delete foreign_;
    delete notifier_;
    if (connection_) xcb_disconnect(connection_);
}

std::unique_ptr<HostWindow> HostWindow::open(uint64_t window_id) {
    if (QGuiApplication::platformName() != QLatin1String("xcb") || window_id == 0) return nullptr;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (!c || xcb_connection_has_error(c)) {
        if (c) xcb_disconnect(c);
        return nullptr;
    }
    QSize size;
    if (!query_size(c, static_cast<xcb_window_t>(window_id), size)) {
        xcb_disconnect(c);
        return nullptr;
    }
    return std::unique_ptr<HostWindow>(new HostWindow(c, window_id, size));
}

std::unique_ptr<HostWindow> HostWindow::open_root() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    int screen_number = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screen_number);
    if (!c || xcb_connection_has_error(c)) {
        if (c) xcb_disconnect(c);
        return nullptr;
    }
    auto it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screen_number && it.rem; ++i) xcb_screen_next(&it);
    if (!it.rem) {
        xcb_disconnect(c);
        return nullptr;
    }
    const xcb_window_t root = it.data->root;
    QSize size;
    if (!query_size(c, root, size)) {
        xcb_disconnect(c);
        return nullptr;
    }
    return std::unique_ptr<HostWindow>(new HostWindow(c, root, size));
}

bool HostWindow::exists() {
    if (xcb_connection_has_error(connection_)) return false;
    QSize size;
    return query_size(connection_, static_cast<xcb_window_t>(id_), size);
}

void HostWindow::adopt(QWidget& widget) {
    widget_ = &widget;
    foreign_ = QWindow::fromWinId(static_cast<WId>(id_));
    widget.setAttribute(Qt::WA_NativeWindow);
    widget.winId();  // creates the native window so it can be given a foreign parent
    widget.windowHandle()->setParent(foreign_);
    widget.setGeometry(0, 0, size_.width(), size_.height());
}

void HostWindow::read_events() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        const uint8_t type = event->response_type & 0x7F;
        if (type == XCB_CONFIGURE_NOTIFY) {
            auto* configure = reinterpret_cast<xcb_configure_notify_event_t*>(event);
            const QSize size(configure->width, configure->height);
            if (configure->window == id_ && size != size_) {
                size_ = size;
                if (widget_) widget_->setGeometry(0, 0, size.width(), size.height());
                emit resized(size);
            }
        } else if (type == XCB_DESTROY_NOTIFY) {
            auto* destroyed = reinterpret_cast<xcb_destroy_notify_event_t*>(event);
            if (destroyed->window == id_) emit gone();
        }
        std::free(event);
    }
    if (xcb_connection_has_error(connection_)) notifier_->setEnabled(false);
}

}  // namespace vistaloom
