#include "platform/idle/stand_aside.h"

#include <xcb/xcb.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <cstdlib>

#include "platform/idle/x11_idle_source.h"

namespace vistaloom {

namespace {

bool xscreensaver_on_display() {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return false;
    xcb_connection_t* c = xcb_connect(display, nullptr);
    bool found = false;
    if (!xcb_connection_has_error(c)) {
        // XScreenSaver marks the first screen's root, whichever screen we were given.
        auto screens = xcb_setup_roots_iterator(xcb_get_setup(c));
        found = screens.rem && xscreensaver_running(c, screens.data->root);
    }
    xcb_disconnect(c);
    return found;
}

}  // namespace

std::string session_saver_daemon(QDBusConnection& bus) {
    if (xscreensaver_on_display()) return "XScreenSaver";
    if (!bus.isConnected() || !bus.interface()) return {};
    struct Daemon {
        const char* bus_name;
        const char* shown;
    };
    for (const Daemon& daemon : {Daemon{"org.mate.ScreenSaver", "MATE's screensaver"},
                                 Daemon{"org.xfce.ScreenSaver", "Xfce's screensaver"}}) {
        if (bus.interface()->isServiceRegistered(QString::fromLatin1(daemon.bus_name)))
            return daemon.shown;
    }
    return {};
}

}  // namespace vistaloom
