#include "watch/idle_watcher.h"

#include <ostream>

namespace vistaloom {

IdleWatcher::IdleWatcher(IdleSource& source, SaverLauncher& launcher, int64_t idle_ms,
                         std::ostream& messages)
    : source_(source), launcher_(launcher), idle_ms_(idle_ms), messages_(messages) {}

void IdleWatcher::begin() {
    wait_again();
}

void IdleWatcher::wait_again() {
    if (finished_ || saver_running_) return;
    if (inhibited())
        source_.disarm();
    else
        source_.arm(idle_ms_);
}

void IdleWatcher::user_idle() {
    if (finished_ || saver_running_ || inhibited()) return;
    if (launcher_.start_saver()) {
        saver_running_ = true;
        return;
    }
    // Tried again at the next idle time, not at once: a saver that cannot start must not
    // turn the watcher into a loop.
    messages_ << "vistaloom: the screen saver could not be started\n";
    wait_again();
}

void IdleWatcher::source_lost(const std::string& why) {
    if (finished_) return;
    finished_ = true;
    source_.disarm();
    messages_ << "vistaloom: the session has ended (" << why << "); the watcher stops\n";
}

void IdleWatcher::saver_ended() {
    saver_running_ = false;
    wait_again();
}

void IdleWatcher::set_idle_ms(int64_t idle_ms) {
    if (idle_ms == idle_ms_) return;
    idle_ms_ = idle_ms;
    wait_again();
}

uint32_t IdleWatcher::inhibit(const std::string& owner, const std::string& application,
                              const std::string& reason) {
    const bool was_inhibited = inhibited();
    const uint32_t cookie = inhibitors_.add(owner, application, reason);
    if (cookie != 0 && !was_inhibited) wait_again();
    return cookie;
}

void IdleWatcher::uninhibit(uint32_t cookie, const std::string& owner) {
    if (inhibitors_.remove(cookie, owner)) release_one();
}

void IdleWatcher::owner_left(const std::string& owner) {
    if (inhibitors_.remove_owner(owner) != 0) release_one();
}

void IdleWatcher::release_one() {
    if (!inhibited()) wait_again();
}

void IdleWatcher::simulate_activity() {
    if (saver_running_)
        launcher_.stop_saver();
    else
        wait_again();
}

}  // namespace vistaloom
