#include "platform/idle/wayland_idle_source.h"

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "ext-idle-notify-v1-client-protocol.h"
#include "kde-idle-client-protocol.h"
#include "platform/idle/idle_sources.h"

namespace vistaloom {

struct WaylandCallbacks {
    static void global(void* self, wl_registry*, uint32_t id, const char* interface,
                       uint32_t version) {
        static_cast<WaylandIdleSource*>(self)->global_added(id, interface, version);
    }
    static void global_remove(void* self, wl_registry*, uint32_t id) {
        static_cast<WaylandIdleSource*>(self)->global_removed(id);
    }
    static void idled(void* self, ext_idle_notification_v1*) {
        static_cast<WaylandIdleSource*>(self)->idled();
    }
    static void kde_idle(void* self, org_kde_kwin_idle_timeout*) {
        static_cast<WaylandIdleSource*>(self)->idled();
    }
    // Activity after the report changes nothing: the watcher arms again when it wants more.
    static void resumed(void*, ext_idle_notification_v1*) {}
    static void kde_resumed(void*, org_kde_kwin_idle_timeout*) {}

    static constexpr wl_registry_listener registry{global, global_remove};
    static constexpr ext_idle_notification_v1_listener notification{idled, resumed};
    static constexpr org_kde_kwin_idle_timeout_listener kde_timeout{kde_idle, kde_resumed};
};

WaylandIdleSource::WaylandIdleSource(IdleListener& listener) : listener_(listener) {}

std::unique_ptr<WaylandIdleSource> WaylandIdleSource::open(IdleListener& listener,
                                                           std::string& why) {
    std::unique_ptr<WaylandIdleSource> source(new WaylandIdleSource(listener));
    if (!source->bind(why)) return nullptr;
    source->connection_->watch();
    return source;
}

bool WaylandIdleSource::bind(std::string& why) {
    connection_ = WaylandConnection::open(why);
    if (!connection_) return false;
    connection_->on_lost([this](const std::string& what) { lose(what); });
    display_ = connection_->display();
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &WaylandCallbacks::registry, this);
    if (!connection_->roundtrip(why)) return false;
    if (!notifier_ && !kde_idle_) {
        why = "the Wayland compositor offers neither ext-idle-notify-v1 nor org_kde_kwin_idle";
        return false;
    }
    if (!seat_) {
        why = "the Wayland compositor offers no seat";
        return false;
    }
    return true;
}

void WaylandIdleSource::global_added(uint32_t id, const char* interface, uint32_t version) {
    (void)version;  // version 1 of each is all this needs
    const std::string name = interface;
    if (name == ext_idle_notifier_v1_interface.name && !notifier_) {
        notifier_ = static_cast<ext_idle_notifier_v1*>(
            wl_registry_bind(registry_, id, &ext_idle_notifier_v1_interface, 1));
    } else if (name == org_kde_kwin_idle_interface.name && !kde_idle_) {
        kde_idle_ = static_cast<org_kde_kwin_idle*>(
            wl_registry_bind(registry_, id, &org_kde_kwin_idle_interface, 1));
    } else if (name == wl_seat_interface.name && !seat_) {
        // The first seat: a desktop session has one, and idle time is the whole session's.
        seat_ = static_cast<wl_seat*>(wl_registry_bind(registry_, id, &wl_seat_interface, 1));
        seat_id_ = id;
    }
}

void WaylandIdleSource::global_removed(uint32_t id) {
    // A notification on a seat that is gone would never report; the session is going away.
    if (seat_ && id == seat_id_) lose("its seat was removed");
}

WaylandIdleSource::~WaylandIdleSource() {
    if (!display_) return;
    destroy_notification();
    if (notifier_) ext_idle_notifier_v1_destroy(notifier_);
    if (kde_idle_) org_kde_kwin_idle_destroy(kde_idle_);
    if (seat_) wl_seat_destroy(seat_);
    if (registry_) wl_registry_destroy(registry_);
}

std::string WaylandIdleSource::name() const {
    return notifier_ ? "ext-idle-notify" : "kde-idle";
}

void WaylandIdleSource::destroy_notification() {
    if (notification_) ext_idle_notification_v1_destroy(notification_);
    if (kde_timeout_) org_kde_kwin_idle_timeout_release(kde_timeout_);
    notification_ = nullptr;
    kde_timeout_ = nullptr;
}

void WaylandIdleSource::arm(int64_t idle_ms) {
    if (lost_) return;
    destroy_notification();
    reported_ = false;
    // The protocols carry 32-bit milliseconds (49 days); a zero timeout would mean "idle now".
    const auto timeout = static_cast<uint32_t>(std::clamp<int64_t>(idle_ms, 1, UINT32_MAX));
    if (notifier_) {
        notification_ = ext_idle_notifier_v1_get_idle_notification(notifier_, timeout, seat_);
        ext_idle_notification_v1_add_listener(notification_, &WaylandCallbacks::notification, this);
    } else {
        kde_timeout_ = org_kde_kwin_idle_get_idle_timeout(kde_idle_, seat_, timeout);
        org_kde_kwin_idle_timeout_add_listener(kde_timeout_, &WaylandCallbacks::kde_timeout, this);
    }
    flush();
}

void WaylandIdleSource::disarm() {
    if (lost_) return;
    destroy_notification();
    flush();
}

void WaylandIdleSource::idled() {
    if (reported_) return;
    reported_ = true;
    listener_.user_idle();
}

void WaylandIdleSource::flush() {
    connection_->flush();
}

void WaylandIdleSource::lose(const std::string& what) {
    if (lost_) return;
    lost_ = true;
    listener_.source_lost("the Wayland compositor has gone (" + what + ")");
}

std::unique_ptr<IdleSource> open_wayland_idle_source(IdleListener& listener, std::string& why) {
    return WaylandIdleSource::open(listener, why);
}

}  // namespace vistaloom
