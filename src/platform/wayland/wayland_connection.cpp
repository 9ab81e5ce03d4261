#include "platform/wayland/wayland_connection.h"

#include <wayland-client.h>

#include <cerrno>
#include <cstring>

namespace vistaloom {

std::unique_ptr<WaylandConnection> WaylandConnection::open(std::string& why) {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        why = "no Wayland compositor accepts a connection (WAYLAND_DISPLAY)";
        return nullptr;
    }
    return std::unique_ptr<WaylandConnection>(new WaylandConnection(display));
}

WaylandConnection::~WaylandConnection() {
    readable_.reset();
    writable_.reset();
    if (!display_) return;
    wl_display_flush(display_);
    wl_display_disconnect(display_);
}

bool WaylandConnection::roundtrip(std::string& why) {
    if (wl_display_roundtrip(display_) >= 0) return true;
    why = std::string("the Wayland compositor broke the connection: ") +
          std::strerror(wl_display_get_error(display_));
    return false;
}

void WaylandConnection::watch() {
    const int fd = wl_display_get_fd(display_);
    readable_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(readable_.get(), &QSocketNotifier::activated, [this] { read_socket(); });
    writable_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
    writable_->setEnabled(false);
    QObject::connect(writable_.get(), &QSocketNotifier::activated, [this] { flush(); });
    // Events that arrived during set-up wait in the queue, not in the socket.
    if (wl_display_dispatch_pending(display_) < 0) lose("dispatching failed");
}

// The socket has data: the reading protocol of libwayland, so that events already queued
// are dispatched before we read and nothing waits in the queue until the next wake-up.
void WaylandConnection::read_socket() {
    if (lost_) return;
    while (wl_display_prepare_read(display_) != 0) {
        if (wl_display_dispatch_pending(display_) < 0) return lose("dispatching failed");
    }
    flush();
    if (lost_) {
        wl_display_cancel_read(display_);
        return;
    }
    if (wl_display_read_events(display_) < 0) return lose("reading failed");
    if (wl_display_dispatch_pending(display_) < 0) return lose("dispatching failed");
    // What the handlers asked for (an output plugged in is bound there) goes now: a still
    // scene sends nothing else that would take it along.
    flush();
}

void WaylandConnection::flush() {
    if (lost_) return;
    if (wl_display_flush(display_) >= 0) {
        if (writable_) writable_->setEnabled(false);
        return;
    }
    if (errno == EAGAIN) {
        // The socket is full: the rest goes when it has room again.
        if (writable_) writable_->setEnabled(true);
        return;
    }
    lose("writing failed");
}

void WaylandConnection::lose(const std::string& what) {
    if (lost_) return;
    lost_ = true;
    // A closed socket stays readable: without this the loop would spin on it.
    if (readable_) readable_->setEnabled(false);
    if (writable_) writable_->setEnabled(false);
    const int error = wl_display_get_error(display_);
    std::string why = what;
    if (error) why += std::string(": ") + std::strerror(error);
    if (lost_handler_) lost_handler_(why);
}

}  // namespace vistaloom
