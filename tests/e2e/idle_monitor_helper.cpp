// Plays GNOME's idle monitor on the session bus for the GNOME idle source's runs: it owns
// org.gnome.Mutter.IdleMonitor with Mutter's interface at /org/gnome/Mutter/IdleMonitor/Core,
// keeps an idle time of its own and fires watches as Mutter does (an idle watch when the idle
// time reaches its interval, once per idle period; a user-active watch once, on the next
// activity, and then it is gone). Every request is printed on stdout as it arrives:
//   GetIdletime -> MS | AddIdleWatch MS -> ID | AddUserActiveWatch -> ID | RemoveWatch ID |
//   WatchFired ID
// It reads commands on stdin: "idle MS" (the user has been idle MS already), "activity"
// (input now), "quit". It prints "ready" once it owns the name.
#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <string>

namespace {

struct Watch {
    quint64 interval = 0;  // 0: a user-active watch
    std::unique_ptr<QTimer> timer;
};

class IdleMonitor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Mutter.IdleMonitor")
  public:
    explicit IdleMonitor(QObject* parent) : QDBusAbstractAdaptor(parent) { since_.start(); }

    void set_idle(quint64 ms) {
        offset_ = ms;
        since_.start();
        schedule_all();
    }
    void activity() {
        set_idle(0);
        for (auto it = watches_.begin(); it != watches_.end();) {
            if (it->second.interval == 0) {
                const uint id = it->first;
                it = watches_.erase(it);
                fire(id);
            } else {
                ++it;
            }
        }
    }

  public slots:
    quint64 GetIdletime() {
        const quint64 now = idle_time();
        say("GetIdletime -> " + std::to_string(now));
        return now;
    }
    uint AddIdleWatch(quint64 interval) {
        const uint id = next_id_++;
        watches_[id].interval = interval;
        say("AddIdleWatch " + std::to_string(interval) + " -> " + std::to_string(id));
        schedule(id);
        return id;
    }
    uint AddUserActiveWatch() {
        const uint id = next_id_++;
        watches_[id].interval = 0;
        say("AddUserActiveWatch -> " + std::to_string(id));
        return id;
    }
    void RemoveWatch(uint id) {
        say("RemoveWatch " + std::to_string(id));
        watches_.erase(id);
    }

  signals:
    void WatchFired(uint id);

  private:
    quint64 idle_time() const { return offset_ + static_cast<quint64>(since_.elapsed()); }

    // An idle watch whose interval has already passed in this idle period waits for the next.
    void schedule(uint id) {
        Watch& watch = watches_[id];
        watch.timer.reset();
        const quint64 now = idle_time();
        if (watch.interval == 0 || watch.interval <= now) return;
        watch.timer = std::make_unique<QTimer>();
        watch.timer->setSingleShot(true);
        connect(watch.timer.get(), &QTimer::timeout, this, [this, id] { fire(id); });
        watch.timer->start(static_cast<int>(watch.interval - now));
    }
    void schedule_all() {
        for (auto& [id, watch] : watches_) schedule(id);
    }
    void fire(uint id) {
        say("WatchFired " + std::to_string(id));
        emit WatchFired(id);
    }
    static void say(const std::string& line) { std::cout << line << std::endl; }

    QElapsedTimer since_;
    quint64 offset_ = 0;
    uint next_id_ = 1;
    std::map<uint, Watch> watches_;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QObject root;
    auto* monitor = new IdleMonitor(&root);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core"), &root) ||
        !bus.registerService(QStringLiteral("org.gnome.Mutter.IdleMonitor"))) {
        std::cerr << "idle_monitor_helper: cannot own org.gnome.Mutter.IdleMonitor\n";
        return 1;
    }
    std::cout << "ready" << std::endl;

    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        std::string command;
        if (!std::getline(std::cin, command) || command == "quit") {
            input.setEnabled(false);
            QCoreApplication::quit();
        } else if (command == "activity") {
            monitor->activity();
        } else if (command.rfind("idle ", 0) == 0) {
            monitor->set_idle(std::stoull(command.substr(5)));
        }
    });
    return app.exec();
}

#include "idle_monitor_helper.moc"
