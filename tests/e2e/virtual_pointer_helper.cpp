// Plays a mouse on a compositor that has no input devices (wlroots' virtual pointer):
//   e2e_virtual_pointer [--settle MS] [--gap MS] [--hold MS] ACTION...
// ACTION is "move N" (N small movements) or "click" (the left button pressed and released).
// It waits --settle ms after the device appears, so that clients see the seat gain a pointer,
// --gap ms between events, and keeps the device --hold ms after the last one.
#include <time.h>
#include <wayland-client.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace {

wl_seat* seat = nullptr;
zwlr_virtual_pointer_manager_v1* manager = nullptr;

void global(void*, wl_registry* registry, uint32_t id, const char* interface, uint32_t) {
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !seat)
        seat = static_cast<wl_seat*>(wl_registry_bind(registry, id, &wl_seat_interface, 1));
    if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, id, &zwlr_virtual_pointer_manager_v1_interface, 1));
}
void global_remove(void*, wl_registry*, uint32_t) {}
constexpr wl_registry_listener registry_listener{global, global_remove};

uint32_t now_ms() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<uint32_t>(t.tv_sec * 1000 + t.tv_nsec / 1000000);
}
void pause_ms(long ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

constexpr uint32_t kLeftButton = 0x110;  // BTN_LEFT

}  // namespace

int main(int argc, char** argv) {
    long settle = 300, gap = 20, hold = 300;
    int i = 1;
    for (; i + 1 < argc && std::strncmp(argv[i], "--", 2) == 0; i += 2) {
        const long value = std::strtol(argv[i + 1], nullptr, 10);
        if (std::strcmp(argv[i], "--settle") == 0) settle = value;
        else if (std::strcmp(argv[i], "--gap") == 0) gap = value;
        else if (std::strcmp(argv[i], "--hold") == 0) hold = value;
        else return std::fprintf(stderr, "unknown option %s\n", argv[i]), 2;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (!display) return std::fprintf(stderr, "no Wayland display\n"), 1;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, nullptr);
    wl_display_roundtrip(display);
    if (!seat || !manager)
        return std::fprintf(stderr, "the compositor offers no seat or no virtual pointer\n"), 1;
    zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, seat);
    wl_display_roundtrip(display);
    pause_ms(settle);
    for (; i < argc; ++i) {
        const std::string action = argv[i];
        if (action == "move" && i + 1 < argc) {
            const long count = std::strtol(argv[++i], nullptr, 10);
            for (long n = 0; n < count; ++n) {
                const double step = n % 2 == 0 ? 6.0 : -4.0;
                zwlr_virtual_pointer_v1_motion(pointer, now_ms(), wl_fixed_from_double(step),
                                               wl_fixed_from_double(step));
                zwlr_virtual_pointer_v1_frame(pointer);
                wl_display_roundtrip(display);
                pause_ms(gap);
            }
        } else if (action == "click") {
            for (uint32_t state : {1u, 0u}) {
                zwlr_virtual_pointer_v1_button(pointer, now_ms(), kLeftButton, state);
                zwlr_virtual_pointer_v1_frame(pointer);
                wl_display_roundtrip(display);
                pause_ms(gap);
            }
        } else {
            return std::fprintf(stderr, "unknown action %s\n", action.c_str()), 2;
        }
    }
    pause_ms(hold);
    zwlr_virtual_pointer_v1_destroy(pointer);
    zwlr_virtual_pointer_manager_v1_destroy(manager);
    wl_seat_destroy(seat);
    wl_registry_destroy(registry);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
