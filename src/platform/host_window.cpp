#include "platform/host_window.h"

#include <xcb/xcb.h>

#include <QWidget>
#include <QWindow>
#include <cstdlib>

#include "platform/x11_connection.h"

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

HostWindow::HostWindow(X11Connection& connection, uint64_t id, QSize size)
    : connection_(connection), id_(id), size_(size) {
    listener_ = connection_.add_listener([this](const xcb_generic_event_t& e) { take(e); });
    connection_.select_events(static_cast<xcb_window_t>(id_), XCB_EVENT_MASK_STRUCTURE_NOTIFY);
}

HostWindow::~HostWindow() {
    // The stand-in for the foreign window owns our window's native handle while our widget
    // lives, so it can only go after the widget.
    if (!widget_) delete foreign_;
    connection_.remove_listener(listener_);
}

std::unique_ptr<HostWindow> HostWindow::open_on(X11Connection* connection, uint64_t window_id) {
    if (connection == nullptr || !connection->alive() || window_id == 0) return nullptr;
    QSize size;
    if (!query_size(connection->get(), static_cast<xcb_window_t>(window_id), size)) return nullptr;
    return std::unique_ptr<HostWindow>(new HostWindow(*connection, window_id, size));
}

std::unique_ptr<HostWindow> HostWindow::open(uint64_t window_id) {
    return open_on(X11Connection::for_toolkit(), window_id);
}

std::unique_ptr<HostWindow> HostWindow::open_root() {
    X11Connection* connection = X11Connection::for_toolkit();
    return open_on(connection, connection ? connection->root() : 0);
}

bool HostWindow::exists() {
    if (!connection_.alive()) return false;
    QSize size;
    return query_size(connection_.get(), static_cast<xcb_window_t>(id_), size);
}

void HostWindow::adopt(QWidget& widget) {
    widget_ = &widget;
    foreign_ = QWindow::fromWinId(static_cast<WId>(id_));
    widget.setAttribute(Qt::WA_NativeWindow);
    widget.winId();  // creates the native window so it can be given a foreign parent
    widget.windowHandle()->setParent(foreign_);
    widget.setGeometry(0, 0, size_.width(), size_.height());
}

void HostWindow::take(const xcb_generic_event_t& event) {
    const uint8_t type = event.response_type & 0x7F;
    if (type == XCB_CONFIGURE_NOTIFY) {
        const auto& configure = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
        const QSize size(configure.width, configure.height);
        if (configure.window == id_ && size != size_) {
            size_ = size;
            if (widget_) widget_->setGeometry(0, 0, size.width(), size.height());
            emit resized(size);
        }
    } else if (type == XCB_DESTROY_NOTIFY) {
        const auto& destroyed = reinterpret_cast<const xcb_destroy_notify_event_t&>(event);
        if (destroyed.window == id_) emit gone();
    }
}

}  // namespace vistaloom
