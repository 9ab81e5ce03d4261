#include "platform/window_visibility.h"

#include <xcb/xcb.h>

#include <cstdlib>

#include "platform/x11_connection.h"

namespace vistaloom {

std::unique_ptr<WindowVisibility> WindowVisibility::watch(uint64_t window,
                                                          const std::vector<uint64_t>& hosts) {
    X11Connection* connection = X11Connection::for_toolkit();
    if (connection == nullptr || !connection->alive()) return nullptr;
    return std::unique_ptr<WindowVisibility>(new WindowVisibility(*connection, window, hosts));
}

WindowVisibility::WindowVisibility(X11Connection& connection, uint64_t window,
                                   const std::vector<uint64_t>& hosts)
    : connection_(connection) {
    listener_ = connection_.add_listener([this](const xcb_generic_event_t& e) { take(e); });
    select(window, true);
    for (uint64_t host : hosts) select(host, false);
    last_shown_ = shown();
}

WindowVisibility::~WindowVisibility() {
    connection_.remove_listener(listener_);
}

void WindowVisibility::select(uint64_t window, bool visibility_too) {
    const auto id = static_cast<xcb_window_t>(window);
    uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    if (visibility_too) mask |= XCB_EVENT_MASK_VISIBILITY_CHANGE;
    connection_.select_events(id, mask);
    xcb_connection_t* c = connection_.get();
    State state;
    if (xcb_get_window_attributes_reply_t* attributes =
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, id), nullptr)) {
        // A window whose ancestor is unmapped is "unviewable": nobody sees it either.
        state.mapped = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(attributes);
    }
    states_[window] = state;
}

bool WindowVisibility::shown() const {
    for (const auto& [window, state] : states_) {
        if (!state.mapped || state.covered) return false;
    }
    return true;
}

void WindowVisibility::take(const xcb_generic_event_t& event) {
    const uint8_t type = event.response_type & 0x7F;
    if (type == XCB_VISIBILITY_NOTIFY) {
        const auto& v = reinterpret_cast<const xcb_visibility_notify_event_t&>(event);
        auto it = states_.find(v.window);
        if (it == states_.end()) return;
        it->second.covered = v.state == XCB_VISIBILITY_FULLY_OBSCURED;
    } else if (type == XCB_MAP_NOTIFY || type == XCB_UNMAP_NOTIFY) {
        // Both carry the window at the same place.
        const auto& m = reinterpret_cast<const xcb_map_notify_event_t&>(event);
        auto it = states_.find(m.window);
        if (it == states_.end()) return;
        it->second.mapped = type == XCB_MAP_NOTIFY;
    } else {
        return;
    }
    const bool now = shown();
    if (now != last_shown_) {
        last_shown_ = now;
        emit shown_changed(now);
    }
}

}  // namespace vistaloom
