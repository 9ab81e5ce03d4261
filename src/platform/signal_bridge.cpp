#include "platform/signal_bridge.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace vistaloom {

namespace {

int pipe_fds[2] = {-1, -1};

// Every signal whose default action ends the process without a core dump: each must leave
// through the ordinary clean-up, or the run's temporary items stay behind. The first two
// are always taken; the others only where they still have their default action, so a
// SIGHUP that nohup ignores stays ignored.
constexpr int kAlwaysTaken = 2;
constexpr int kEndingSignals[] = {SIGTERM, SIGINT,  SIGHUP,  SIGPIPE, SIGUSR1,
                                  SIGUSR2, SIGALRM, SIGXCPU, SIGXFSZ, SIGVTALRM};
constexpr int kSignalCount = sizeof kEndingSignals / sizeof kEndingSignals[0];
struct sigaction previous[kSignalCount] {};
bool taken[kSignalCount] = {};

extern "C" void forward_signal(int signal_number) {
    const int saved_errno = errno;
    const unsigned char byte = static_cast<unsigned char>(signal_number);
    // Non-blocking: if the pipe is full the loop already has a stop request to handle.
    [[maybe_unused]] ssize_t written = write(pipe_fds[1], &byte, 1);
    errno = saved_errno;
}

}  // namespace

SignalBridge::SignalBridge(std::function<void(int)> on_signal, QObject* parent)
    : QObject(parent), on_signal_(std::move(on_signal)) {
    if (pipe_fds[0] >= 0) return;  // another bridge owns the handlers
    if (pipe2(pipe_fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        pipe_fds[0] = pipe_fds[1] = -1;
        return;
    }
    notifier_ = new QSocketNotifier(pipe_fds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SignalBridge::drain);

    struct sigaction action {};
    action.sa_handler = forward_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < kSignalCount; ++i) {
        sigaction(kEndingSignals[i], nullptr, &previous[i]);
        if (i >= kAlwaysTaken && previous[i].sa_handler != SIG_DFL) continue;
        taken[i] = sigaction(kEndingSignals[i], &action, nullptr) == 0;
    }
    installed_ = true;
}

SignalBridge::~SignalBridge() {
    if (!installed_) return;
    for (int i = 0; i < kSignalCount; ++i) {
        if (taken[i]) sigaction(kEndingSignals[i], &previous[i], nullptr);
        taken[i] = false;
    }
    delete notifier_;
    close(pipe_fds[0]);
    close(pipe_fds[1]);
    pipe_fds[0] = pipe_fds[1] = -1;
}

void SignalBridge::drain() {
    unsigned char byte = 0;
    while (read(pipe_fds[0], &byte, 1) == 1) {
        if (on_signal_) on_signal_(byte);
    }
}

}  // namespace vistaloom
