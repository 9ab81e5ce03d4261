#include "platform/idle/saver_child.h"

#include <QCoreApplication>
#include <QProcessEnvironment>
#include <cstdio>

namespace vistaloom {

namespace {

// The saver takes SIGTERM as the end of its run and cleans up; one that does not end in
// this time is killed, so the watcher never hangs on its way out.
constexpr int kEndWaitMs = 3000;

}  // namespace

SaverChild::SaverChild(std::function<void()> on_ended) : on_ended_(std::move(on_ended)) {
    process_.setProgram(QCoreApplication::applicationFilePath());
    process_.setArguments({QStringLiteral("/S")});
    process_.setProcessChannelMode(QProcess::ForwardedChannels);
    process_.setStandardInputFile(QProcess::nullDevice());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // A daemon's window in the watcher's environment would make the saver draw there
    // instead of full screen.
    environment.remove(QStringLiteral("XSCREENSAVER_WINDOW"));
    process_.setProcessEnvironment(environment);
    connect(&process_, &QProcess::finished, this, [this] { on_ended_(); });
}

SaverChild::~SaverChild() {
    if (!running()) return;
    // Told nothing more: the watcher is going away.
    process_.disconnect(this);
    process_.terminate();
    if (!process_.waitForFinished(kEndWaitMs)) {
        process_.kill();
        process_.waitForFinished(kEndWaitMs);
    }
}

bool SaverChild::start_saver() {
    if (running()) return true;
    process_.start();
    if (process_.waitForStarted()) return true;
    std::fprintf(stderr, "vistaloom: cannot start %s: %s\n", qPrintable(process_.program()),
                 qPrintable(process_.errorString()));
    return false;
}

void SaverChild::stop_saver() {
    if (running()) process_.terminate();
}

}  // namespace vistaloom
