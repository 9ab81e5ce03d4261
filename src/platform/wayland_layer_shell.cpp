#include "platform/wayland_layer_shell.h"

#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstring>

#include "platform/wayland_layer_shell_protocol.h"

namespace vistaloom {

struct WaylandLayerShell::Output {
    WaylandLayerShell* shell = nullptr;
    uint32_t id = 0;
    wl_output* output = nullptr;
    int32_t scale = 1;
    // Where the compositor places it, in logical pixels, and its current mode in device
    // pixels before any rotation. wlroots compositors say the place only through xdg-output
    // (their wl_output.geometry is always at 0, 0), which also gives the logical size.
    zxdg_output_v1* xdg = nullptr;
    bool logical_known = false;
    int32_t logical_x = 0;
    int32_t logical_y = 0;
    int32_t logical_width = 0;
    int32_t logical_height = 0;
    int32_t x = 0;
    int32_t y = 0;
    int32_t transform = WL_OUTPUT_TRANSFORM_NORMAL;
    int32_t mode_width = 0;
    int32_t mode_height = 0;
    std::string name;
    bool reported = false;
    int32_t reported_scale = 1;  // the scale its saver was made for
};

struct LayerShellCallbacks {
    using Shell = WaylandLayerShell;
    static Shell& of(void* self) { return *static_cast<Shell*>(self); }

    static void global(void* self, wl_registry*, uint32_t id, const char* interface,
                       uint32_t version) {
        of(self).global_added(id, interface, version);
    }
    static void global_remove(void* self, wl_registry*, uint32_t id) {
        of(self).global_removed(id);
    }
    static constexpr wl_registry_listener registry{global, global_remove};

    static void capabilities(void* self, wl_seat*, uint32_t caps) {
        of(self).seat_capabilities(caps);
    }
    static void seat_name(void*, wl_seat*, const char*) {}
    static constexpr wl_seat_listener seat{capabilities, seat_name};

    static void geometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t,
                         const char*, const char*, int32_t transform) {
        auto* output = static_cast<Shell::Output*>(data);
        output->x = x;
        output->y = y;
        output->transform = transform;
    }
    static void mode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height,
                     int32_t) {
        if (!(flags & WL_OUTPUT_MODE_CURRENT)) return;
        auto* output = static_cast<Shell::Output*>(data);
        output->mode_width = width;
        output->mode_height = height;
    }
    static void done(void* data, wl_output*) {
        auto* output = static_cast<Shell::Output*>(data);
        output->shell->output_done(*output);
    }
    static void scale(void* data, wl_output*, int32_t factor) {
        static_cast<Shell::Output*>(data)->scale = std::max(1, factor);
    }
    static void name(void* data, wl_output*, const char* text) {
        static_cast<Shell::Output*>(data)->name = text ? text : "";
    }
    static void description(void*, wl_output*, const char*) {}
    static constexpr wl_output_listener output{geometry, mode, done, scale, name, description};

    static void logical_position(void* data, zxdg_output_v1*, int32_t x, int32_t y) {
        auto* output = static_cast<Shell::Output*>(data);
        output->logical_x = x;
        output->logical_y = y;
    }
    static void logical_size(void* data, zxdg_output_v1*, int32_t width, int32_t height) {
        auto* output = static_cast<Shell::Output*>(data);
        output->logical_width = width;
        output->logical_height = height;
        output->logical_known = width > 0 && height > 0;
    }
    static void xdg_done(void*, zxdg_output_v1*) {}
    static void xdg_name(void*, zxdg_output_v1*, const char*) {}
    static void xdg_description(void*, zxdg_output_v1*, const char*) {}
    static constexpr zxdg_output_v1_listener xdg_output{logical_position, logical_size, xdg_done,
                                                        xdg_name, xdg_description};

    // The keyboard's keymap is not needed: any key ends the run.
    static void keymap(void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t) { close(fd); }
    static void key_enter(void* self, wl_keyboard*, uint32_t, wl_surface* surface, wl_array*) {
        // Keys held as focus arrives were pressed before the saver was there.
        of(self).keyboard_focus_ = surface;
    }
    static void key_leave(void* self, wl_keyboard*, uint32_t, wl_surface* surface) {
        if (of(self).keyboard_focus_ == surface) of(self).keyboard_focus_ = nullptr;
    }
    static void key(void* self, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t state) {
        Shell& shell = of(self);
        if (state == WL_KEYBOARD_KEY_STATE_PRESSED && shell.listener_)
            shell.listener_->key_pressed(shell.keyboard_focus_);
    }
    static void modifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
    static void repeat_info(void*, wl_keyboard*, int32_t, int32_t) {}
    static constexpr wl_keyboard_listener keyboard{keymap, key_enter, key_leave,
                                                   key,    modifiers, repeat_info};

    static void pointer_enter(void* self, wl_pointer*, uint32_t serial, wl_surface* surface,
                              wl_fixed_t, wl_fixed_t) {
        of(self).pointer_entered(surface, serial);
    }
    static void pointer_leave(void* self, wl_pointer*, uint32_t, wl_surface* surface) {
        if (of(self).pointer_focus_ == surface) of(self).pointer_focus_ = nullptr;
    }
    static void motion(void* self, wl_pointer*, uint32_t, wl_fixed_t, wl_fixed_t) {
        Shell& shell = of(self);
        if (shell.listener_) shell.listener_->pointer_moved(shell.pointer_focus_);
    }
    static void button(void* self, wl_pointer*, uint32_t, uint32_t, uint32_t, uint32_t state) {
        Shell& shell = of(self);
        if (state == WL_POINTER_BUTTON_STATE_PRESSED && shell.listener_)
            shell.listener_->button_pressed(shell.pointer_focus_);
    }
    static void axis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
    static void frame(void*, wl_pointer*) {}
    static void axis_source(void*, wl_pointer*, uint32_t) {}
    static void axis_stop(void*, wl_pointer*, uint32_t, uint32_t) {}
    static void axis_discrete(void*, wl_pointer*, uint32_t, int32_t) {}
    static void axis_value120(void*, wl_pointer*, uint32_t, int32_t) {}
    static constexpr wl_pointer_listener pointer{
        pointer_enter, pointer_leave, motion,    button,        axis,
        frame,         axis_source,   axis_stop, axis_discrete, axis_value120};
};

