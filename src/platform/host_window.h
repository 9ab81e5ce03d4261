#pragma once
#include <xcb/xcb.h>

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QWidget>
#include <cstdint>
#include <memory>

class QWindow;

namespace vistaloom {

class X11Connection;

// An existing X window the saver draws into: the window a screen-saver daemon passes with
// -window-id or XSCREENSAVER_WINDOW, or the root window for -root. The saver's widget becomes
// a child of it, fills it, and follows it when it is resized. The host is watched through
// the program's own connection, because Qt's connection ignores events of windows it did not
// create.
class HostWindow : public QObject {
    Q_OBJECT
  public:
    ~HostWindow() override;

    // Null when the window does not exist or the display is not X11.
    static std::unique_ptr<HostWindow> open(uint64_t window_id);
    static std::unique_ptr<HostWindow> open_root();

    uint64_t id() const { return id_; }
    QSize size() const { return size_; }

    // False once the window has been destroyed (or the display connection is lost).
    bool exists();

    // Makes `widget` a child of the host at (0, 0) with the host's size and keeps it so.
    void adopt(QWidget& widget);

  signals:
    void resized(QSize size);
    // The host window was destroyed; the saver has nothing left to draw into.
    void gone();

  private:
    HostWindow(X11Connection& connection, uint64_t id, QSize size);
    static std::unique_ptr<HostWindow> open_on(X11Connection* connection, uint64_t window_id);
    void take(const xcb_generic_event_t& event);

    X11Connection& connection_;
    int listener_ = 0;
    uint64_t id_ = 0;
    QSize size_;
    QWindow* foreign_ = nullptr;
    QPointer<QWidget> widget_;
};

}  // namespace vistaloom
