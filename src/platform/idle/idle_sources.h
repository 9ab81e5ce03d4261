#pragma once
#include <memory>
#include <string>

#include "ground/idle_source.h"

class QDBusConnection;

namespace vistaloom {

// The idle sources a session may offer. Each returns nothing, with `why` set to one line,
// when the session does not offer it; none of them polls.

// Wayland: ext-idle-notify-v1 where the compositor offers it, else KDE's org_kde_kwin_idle.
// Needs WAYLAND_DISPLAY (or wayland-0) to name a compositor that accepts the connection.
std::unique_ptr<IdleSource> open_wayland_idle_source(IdleListener& listener, std::string& why);

// GNOME: org.gnome.Mutter.IdleMonitor on the session bus.
std::unique_ptr<IdleSource> open_gnome_idle_source(IdleListener& listener, QDBusConnection& bus,
                                                   std::string& why);

// X11: the MIT-SCREEN-SAVER extension's idle counter, one query timed to the remaining time.
std::unique_ptr<IdleSource> open_x11_idle_source(IdleListener& listener, std::string& why);

// The first of the above that the session offers, in that order.
std::unique_ptr<IdleSource> open_idle_source(IdleListener& listener, QDBusConnection& bus,
                                             std::string& why);

}  // namespace vistaloom