std::unique_ptr<WaylandLayerShell> WaylandLayerShell::open(std::string& why) {
    std::unique_ptr<WaylandLayerShell> shell(new WaylandLayerShell);
    if (!shell->bind(why)) return nullptr;
    return shell;
}

bool WaylandLayerShell::bind(std::string& why) {
    connection_ = WaylandConnection::open(why);
    if (!connection_) return false;
    registry_ = wl_display_get_registry(connection_->display());
    wl_registry_add_listener(registry_, &LayerShellCallbacks::registry, this);
    // The second round trip brings the outputs' and the seat's first events.
    if (!connection_->roundtrip(why) || !connection_->roundtrip(why)) return false;
    if (!layer_shell_) {
        why = "the Wayland compositor offers no zwlr_layer_shell_v1";
        return false;
    }
    if (!compositor_ || !shm_ || !subcompositor_) {
        why = "the Wayland compositor offers no wl_compositor 4, wl_subcompositor or wl_shm";
        return false;
    }
    return true;
}

void WaylandLayerShell::global_added(uint32_t id, const char* interface, uint32_t version) {
    const std::string name = interface;
    if (name == wl_compositor_interface.name && version >= 4 && !compositor_) {
        compositor_ = static_cast<wl_compositor*>(
            wl_registry_bind(registry_, id, &wl_compositor_interface, 4));
    } else if (name == wl_subcompositor_interface.name && !subcompositor_) {
        subcompositor_ = static_cast<wl_subcompositor*>(
            wl_registry_bind(registry_, id, &wl_subcompositor_interface, 1));
    } else if (name == wl_shm_interface.name && !shm_) {
        shm_ = static_cast<wl_shm*>(wl_registry_bind(registry_, id, &wl_shm_interface, 1));
    } else if (name == zwlr_layer_shell_v1_interface.name && !layer_shell_) {
        // Version 1 has all this needs; 3 lets the shell object be destroyed politely.
        layer_shell_ = static_cast<zwlr_layer_shell_v1*>(wl_registry_bind(
            registry_, id, &zwlr_layer_shell_v1_interface, std::min<uint32_t>(version, 3)));
    } else if (name == zxdg_output_manager_v1_interface.name && !xdg_outputs_) {
        xdg_outputs_ = static_cast<zxdg_output_manager_v1*>(wl_registry_bind(
            registry_, id, &zxdg_output_manager_v1_interface, std::min<uint32_t>(version, 3)));
        for (auto& [output_id, output] : outputs_) follow_logical_place(*output);
    } else if (name == wl_seat_interface.name && !seat_) {
        seat_ = static_cast<wl_seat*>(
            wl_registry_bind(registry_, id, &wl_seat_interface, std::min<uint32_t>(version, 5)));
        wl_seat_add_listener(seat_, &LayerShellCallbacks::seat, this);
    } else if (name == wl_output_interface.name && version >= 2) {
        auto output = std::make_unique<Output>();
        output->shell = this;
        output->id = id;
        output->output = static_cast<wl_output*>(
            wl_registry_bind(registry_, id, &wl_output_interface, std::min<uint32_t>(version, 4)));
        wl_output_add_listener(output->output, &LayerShellCallbacks::output, output.get());
        follow_logical_place(*output);
        outputs_[id] = std::move(output);
    }
}

void WaylandLayerShell::follow_logical_place(Output& output) {
    if (!xdg_outputs_ || output.xdg) return;
    output.xdg = zxdg_output_manager_v1_get_xdg_output(xdg_outputs_, output.output);
    zxdg_output_v1_add_listener(output.xdg, &LayerShellCallbacks::xdg_output, &output);
}

