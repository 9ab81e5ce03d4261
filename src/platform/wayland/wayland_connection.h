#pragma once
#include <QSocketNotifier>
#include <functional>
#include <memory>
#include <string>

struct wl_display;

namespace vistaloom {

// A connection of our own to the compositor, apart from the toolkit's, read and written from
// Qt's event loop: what the idle watcher and the layer-shell saver each talk through. Events
// are dispatched from the loop as they arrive; requests go out with flush().
class WaylandConnection {
  public:
    // Null, with `why`, when no compositor accepts a connection (WAYLAND_DISPLAY).
    static std::unique_ptr<WaylandConnection> open(std::string& why);
    ~WaylandConnection();
    WaylandConnection(const WaylandConnection&) = delete;
    WaylandConnection& operator=(const WaylandConnection&) = delete;

    wl_display* display() const { return display_; }

    // Until now the caller dispatches itself (wl_display_roundtrip during set-up); from now on
    // the event loop does.
    void watch();
    // Sends what is queued; what finds the socket full goes once it has room.
    void flush();
    // A round trip, for set-up only: false when the compositor broke the connection.
    bool roundtrip(std::string& why);

    // Called once when the compositor has gone or broke the connection, with the reason.
    void on_lost(std::function<void(const std::string&)> handler) {
        lost_handler_ = std::move(handler);
    }
    bool lost() const { return lost_; }

  private:
    explicit WaylandConnection(wl_display* display) : display_(display) {}
    void read_socket();
    void lose(const std::string& what);

    wl_display* display_ = nullptr;
    bool lost_ = false;
    std::function<void(const std::string&)> lost_handler_;
    std::unique_ptr<QSocketNotifier> readable_;
    // Only while requests wait for room in the socket.
    std::unique_ptr<QSocketNotifier> writable_;
};

}  // namespace vistaloom
