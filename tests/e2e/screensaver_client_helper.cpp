// A program on the session bus for the watcher's tests, holding its connection for as long as
// the test wants (dbus-send leaves at once, which would release any hold it took).
//   inhibit [PATH]  calls Inhibit on org.freedesktop.ScreenSaver at PATH, prints "cookie N"
//   own NAME        owns the bus name NAME, prints "owned"
// Then it reads commands from stdin: "release" calls UnInhibit with the cookie and prints
// "released"; "active" prints GetActive's answer; "simulate" calls SimulateActivity. At the
// end of stdin it leaves without releasing anything.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <cstdio>
#include <iostream>
#include <string>

namespace {

int fail(const QString& what) {
    std::fprintf(stderr, "screensaver_client_helper: %s\n", qPrintable(what));
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) return fail(QStringLiteral("usage: inhibit [PATH] | own NAME"));
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return fail(QStringLiteral("no session bus"));

    if (args[0] == QStringLiteral("own")) {
        if (args.size() < 2 || !bus.registerService(args[1]))
            return fail(QStringLiteral("cannot own the name"));
        std::printf("owned\n");
        std::fflush(stdout);
        for (std::string line; std::getline(std::cin, line);) {
        }
        return 0;
    }

    const QString path = args.size() > 1 ? args[1] : QStringLiteral("/org/freedesktop/ScreenSaver");
    QDBusInterface saver(QStringLiteral("org.freedesktop.ScreenSaver"), path,
                         QStringLiteral("org.freedesktop.ScreenSaver"), bus);
    const QDBusReply<uint> cookie =
        saver.call(QStringLiteral("Inhibit"), QStringLiteral("e2e"), QStringLiteral("testing"));
    if (!cookie.isValid()) return fail(cookie.error().message());
    std::printf("cookie %u\n", cookie.value());
    std::fflush(stdout);
    for (std::string line; std::getline(std::cin, line);) {
        if (line == "release") {
            const QDBusReply<void> reply = saver.call(QStringLiteral("UnInhibit"), cookie.value());
            if (!reply.isValid()) return fail(reply.error().message());
            std::printf("released\n");
        } else if (line == "active") {
            const QDBusReply<bool> reply = saver.call(QStringLiteral("GetActive"));
            if (!reply.isValid()) return fail(reply.error().message());
            std::printf("active %d\n", reply.value() ? 1 : 0);
        } else if (line == "simulate") {
            const QDBusReply<void> reply = saver.call(QStringLiteral("SimulateActivity"));
            if (!reply.isValid()) return fail(reply.error().message());
            std::printf("simulated\n");
        }
        std::fflush(stdout);
    }
    return 0;
}
