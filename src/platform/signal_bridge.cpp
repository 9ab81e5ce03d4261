#include "platform/signal_bridge.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace vistaloom {

namespace {

int pipe_fds[2] = {-1, -1};
struct sigaction previous_term {};
struct sigaction previous_int {};

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
    sigaction(SIGTERM, &action, &previous_term);
    sigaction(SIGINT, &action, &previous_int);
    installed_ = true;
}

SignalBridge::~SignalBridge() {
    if (!installed_) return;
    sigaction(SIGTERM, &previous_term, nullptr);
    sigaction(SIGINT, &previous_int, nullptr);
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
