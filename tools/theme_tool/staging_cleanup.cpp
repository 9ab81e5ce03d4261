#include "staging_cleanup.h"

#include <unistd.h>

#include <csignal>
#include <cstring>

namespace vistaloom {

namespace {

// A signal handler may only read plain memory and call async-signal-safe functions, so the
// list is a fixed table of NUL-terminated paths with a flag set after each path is complete.
constexpr int kSlots = 8;
constexpr size_t kPathBytes = 4096;
char paths[kSlots][kPathBytes];
volatile sig_atomic_t in_use[kSlots];

extern "C" void remove_staging_and_end(int signal_number) {
    for (int i = 0; i < kSlots; ++i)
        if (in_use[i]) unlink(paths[i]);
    // Then the folders, in the order they were listed (deepest first); only empty ones go.
    for (int i = 0; i < kSlots; ++i)
        if (in_use[i]) rmdir(paths[i]);
    // Ended by the signal as the caller expects (a shell sees 128 + signal number).
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

}  // namespace

const std::vector<int>& terminating_signals() {
    // Those whose default action ends the program without a core dump's meaning: a closed
    // pipe on stdout or a file-size limit ends a copy as surely as Ctrl-C does.
    static const std::vector<int> signals = {SIGINT,  SIGTERM, SIGHUP,    SIGQUIT,
                                             SIGPIPE, SIGALRM, SIGUSR1,   SIGUSR2,
                                             SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF};
    return signals;
}

void install_staging_cleanup() {
    struct sigaction action {};
    action.sa_handler = remove_staging_and_end;
    sigemptyset(&action.sa_mask);
    for (int signal_number : terminating_signals()) sigaddset(&action.sa_mask, signal_number);
    for (int signal_number : terminating_signals()) sigaction(signal_number, &action, nullptr);
}

bool remove_on_interrupt(const std::string& path) {
    if (path.size() >= kPathBytes) return false;
    for (int i = 0; i < kSlots; ++i) {
        if (in_use[i]) continue;
        std::memcpy(paths[i], path.c_str(), path.size() + 1);
        in_use[i] = 1;
        return true;
    }
    return false;
}

void keep_on_interrupt(const std::string& path) {
    for (int i = 0; i < kSlots; ++i)
        if (in_use[i] && path == paths[i]) in_use[i] = 0;
}

}  // namespace vistaloom
