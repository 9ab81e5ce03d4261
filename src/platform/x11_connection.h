#pragma once
#include <xcb/xcb.h>

#include <QPointer>
#include <QSocketNotifier>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace vistaloom {

// The program's own connection to the X server, one per process, shared by everything that
// talks X11 itself (frame presentation, the visibility watch, host windows, display power).
// It is kept apart from the toolkit's connection: event selections are per client, and our
// requests and replies must never mix with the toolkit's. Opened once, by the start-up
// display check, and kept for the run: every further connection is one more chance for a
// loaded server to refuse us.
class X11Connection {
  public:
    using EventListener = std::function<void(const xcb_generic_event_t& event)>;

    // The connection where the toolkit draws on X11 too (XWayland counts); null on any other
    // window system, or when the server cannot be reached.
    static X11Connection* for_toolkit();

    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;
    ~X11Connection();

    xcb_connection_t* get() const { return c_; }
    uint32_t root() const { return root_; }
    // False once the server has gone or broke the connection off.
    bool alive() const;

    // Adds `mask` to the events this connection selects on `window`. The selection is one
    // per client, so every user's wishes are merged here rather than overwriting each other.
    void select_events(uint32_t window, uint32_t mask);

    // Every event read from the server goes to every listener, on the toolkit's thread.
    int add_listener(EventListener listener);
    void remove_listener(int id);

  private:
    friend bool display_reachable(std::string& why);
    static X11Connection* process_connection(std::string* why);
    X11Connection(xcb_connection_t* c, uint32_t root);
    void start_reading();
    void dispatch(bool read_socket);

    xcb_connection_t* c_;
    uint32_t root_;
    std::map<uint32_t, uint32_t> selected_;
    std::map<int, EventListener> listeners_;
    int next_listener_ = 1;
    // Owned by the application object, which may go first.
    QPointer<QSocketNotifier> notifier_;
};

// Whether the display the toolkit will use can be reached; `why` says what is missing when it
// cannot. The toolkit ends the process with an abort when it cannot reach the display, which
// is no way for a screen saver started over ssh or from a service to say so; this also makes
// a refusal that comes after the check (a loaded server) end the process with status 1 and
// one line.
bool display_reachable(std::string& why);

}  // namespace vistaloom