void WaylandLayerShell::global_removed(uint32_t id) {
    auto it = outputs_.find(id);
    if (it == outputs_.end()) return;
    const bool reported = it->second->reported;
    if (listener_ && reported) listener_->output_removed(id);
    wl_output* output = it->second->output;
    if (it->second->xdg) zxdg_output_v1_destroy(it->second->xdg);
    outputs_.erase(it);
    if (wl_output_get_version(output) >= 3) {
        wl_output_release(output);
    } else {
        wl_output_destroy(output);
    }
    connection_->flush();
}

void WaylandLayerShell::output_done(Output& output) {
    if (!listener_) return;
    if (output.reported) {
        // A new mode keeps the scene at its size (the surface's configure says the rest), but
        // a new scale wants the scene in other device pixels: the output gets a fresh saver.
        if (output.scale == output.reported_scale) return;
        listener_->output_removed(output.id);
    }
    output.reported = true;
    output.reported_scale = output.scale;
    listener_->output_added(output.id);
}

void WaylandLayerShell::seat_capabilities(uint32_t capabilities) {
    const bool keys = capabilities & WL_SEAT_CAPABILITY_KEYBOARD;
    const bool pointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
    if (keys && !keyboard_) {
        keyboard_ = wl_seat_get_keyboard(seat_);
        wl_keyboard_add_listener(keyboard_, &LayerShellCallbacks::keyboard, this);
    } else if (!keys && keyboard_) {
        wl_keyboard_release(keyboard_);
        keyboard_ = nullptr;
        keyboard_focus_ = nullptr;
    }
    if (pointer && !pointer_) {
        pointer_ = wl_seat_get_pointer(seat_);
        wl_pointer_add_listener(pointer_, &LayerShellCallbacks::pointer, this);
    } else if (!pointer && pointer_) {
        wl_pointer_release(pointer_);
        pointer_ = nullptr;
        pointer_focus_ = nullptr;
    }
}

void WaylandLayerShell::pointer_entered(wl_surface* surface, uint32_t serial) {
    pointer_focus_ = surface;
    // No cursor over the saver; the pointer's arrival is not movement.
    wl_pointer_set_cursor(pointer_, serial, nullptr, 0, 0);
    connection_->flush();
}

void WaylandLayerShell::start(LayerShellListener& listener) {
    listener_ = &listener;
    connection_->on_lost([this](const std::string& why) {
        if (listener_) listener_->connection_lost(why);
    });
    for (auto& [id, output] : outputs_) output_done(*output);
    connection_->watch();
    connection_->flush();
}

wl_output* WaylandLayerShell::output(uint32_t id) const {
    auto it = outputs_.find(id);
    return it == outputs_.end() ? nullptr : it->second->output;
}

int32_t WaylandLayerShell::output_scale(uint32_t id) const {
    auto it = outputs_.find(id);
    return it == outputs_.end() ? 1 : it->second->scale;
}

ScreenArea WaylandLayerShell::output_area(uint32_t id) const {
    auto it = outputs_.find(id);
    if (it == outputs_.end()) return {};
    const Output& o = *it->second;
    if (o.logical_known)
        return {o.logical_x, o.logical_y, o.logical_width, o.logical_height,
                static_cast<double>(o.scale)};
    // A quarter turn swaps the sides the desktop sees.
    const bool turned = o.transform % 2 == 1;
    const int32_t w = turned ? o.mode_height : o.mode_width;
    const int32_t h = turned ? o.mode_width : o.mode_height;
    return {o.x, o.y, w / o.scale, h / o.scale, static_cast<double>(o.scale)};
}

std::string WaylandLayerShell::output_name(uint32_t id) const {
    auto it = outputs_.find(id);
    return it == outputs_.end() ? std::string() : it->second->name;
}

WaylandLayerShell::~WaylandLayerShell() {
    if (!connection_) return;
    if (keyboard_) wl_keyboard_release(keyboard_);
    if (pointer_) wl_pointer_release(pointer_);
    if (seat_) wl_seat_destroy(seat_);
    for (auto& [id, output] : outputs_) {
        if (output->xdg) zxdg_output_v1_destroy(output->xdg);
        wl_output_destroy(output->output);
    }
    if (xdg_outputs_) zxdg_output_manager_v1_destroy(xdg_outputs_);
    if (layer_shell_) {
        if (zwlr_layer_shell_v1_get_version(layer_shell_) >= 3) {
            zwlr_layer_shell_v1_destroy(layer_shell_);
        } else {
            wl_proxy_destroy(reinterpret_cast<wl_proxy*>(layer_shell_));
        }
    }
    if (shm_) wl_shm_destroy(shm_);
    if (subcompositor_) wl_subcompositor_destroy(subcompositor_);
    if (compositor_) wl_compositor_destroy(compositor_);
    if (registry_) wl_registry_destroy(registry_);
}

}  // namespace vistaloom
