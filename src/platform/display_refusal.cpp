#include "platform/display_refusal.h"

#include <QCoreApplication>
#include <QString>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace vistaloom {

namespace {

struct HeldMessage {
    QtMsgType type;
    std::string category;
    QString text;
};

struct StartWatch {
    QtMessageHandler previous = nullptr;
    std::string display;
    std::vector<HeldMessage> held;
    bool installed = false;
    bool pipe_signal_ignored = false;
};

StartWatch& watch() {
    static StartWatch state;
    return state;
}

void on_start_message(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    StartWatch& w = watch();
    if (type == QtFatalMsg) {
        if (w.display.empty()) {
            std::fprintf(stderr, "vistaloom: the window system cannot be started\n");
        } else {
            std::fprintf(stderr, "vistaloom: cannot open display \"%s\"\n", w.display.c_str());
        }
        std::fflush(stderr);
        // Nothing of ours needs cleaning up yet, and the toolkit is half made: leave at once.
        std::_Exit(1);
    }
    w.held.push_back({type, context.category ? context.category : "", text});
}

// Called by the application object once its window system is up.
void started() {
    StartWatch& w = watch();
    if (!w.installed) return;
    w.installed = false;
    if (w.pipe_signal_ignored) std::signal(SIGPIPE, SIG_DFL);
    w.pipe_signal_ignored = false;
    qInstallMessageHandler(w.previous);
    for (const HeldMessage& m : w.held) {
        const QMessageLogContext context(nullptr, 0, nullptr, m.category.c_str());
        w.previous(m.type, context, m.text);
    }
    w.held.clear();
}

}  // namespace

void end_with_status_1_if_toolkit_cannot_start(const char* display) {
    StartWatch& w = watch();
    w.display = display ? display : "";
    if (w.installed || QCoreApplication::instance() != nullptr) return;
    w.installed = true;
    // A display that drops the toolkit's connection at once makes its first write raise
    // SIGPIPE, which would end the process before any line is said; ignored, the write fails
    // and the toolkit reports the connection it could not make.
    struct sigaction pipe_action {};
    if (sigaction(SIGPIPE, nullptr, &pipe_action) == 0 && pipe_action.sa_handler == SIG_DFL) {
        std::signal(SIGPIPE, SIG_IGN);
        w.pipe_signal_ignored = true;
    }
    w.previous = qInstallMessageHandler(on_start_message);
    qAddPreRoutine(started);
}

}  // namespace vistaloom
