#include "platform/idle/screensaver_service.h"

#include <QDBusConnectionInterface>

#include "watch/idle_watcher.h"

namespace vistaloom {

namespace {

const QString kServiceName = QStringLiteral("org.freedesktop.ScreenSaver");
// Programs call either path; both are the same object.
const QString kPaths[] = {QStringLiteral("/org/freedesktop/ScreenSaver"),
                          QStringLiteral("/ScreenSaver")};

}  // namespace

ScreenSaverService::ScreenSaverService(IdleWatcher& watcher, QDBusConnection bus)
    : watcher_(watcher), bus_(std::move(bus)) {
    owners_.setConnection(bus_);
    owners_.setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(&owners_, &QDBusServiceWatcher::serviceUnregistered, this,
            &ScreenSaverService::owner_gone);
}

ScreenSaverService::~ScreenSaverService() {
    if (!serving_ || !bus_.isConnected()) return;
    for (const QString& path : kPaths) bus_.unregisterObject(path);
    bus_.unregisterService(kServiceName);
}

bool ScreenSaverService::serve() {
    if (!bus_.isConnected()) return false;
    QDBusConnectionInterface* bus_names = bus_.interface();
    if (!bus_names || bus_names->isServiceRegistered(kServiceName)) return false;
    // Not queued: when another owner comes first, it keeps the name and we serve nothing.
    const auto reply =
        bus_names->registerService(kServiceName, QDBusConnectionInterface::DontQueueService,
                                   QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered)
        return false;
    for (const QString& path : kPaths)
        bus_.registerObject(path, this, QDBusConnection::ExportAllSlots);
    serving_ = true;
    return true;
}

uint ScreenSaverService::Inhibit(const QString& application, const QString& reason) {
    const QString owner = message().service();
    const uint32_t cookie =
        watcher_.inhibit(owner.toStdString(), application.toStdString(), reason.toStdString());
    if (cookie == 0) {
        sendErrorReply(QDBusError::LimitsExceeded, QStringLiteral("too many inhibit requests"));
        return 0;
    }
    if (!owners_.watchedServices().contains(owner)) owners_.addWatchedService(owner);
    // The caller may have left between its call and this line; its unregistration was then
    // signalled before we watched for it.
    if (!bus_.interface()->isServiceRegistered(owner)) owner_gone(owner);
    return cookie;
}

void ScreenSaverService::UnInhibit(uint cookie) {
    const QString owner = message().service();
    watcher_.uninhibit(cookie, owner.toStdString());
    if (!watcher_.inhibitors().holds(owner.toStdString())) owners_.removeWatchedService(owner);
}

void ScreenSaverService::SimulateActivity() {
    watcher_.simulate_activity();
}

bool ScreenSaverService::GetActive() {
    return watcher_.saver_running();
}

void ScreenSaverService::owner_gone(const QString& owner) {
    owners_.removeWatchedService(owner);
    watcher_.owner_left(owner.toStdString());
}

}  // namespace vistaloom
