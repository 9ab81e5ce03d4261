#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "ground/idle_source.h"
#include "platform/wayland/wayland_connection.h"

struct wl_display;
struct wl_registry;
struct wl_seat;
struct ext_idle_notifier_v1;
struct ext_idle_notification_v1;
struct org_kde_kwin_idle;
struct org_kde_kwin_idle_timeout;

namespace vistaloom {

// A compositor's idle notification on a connection of our own, apart from the toolkit's: the
// watcher shows no window, and the saver it starts is another process. The compositor counts
// from the moment a notification is made, so arm() makes a new one each time; it also applies
// its own idle inhibitors (a video player's), which is why nothing here knows of them.
class WaylandIdleSource : public IdleSource {
  public:
    // Null, with `why`, when no compositor answers or it offers neither protocol.
    static std::unique_ptr<WaylandIdleSource> open(IdleListener& listener, std::string& why);
    ~WaylandIdleSource() override;
    WaylandIdleSource(const WaylandIdleSource&) = delete;
    WaylandIdleSource& operator=(const WaylandIdleSource&) = delete;

    std::string name() const override;
    void arm(int64_t idle_ms) override;
    void disarm() override;

  private:
    explicit WaylandIdleSource(IdleListener& listener);
    bool bind(std::string& why);
    void flush();
    void lose(const std::string& why);
    void destroy_notification();

    void global_added(uint32_t id, const char* interface, uint32_t version);
    void global_removed(uint32_t id);
    void idled();

    // The protocol listeners, which call the three above.
    friend struct WaylandCallbacks;

    IdleListener& listener_;
    std::unique_ptr<WaylandConnection> connection_;
    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    uint32_t seat_id_ = 0;
    ext_idle_notifier_v1* notifier_ = nullptr;
    org_kde_kwin_idle* kde_idle_ = nullptr;
    ext_idle_notification_v1* notification_ = nullptr;
    org_kde_kwin_idle_timeout* kde_timeout_ = nullptr;
    bool reported_ = false;
    bool lost_ = false;
};

}  // namespace vistaloom
