#include "platform/idle/gnome_idle_source.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <algorithm>

#include "platform/idle/idle_sources.h"

namespace vistaloom {

namespace {

const QString kService = QStringLiteral("org.gnome.Mutter.IdleMonitor");
const QString kPath = QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core");
const QString kInterface = QStringLiteral("org.gnome.Mutter.IdleMonitor");

QDBusMessage method_call(const char* method, const QVariantList& args) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QString::fromLatin1(method));
    message.setArguments(args);
    return message;
}

}  // namespace

GnomeIdleSource::GnomeIdleSource(IdleListener& listener, QDBusConnection bus)
    : listener_(listener),
      bus_(bus),
      service_watcher_(kService, bus, QDBusServiceWatcher::WatchForUnregistration) {
    connect(&service_watcher_, &QDBusServiceWatcher::serviceUnregistered, this,
            [this] { lose("org.gnome.Mutter.IdleMonitor left the session bus"); });
    bus_.connect(kService, kPath, kInterface, QStringLiteral("WatchFired"), this,
                 SLOT(watch_fired(uint)));
    bus_.connect(QString(), QStringLiteral("/org/freedesktop/DBus/Local"),
                 QStringLiteral("org.freedesktop.DBus.Local"), QStringLiteral("Disconnected"), this,
                 SLOT(bus_disconnected()));
}

std::unique_ptr<GnomeIdleSource> GnomeIdleSource::open(IdleListener& listener, QDBusConnection& bus,
                                                       std::string& why) {
    if (!bus.isConnected()) {
        why = "no session bus (" + bus.lastError().message().toStdString() + ")";
        return nullptr;
    }
    std::unique_ptr<GnomeIdleSource> source(new GnomeIdleSource(listener, bus));
    QDBusConnectionInterface* names = bus.interface();
    if (!names || !names->isServiceRegistered(kService).value()) {
        why = "org.gnome.Mutter.IdleMonitor is not on the session bus";
        return nullptr;
    }
    return source;
}

GnomeIdleSource::~GnomeIdleSource() {
    if (!lost_) remove_watches();
}

bool GnomeIdleSource::call(const char* method, const QVariantList& args, QVariant* result) {
    const QDBusMessage reply = bus_.call(method_call(method, args));
    if (reply.type() != QDBusMessage::ReplyMessage) {
        lose(std::string("org.gnome.Mutter.IdleMonitor refused ") + method + ": " +
             reply.errorMessage().toStdString());
        return false;
    }
    if (result) *result = reply.arguments().value(0);
    return true;
}

// Nobody waits for the answer: a watch that already went is no error worth a round trip.
void GnomeIdleSource::remove_watch(uint32_t& id) {
    if (id == 0) return;
    bus_.send(method_call("RemoveWatch", {QVariant::fromValue<uint>(id)}));
    id = 0;
}

void GnomeIdleSource::remove_watches() {
    remove_watch(idle_watch_);
    remove_watch(active_watch_);
}

void GnomeIdleSource::add_idle_watch(uint64_t interval_ms) {
    QVariant id;
    if (call("AddIdleWatch", {QVariant::fromValue<qulonglong>(interval_ms)}, &id))
        idle_watch_ = id.toUInt();
}

void GnomeIdleSource::arm(int64_t idle_ms) {
    if (lost_) return;
    remove_watches();
    idle_ms_ = std::max<int64_t>(idle_ms, 1);
    // The active watch goes first, so that input between the two calls cannot slip past both.
    QVariant active;
    if (!call("AddUserActiveWatch", {}, &active)) return;
    active_watch_ = active.toUInt();
    QVariant idle_time;
    if (!call("GetIdletime", {}, &idle_time)) return;
    add_idle_watch(static_cast<uint64_t>(idle_ms_) + idle_time.toULongLong());
}

void GnomeIdleSource::disarm() {
    if (!lost_) remove_watches();
}

void GnomeIdleSource::watch_fired(uint id) {
    if (lost_ || id == 0) return;
    if (id == active_watch_) {
        // Mutter drops an active watch once it has fired. The idle time starts again from
        // this input, so the plain interval now counts from here.
        active_watch_ = 0;
        remove_watch(idle_watch_);
        add_idle_watch(static_cast<uint64_t>(idle_ms_));
    } else if (id == idle_watch_) {
        // An idle watch would fire again after every later idle period: once per arm().
        remove_watches();
        listener_.user_idle();
    }
}

void GnomeIdleSource::bus_disconnected() {
    lose("the session bus has gone");
}

// Reported from the event loop, never from inside arm(): the listener may be the caller.
void GnomeIdleSource::lose(const std::string& why) {
    if (lost_) return;
    lost_ = true;
    idle_watch_ = active_watch_ = 0;
    QMetaObject::invokeMethod(
        this, [this, why] { listener_.source_lost(why); }, Qt::QueuedConnection);
}

std::unique_ptr<IdleSource> open_gnome_idle_source(IdleListener& listener, QDBusConnection& bus,
                                                   std::string& why) {
    return GnomeIdleSource::open(listener, bus, why);
}

}  // namespace vistaloom
