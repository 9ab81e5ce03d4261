#pragma once
#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <cstdint>
#include <memory>
#include <string>

#include "ground/idle_source.h"

namespace vistaloom {

// GNOME's own idle monitor on the session bus (Mutter's, on Wayland and on X11 alike). It
// applies GNOME's idle inhibitors itself.
//
// Mutter's idle watch fires when the idle time reaches its interval; idle time that went
// before counts, and a watch added when that time has already passed waits for activity and
// a new idle period. So arm() asks for the interval plus the idle time already gone, which
// ends exactly `idle_ms` from now when nobody touches anything, and adds a user-active watch:
// on the first input the idle watch is made again with the plain interval, counting from
// that input.
class GnomeIdleSource : public QObject, public IdleSource {
    Q_OBJECT
  public:
    // Null, with `why`, when the monitor is not on the bus.
    static std::unique_ptr<GnomeIdleSource> open(IdleListener& listener, QDBusConnection& bus,
                                                 std::string& why);
    ~GnomeIdleSource() override;

    std::string name() const override { return "gnome"; }
    void arm(int64_t idle_ms) override;
    void disarm() override;

  private slots:
    void watch_fired(uint id);
    void bus_disconnected();

  private:
    GnomeIdleSource(IdleListener& listener, QDBusConnection bus);
    bool call(const char* method, const QVariantList& args, QVariant* result);
    void remove_watch(uint32_t& id);
    void remove_watches();
    void add_idle_watch(uint64_t interval_ms);
    void lose(const std::string& why);

    IdleListener& listener_;
    QDBusConnection bus_;
    QDBusServiceWatcher service_watcher_;
    int64_t idle_ms_ = 0;
    uint32_t idle_watch_ = 0;
    uint32_t active_watch_ = 0;
    bool lost_ = false;
};

}  // namespace vistaloom
