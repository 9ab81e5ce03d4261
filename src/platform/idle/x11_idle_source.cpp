#include "platform/idle/x11_idle_source.h"

#include <xcb/screensaver.h>

#include <QSocketNotifier>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/idle/idle_sources.h"

namespace vistaloom {

namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

}  // namespace

X11IdleSource::X11IdleSource(IdleListener& listener, xcb_connection_t* connection,
                             xcb_window_t root)
    : listener_(listener), connection_(connection), root_(root) {
    timer_.setSingleShot(true);
    // Precise: a coarse timer may fire up to 5% early, which would only cost one more
    // question, or late, which would start the saver late.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &X11IdleSource::check);
    notifier_ =
        new QSocketNotifier(xcb_get_file_descriptor(connection_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &X11IdleSource::read_socket);
}

X11IdleSource::~X11IdleSource() {
    xcb_disconnect(connection_);
}

void X11IdleSource::arm(int64_t idle_ms) {
    armed_ = true;
    idle_ms_ = std::max<int64_t>(idle_ms, 0);
    armed_at_ = Clock::now();
    check();
}

void X11IdleSource::disarm() {
    armed_ = false;
    timer_.stop();
}

int64_t X11IdleSource::server_idle_ms() {
    const auto cookie = xcb_screensaver_query_info(connection_, root_);
    Reply<xcb_screensaver_query_info_reply_t> info(
        xcb_screensaver_query_info_reply(connection_, cookie, nullptr), &std::free);
    if (!info) return -1;
    return info->ms_since_user_input;
}

void X11IdleSource::check() {
    if (!armed_ || connection_lost()) return;
    const int64_t server_idle = server_idle_ms();
    if (server_idle < 0) {
        // No answer without a broken connection: the server refused the request. Asking
        // again later is all that can be done; the idle time is the longest wait there is.
        if (!connection_lost()) timer_.start(static_cast<int>(std::min<int64_t>(idle_ms_, 60000)));
        return;
    }
    const int64_t since_arm =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - armed_at_).count();
    // Idle time before arm() does not count: the watcher asks for idle time from now on.
    const int64_t idle = std::min(server_idle, since_arm);
    if (idle >= idle_ms_) {
        armed_ = false;
        listener_.user_idle();
        return;
    }
    // QTimer takes an int; a day is far beyond the longest idle time anyway.
    timer_.start(static_cast<int>(std::min<int64_t>(idle_ms_ - idle, 86400000)));
}

void X11IdleSource::read_socket() {
    // Nothing is selected, but errors and the server's hanging up arrive here.
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) std::free(event);
    connection_lost();
}

bool X11IdleSource::connection_lost() {
    if (lost_) return true;
    const int error = xcb_connection_has_error(connection_);
    if (error == 0) return false;
    lost_ = true;
    armed_ = false;
    timer_.stop();
    // A broken connection stays readable for ever.
    notifier_->setEnabled(false);
    listener_.source_lost("the X server closed the connection");
    return true;
}

bool xscreensaver_running(xcb_connection_t* c, xcb_window_t root) {
    static constexpr char kName[] = "_SCREENSAVER_VERSION";
    Reply<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, std::strlen(kName), kName), nullptr),
        &std::free);
    if (!atom || atom->atom == XCB_ATOM_NONE) return false;
    Reply<xcb_get_property_reply_t> property(
        xcb_get_property_reply(
            c, xcb_get_property(c, 0, root, atom->atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 16), nullptr),
        &std::free);
    return property && property->type != XCB_ATOM_NONE;
}

std::unique_ptr<IdleSource> open_x11_idle_source(IdleListener& listener, std::string& why) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        why = "no X display (DISPLAY is not set)";
        return nullptr;
    }
    int screen_number = 0;
    xcb_connection_t* c = xcb_connect(display, &screen_number);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        why = std::string("cannot open the X display ") + display;
        return nullptr;
    }
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_screensaver_id);
    if (!extension || !extension->present) {
        xcb_disconnect(c);
        why = std::string("the X server on ") + display + " has no MIT-SCREEN-SAVER extension";
        return nullptr;
    }
    auto screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screen_number && screens.rem; ++i) xcb_screen_next(&screens);
    if (!screens.rem) {
        xcb_disconnect(c);
        why = std::string("the X display ") + display + " has no such screen";
        return nullptr;
    }
    return std::make_unique<X11IdleSource>(listener, c, screens.data->root);
}

}  // namespace vistaloom
