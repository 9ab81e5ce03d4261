#pragma once
#include <cstdint>
#include <iosfwd>
#include <string>

#include "ground/idle_source.h"
#include "watch/inhibitors.h"

namespace vistaloom {

// The watcher's rules: wait until the user has been idle for the chosen time, start the
// saver, and wait again once it has ended. While a program holds the saver off, nothing
// starts; the idle time counts again from the moment the last hold is released, as it does
// from a simulated activity and from the end of a saver run.
class IdleWatcher : public IdleListener {
  public:
    IdleWatcher(IdleSource& source, SaverLauncher& launcher, int64_t idle_ms,
                std::ostream& messages);

    // Starts waiting.
    void begin();

    void user_idle() override;
    void source_lost(const std::string& why) override;

    // The saver child ended, however it ended (input, a crash, a signal).
    void saver_ended();

    // The user chose another idle time (the options dialog) while the watcher runs: the wait
    // under way starts again with it, so the change holds without a new log-in.
    void set_idle_ms(int64_t idle_ms);

    // org.freedesktop.ScreenSaver's requests, `owner` being the caller's bus name.
    uint32_t inhibit(const std::string& owner, const std::string& application,
                     const std::string& reason);
    void uninhibit(uint32_t cookie, const std::string& owner);
    void owner_left(const std::string& owner);
    void simulate_activity();

    int64_t idle_ms() const { return idle_ms_; }
    bool inhibited() const { return inhibitors_.any(); }
    bool saver_running() const { return saver_running_; }
    const Inhibitors& inhibitors() const { return inhibitors_; }
    // True once the session is gone; the watcher then ends with status 0.
    bool finished() const { return finished_; }

  private:
    void wait_again();
    void release_one();

    IdleSource& source_;
    SaverLauncher& launcher_;
    int64_t idle_ms_;
    std::ostream& messages_;
    Inhibitors inhibitors_;
    bool saver_running_ = false;
    bool finished_ = false;
};

}  // namespace vistaloom
