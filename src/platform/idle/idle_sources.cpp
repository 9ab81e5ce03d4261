#include "platform/idle/idle_sources.h"

#include <QDBusConnection>

namespace vistaloom {

std::unique_ptr<IdleSource> open_idle_source(IdleListener& listener, QDBusConnection& bus,
                                             std::string& why) {
    // A Wayland session's compositor knows about input that an XWayland server never sees,
    // and GNOME's monitor knows its own inhibitors; the X server's counter comes last.
    std::string wayland_why, gnome_why, x11_why;
    if (auto source = open_wayland_idle_source(listener, wayland_why)) return source;
    if (bus.isConnected()) {
        if (auto source = open_gnome_idle_source(listener, bus, gnome_why)) return source;
    } else {
        gnome_why = "no session bus";
    }
    if (auto source = open_x11_idle_source(listener, x11_why)) return source;
    why = "no idle source: wayland: " + wayland_why + "; gnome: " + gnome_why + "; x11: " + x11_why;
    return nullptr;
}

}  // namespace vistaloom
