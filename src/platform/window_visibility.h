#pragma once
#include <xcb/xcb.h>

#include <QObject>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace vistaloom {

class X11Connection;

// Tells whether anybody can see a window: it and every watched ancestor (the host window of
// an embedded saver) mapped, and the window not wholly covered by others. Watched through a
// connection of our own, because event selections are per client and Qt's own must stay as
// they are. On a display that is not X11 nothing is watched and the window counts as seen.
class WindowVisibility : public QObject {
    Q_OBJECT
  public:
    // `window` is the saver window; `hosts` are windows whose unmapping hides it too.
    static std::unique_ptr<WindowVisibility> watch(uint64_t window,
                                                   const std::vector<uint64_t>& hosts = {});
    ~WindowVisibility() override;

    bool shown() const;

  signals:
    void shown_changed(bool shown);

  private:
    struct State {
        bool mapped = true;
        bool covered = false;
    };
    WindowVisibility(X11Connection& connection, uint64_t window,
                     const std::vector<uint64_t>& hosts);
    void select(uint64_t window, bool visibility_too);
    void take(const xcb_generic_event_t& event);

    X11Connection& connection_;
    int listener_ = 0;
    std::map<uint64_t, State> states_;
    bool last_shown_ = true;
};

}  // namespace vistaloom
