#include "app/watch_mode.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>
#include <iostream>
#include <memory>

#include "platform/idle/idle_sources.h"
#include "platform/idle/saver_child.h"
#include "platform/idle/screensaver_service.h"
#include "platform/idle/stand_aside.h"
#include "platform/qsettings_backend.h"
#include "platform/signal_bridge.h"
#include "platform/single_instance.h"
#include "startup/saver_settings.h"
#include "startup/settings_store.h"
#include "watch/idle_watcher.h"

namespace vistaloom {

namespace {

// The source needs its listener before the watcher, which needs the source, exists; and a
// lost session must end the event loop besides telling the watcher.
class ListenerRelay : public IdleListener {
  public:
    IdleWatcher* watcher = nullptr;

    void user_idle() override {
        if (watcher) watcher->user_idle();
    }
    void source_lost(const std::string& why) override {
        if (watcher) watcher->source_lost(why);
        // Queued: the loss may be seen before the event loop runs, when quit() alone would
        // be forgotten.
        QMetaObject::invokeMethod(
            qApp, [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
    }
};

int64_t idle_time_ms(const CommandLine& command_line) {
    if (command_line.after_seconds) return int64_t{*command_line.after_seconds} * 1000;
    QtSettingsBackend store;
    SaverSettings settings;
    load_settings(settings, store);
    return int64_t{idle_minutes_in_range(settings)} * 60 * 1000;
}

// The options dialog replaces the settings file whole (written beside it and renamed), which
// a watch on the file alone would not survive, and an editor may write it in place: both the
// folder and the file are watched. Nothing is watched when --after fixes the time.
void follow_idle_time(QFileSystemWatcher& watch, const CommandLine& command_line,
                      IdleWatcher& watcher) {
    if (command_line.after_seconds) return;
    const QString file = QtSettingsBackend().user_file(kSettingsApplication);
    watch.addPath(QFileInfo(file).absolutePath());
    if (QFileInfo::exists(file)) watch.addPath(file);
    // Read once the file has been quiet for a moment. A save writes it several times in a
    // few milliseconds, and QSettings takes a file of the size and time it last read for
    // unchanged; file times move in steps of milliseconds, so a read in the middle of a save
    // could hold its half-saved value for good.
    auto* quiet = new QTimer(&watch);
    quiet->setSingleShot(true);
    quiet->setInterval(300);
    QObject::connect(quiet, &QTimer::timeout, &watch, [&watcher, &command_line] {
        const int64_t idle_ms = idle_time_ms(command_line);
        if (idle_ms == watcher.idle_ms()) return;
        watcher.set_idle_ms(idle_ms);
        std::cerr << "vistaloom: the saver now starts after " + std::to_string(idle_ms / 1000) +
                         " s without input\n";
    });
    const auto changed = [&watch, quiet, file] {
        // A file replaced by a rename loses its watch; the new one is watched again.
        if (!watch.files().contains(file) && QFileInfo::exists(file)) watch.addPath(file);
        quiet->start();
    };
    QObject::connect(&watch, &QFileSystemWatcher::directoryChanged, &watch, changed);
    QObject::connect(&watch, &QFileSystemWatcher::fileChanged, &watch, changed);
}

}  // namespace

int run_watch_mode(const CommandLine& command_line, char* program_path) {
    static char fallback_name[] = "vistaloom";
    int qt_argc = 1;
    char* qt_argv[] = {program_path ? program_path : fallback_name, nullptr};
    QCoreApplication app(qt_argc, qt_argv);
    QCoreApplication::setApplicationName(QStringLiteral("vistaloom"));

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (const std::string daemon = session_saver_daemon(bus); !daemon.empty()) {
        std::cerr << "vistaloom: " << daemon
                  << " manages this session's screen saver; the watcher is not needed\n";
        return 0;
    }
    if (!take_display_lock("watch")) {
        std::cerr << "vistaloom: a watcher already runs for this user and display\n";
        return 0;
    }

    const int64_t idle_ms = idle_time_ms(command_line);
    ListenerRelay relay;
    std::string why;
    std::unique_ptr<IdleSource> source = open_idle_source(relay, bus, why);
    if (!source) {
        std::cerr << "vistaloom: cannot watch for idle time: " << why << '\n';
        return 1;
    }
    IdleWatcher* watcher_ptr = nullptr;
    SaverChild saver([&watcher_ptr] { watcher_ptr->saver_ended(); });
    IdleWatcher watcher(*source, saver, idle_ms, std::cerr);
    watcher_ptr = &watcher;
    relay.watcher = &watcher;
    ScreenSaverService service(watcher, bus);
    const bool serving = service.serve();
    SignalBridge signal_bridge([](int) { QCoreApplication::quit(); });

    // One write: a log reader must never see half of the line.
    std::cerr << "vistaloom: watching (" + source->name() + "); the saver starts after " +
                     std::to_string(idle_ms / 1000) + " s without input" +
                     (serving ? "; serving org.freedesktop.ScreenSaver" : "") + "\n";
    QFileSystemWatcher settings_folder;
    follow_idle_time(settings_folder, command_line, watcher);
    watcher.begin();
    app.exec();
    // The saver child, if one runs, ends here with the watcher.
    return 0;
}

}  // namespace vistaloom
