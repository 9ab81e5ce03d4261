#include "platform/x11_connection.h"

#include <xcb/xcb.h>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/display_refusal.h"

namespace vistaloom {

namespace {

// The process's connection; it lives until the process ends, like the toolkit's own.
std::unique_ptr<X11Connection>& process_slot() {
    static std::unique_ptr<X11Connection> connection;
    return connection;
}

}  // namespace

X11Connection::X11Connection(xcb_connection_t* c, uint32_t root) : c_(c), root_(root) {}

X11Connection::~X11Connection() {
    delete notifier_.data();
    xcb_disconnect(c_);
}

X11Connection* X11Connection::process_connection(std::string* why) {
    std::unique_ptr<X11Connection>& slot = process_slot();
    if (slot) return slot.get();
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        if (why)
            *why = "no display (DISPLAY is not set); the screen saver needs a graphical session";
        return nullptr;
    }
    int screen_number = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screen_number);
    if (c == nullptr || xcb_connection_has_error(c)) {
        if (c) xcb_disconnect(c);
        if (why) *why = std::string("cannot open display \"") + display + "\"";
        return nullptr;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screen_number && it.rem; ++i) xcb_screen_next(&it);
    const uint32_t root = it.rem ? it.data->root : 0;
    slot.reset(new X11Connection(c, root));
    return slot.get();
}

X11Connection* X11Connection::for_toolkit() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    return process_connection(nullptr);
}

bool X11Connection::alive() const {
    return xcb_connection_has_error(c_) == 0;
}

void X11Connection::select_events(uint32_t window, uint32_t mask) {
    uint32_t& selected = selected_[window];
    selected |= mask;
    xcb_change_window_attributes(c_, window, XCB_CW_EVENT_MASK, &selected);
    xcb_flush(c_);
}

int X11Connection::add_listener(EventListener listener) {
    start_reading();
    const int id = next_listener_++;
    listeners_[id] = std::move(listener);
    return id;
}

void X11Connection::remove_listener(int id) {
    listeners_.erase(id);
}

void X11Connection::start_reading() {
    if (notifier_ || QCoreApplication::instance() == nullptr) return;
    auto* notifier = new QSocketNotifier(xcb_get_file_descriptor(c_), QSocketNotifier::Read, qApp);
    notifier_ = notifier;
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [this] { dispatch(true); });
    // A reply we wait for may bring events along; xcb queues them and the socket has nothing
    // left to wake the notifier, so the queue is looked at whenever the loop is about to sleep.
    if (QAbstractEventDispatcher* loop = QAbstractEventDispatcher::instance(qApp->thread()))
        QObject::connect(loop, &QAbstractEventDispatcher::aboutToBlock, notifier,
                         [this] { dispatch(false); });
}

void X11Connection::dispatch(bool read_socket) {
    while (xcb_generic_event_t* event =
               read_socket ? xcb_poll_for_event(c_) : xcb_poll_for_queued_event(c_)) {
        std::vector<int> ids;
        for (const auto& [id, listener] : listeners_) ids.push_back(id);
        // A listener may remove itself or another one while it is told.
        for (int id : ids) {
            auto it = listeners_.find(id);
            if (it != listeners_.end()) it->second(*event);
        }
        std::free(event);
    }
    // A broken connection stays readable for ever; it would wake the loop without end.
    if (!alive()) {
        if (notifier_) notifier_->setEnabled(false);
    }
}

bool display_reachable(std::string& why) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const bool explicit_platform = platform && *platform;
    if (explicit_platform && std::string(platform).rfind("xcb", 0) != 0) {
        end_with_status_1_if_toolkit_cannot_start(nullptr);
        return true;
    }
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (!explicit_platform && wayland && *wayland) {
        end_with_status_1_if_toolkit_cannot_start(nullptr);
        return true;
    }
    if (X11Connection::process_connection(&why) == nullptr) return false;
    end_with_status_1_if_toolkit_cannot_start(std::getenv("DISPLAY"));
    return true;
}

}  // namespace vistaloom
