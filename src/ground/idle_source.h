#pragma once
#include <cstdint>
#include <string>

namespace vistaloom {

// What an idle source reports to the watcher.
class IdleListener {
  public:
    virtual ~IdleListener() = default;
    // The user has been idle for the armed time. Reported once per arm().
    virtual void user_idle() = 0;
    // The session the source watched is gone (display closed, bus gone): the watcher ends.
    virtual void source_lost(const std::string& why) = 0;
};

// Tells when the user has been idle for a while: the X server's idle counter, a Wayland
// compositor's idle notification, or a desktop's idle monitor on the session bus. Sources
// are event driven; none may poll faster than the time it waits for.
class IdleSource {
  public:
    virtual ~IdleSource() = default;
    // A short name for messages: "x11", "ext-idle-notify", "kde-idle", "gnome".
    virtual std::string name() const = 0;
    // Report user_idle() once the user has been idle for `idle_ms`, counting from now at
    // the earliest: input before this call does not count, idle time before it does not
    // either. A second arm() replaces the first.
    virtual void arm(int64_t idle_ms) = 0;
    // No report until the next arm().
    virtual void disarm() = 0;
};

// Starts and stops the saver as a child process.
class SaverLauncher {
  public:
    virtual ~SaverLauncher() = default;
    // False when the saver could not be started at all.
    virtual bool start_saver() = 0;
    // Asks a running saver to end (it ends as on input).
    virtual void stop_saver() = 0;
};

}  // namespace vistaloom
