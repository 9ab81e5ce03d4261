#pragma once
#include <xcb/xcb.h>

#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <string>

#include "ground/idle_source.h"

class QSocketNotifier;

namespace vistaloom {

// The X server's idle counter (MIT-SCREEN-SAVER). The server tells how long it has seen no
// input but sends nothing when that time passes, so the source asks once, sleeps for exactly
// the time still missing and asks again: a user who typed meanwhile only moves the next
// question later. The connection is the watcher's own; its closing ends the session.
class X11IdleSource : public QObject, public IdleSource {
  public:
    // Takes ownership of `connection`, which must be open and offer the extension.
    X11IdleSource(IdleListener& listener, xcb_connection_t* connection, xcb_window_t root);
    ~X11IdleSource() override;

    std::string name() const override { return "x11"; }
    void arm(int64_t idle_ms) override;
    void disarm() override;

  private:
    using Clock = std::chrono::steady_clock;

    void check();
    void read_socket();
    bool connection_lost();
    // Milliseconds without input by the server's count; negative when it did not answer.
    int64_t server_idle_ms();

    IdleListener& listener_;
    xcb_connection_t* connection_;
    xcb_window_t root_;
    QTimer timer_;
    QSocketNotifier* notifier_ = nullptr;
    bool armed_ = false;
    bool lost_ = false;
    int64_t idle_ms_ = 0;
    Clock::time_point armed_at_;
};

// True when an XScreenSaver daemon manages the display `connection` talks to: it marks the
// root window with its version while it runs.
bool xscreensaver_running(xcb_connection_t* connection, xcb_window_t root);

}  // namespace vistaloom
