#include "platform/window_visibility.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QSocketNotifier>
#include <cstdlib>

namespace vistaloom {

std::unique_ptr<WindowVisibility> WindowVisibility::watch(uint64_t window,
                                                          const std::vector<uint64_t>& hosts) {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (c == nullptr || xcb_connection_has_error(c)) {
        if (c) xcb_disconnect(c);
        return nullptr;
    }
    return std::unique_ptr<WindowVisibility>(new WindowVisibility(c, window, hosts));
}

WindowVisibility::WindowVisibility(xcb_connection_t* connection, uint64_t window,
                                   const std::vector<uint64_t>& hosts)
    : connection_(connection), window_(window) {
    select(window, true);
    for (uint64_t host : hosts) select(host, false);
    xcb_flush(connection_);
    last_shown_ = shown();
    notifier_ =
        new QSocketNotifier(xcb_get_file_descriptor(connection_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &WindowVisibility::read_events);
}

WindowVisibility::~WindowVisibility() {
    delete notifier_;
    if (connection_) xcb_disconnect(connection_);
}

void WindowVisibility::select(uint64_t window, bool visibility_too) {
    const auto id = static_cast<xcb_window_t>(window);
    uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    if (visibility_too) mask |= XCB_EVENT_MASK_VISIBILITY_CHANGE;
    xcb_change_window_attributes(connection_, id, XCB_CW_EVENT_MASK, &mask);
    State state;
    if (xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
            connection_, xcb_get_window_attributes(connection_, id), nullptr)) {
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

void WindowVisibility::read_events() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        const uint8_t type = event->response_type & 0x7F;
        if (type == XCB_VISIBILITY_NOTIFY) {
            auto* v = reinterpret_cast<xcb_visibility_notify_event_t*>(event);
            auto it = states_.find(v->window);
            if (it != states_.end())
                it->second.covered = v->state == XCB_VISIBILITY_FULLY_OBSCURED;
        } else if (type == XCB_MAP_NOTIFY) {
            auto* m = reinterpret_cast<xcb_map_notify_event_t*>(event);
            auto it = states_.find(m->window);
            if (it != states_.end()) it->second.mapped = true;
        } else if (type == XCB_UNMAP_NOTIFY) {
            auto* u = reinterpret_cast<xcb_unmap_notify_event_t*>(event);
            auto it = states_.find(u->window);
            if (it != states_.end()) it->second.mapped = false;
        }
        std::free(event);
    }
    if (xcb_connection_has_error(connection_)) notifier_->setEnabled(false);
    const bool now = shown();
    if (now != last_shown_) {
        last_shown_ = now;
        emit shown_changed(now);
    }
}

}  // namespace vistaloom
