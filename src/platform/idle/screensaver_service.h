#pragma once
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QString>

namespace vistaloom {

class IdleWatcher;

// org.freedesktop.ScreenSaver for desktops that have no one serving it: browsers and video
// players ask it to hold the saver off. Each hold belongs to the caller's unique bus name,
// so a program that leaves the bus (or crashes) without releasing it releases it anyway.
class ScreenSaverService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
  public:
    ScreenSaverService(IdleWatcher& watcher, QDBusConnection bus);
    ~ScreenSaverService() override;

    // Takes the name and serves both object paths programs use. False, and nothing served,
    // when the bus is not there or someone else owns the name: that owner is left alone.
    bool serve();

  public slots:
    uint Inhibit(const QString& application, const QString& reason);
    void UnInhibit(uint cookie);
    void SimulateActivity();
    bool GetActive();

  private:
    void owner_gone(const QString& owner);

    IdleWatcher& watcher_;
    QDBusConnection bus_;
    QDBusServiceWatcher owners_;
    bool serving_ = false;
};

}  // namespace vistaloom
