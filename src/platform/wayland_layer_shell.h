#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/wayland/wayland_connection.h"
#include "saver/screen_layout.h"

struct wl_compositor;
struct wl_keyboard;
struct wl_output;
struct wl_pointer;
struct wl_registry;
struct wl_seat;
struct wl_shm;
struct wl_subcompositor;
struct wl_surface;
struct zwlr_layer_shell_v1;
struct zxdg_output_manager_v1;

namespace vistaloom {

// What the compositor tells the saver's layer-shell run.
class LayerShellListener {
  public:
    virtual ~LayerShellListener() = default;
    // An output is there (at start, or plugged in during the run) with its scale known.
    virtual void output_added(uint32_t id) = 0;
    virtual void output_removed(uint32_t id) = 0;
    // Input on one of our surfaces (null: the compositor did not say which).
    virtual void key_pressed(wl_surface* surface) = 0;
    virtual void button_pressed(wl_surface* surface) = 0;
    virtual void pointer_moved(wl_surface* surface) = 0;
    virtual void connection_lost(const std::string& why) = 0;
};

// The globals a layer-shell saver needs, on a connection of our own: the toolkit's has no
// public way to make layer surfaces. Also the seat's keyboard and pointer, whose events go to
// the listener, and the outputs, followed for as long as the run lasts.
class WaylandLayerShell {
  public:
    // Null, with `why`, where no compositor answers or it lacks zwlr_layer_shell_v1, wl_shm or
    // a wl_compositor new enough for buffer damage.
    static std::unique_ptr<WaylandLayerShell> open(std::string& why);
    ~WaylandLayerShell();
    WaylandLayerShell(const WaylandLayerShell&) = delete;
    WaylandLayerShell& operator=(const WaylandLayerShell&) = delete;

    // Reports the outputs there are and follows the compositor from the event loop from now.
    void start(LayerShellListener& listener);

    WaylandConnection& connection() { return *connection_; }
    wl_compositor* compositor() const { return compositor_; }
    wl_shm* shm() const { return shm_; }
    wl_subcompositor* subcompositor() const { return subcompositor_; }
    zwlr_layer_shell_v1* layer_shell() const { return layer_shell_; }
    wl_output* output(uint32_t id) const;
    int32_t output_scale(uint32_t id) const;
    // Where the output stands on the desktop (logical pixels) and its scale.
    ScreenArea output_area(uint32_t id) const;
    std::string output_name(uint32_t id) const;

  private:
    struct Output;
    WaylandLayerShell() = default;
    bool bind(std::string& why);
    void global_added(uint32_t id, const char* interface, uint32_t version);
    void global_removed(uint32_t id);
    void seat_capabilities(uint32_t capabilities);
    void output_done(Output& output);
    void follow_logical_place(Output& output);
    void pointer_entered(wl_surface* surface, uint32_t serial);
    friend struct LayerShellCallbacks;

    std::unique_ptr<WaylandConnection> connection_;
    LayerShellListener* listener_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_compositor* compositor_ = nullptr;
    wl_shm* shm_ = nullptr;
    wl_subcompositor* subcompositor_ = nullptr;
    zwlr_layer_shell_v1* layer_shell_ = nullptr;
    zxdg_output_manager_v1* xdg_outputs_ = nullptr;  // where outputs stand, when offered
    wl_seat* seat_ = nullptr;
    wl_keyboard* keyboard_ = nullptr;
    wl_pointer* pointer_ = nullptr;
    wl_surface* keyboard_focus_ = nullptr;
    wl_surface* pointer_focus_ = nullptr;
    std::map<uint32_t, std::unique_ptr<Output>> outputs_;
};

}  // namespace vistaloom
