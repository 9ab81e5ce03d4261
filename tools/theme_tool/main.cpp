#include <signal.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "platform/system/xdg_user_folders.h"
#include "staging_cleanup.h"
#include "theme_tool.h"
#include "tool_folders.h"

namespace {

std::atomic<bool> interrupted{false};
volatile sig_atomic_t interrupt_signal = 0;

// Ctrl-C or a kill asks `make` to stop between pictures, so it can remove what it staged
// instead of leaving half a theme; a second signal changes nothing.
void on_interrupt(int signal) {
    interrupt_signal = signal;
    interrupted.store(true);
}

void catch_interrupts() {
    struct sigaction action {};
    action.sa_handler = on_interrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal_number : vistaloom::terminating_signals())
        sigaction(signal_number, &action, nullptr);
}

// What was printed must have arrived: a listing cut off by a full disk or a closed pipe is
// a failure, not a success.
bool output_written() {
    std::cout.flush();
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout) && std::cout) return true;
    std::cerr << "vistaloom-theme: cannot write the output"
              << (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string()) << '\n';
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler stores into it");
    std::vector<std::string> args(argv + 1, argv + argc);
    // The other commands are quick, and a signal ends them as it ends any program.
    if (!args.empty() && args[0] == "make") {
        catch_interrupts();
    } else {
        vistaloom::install_staging_cleanup();
    }
    vistaloom::XdgUserFolders xdg_folders;
    vistaloom::ToolFolders folders(xdg_folders);
    int code = vistaloom::run_theme_tool(args, std::cout, std::cerr, folders, &interrupted);
    folders.remove_made_folders();
    if (!output_written() && code == 0) code = 1;
    // The usual status of a program a signal ended, once everything is cleaned up.
    if (code == 130 && interrupt_signal != 0) return 128 + interrupt_signal;
    return code;
}
