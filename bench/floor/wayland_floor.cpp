// The least a layer-shell saver can cost a Wayland compositor for frames of moved pictures:
// one full-screen overlay surface on the first output, and at each tick of the frame rate
// four 320 x 240 pictures drawn once each at their new places and what they uncovered filled
// with the background, in a single shm buffer that is committed again with damage for those
// rectangles alone. No second buffer to bring up to date, no toolkit, no scene, no clock.
// bench/measure_saver.sh runs it (wayland-floor-1080p) beside the saver, so the compositor's
// share of the saver's cost can be read against what any client of this kind makes it pay.
//
//   wayland_floor [PICTURES [FRAME_RATE]]      (default 4 pictures at 20 frames a second)
#include <poll.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/wayland_layer_shell_protocol.h"
#include "saver/frame_pacing.h"

namespace {

struct Floor {
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    wl_output* output = nullptr;
    zwlr_layer_shell_v1* layer_shell = nullptr;
    int width = 0, height = 0;
    bool configured = false;
};

void global(void* data, wl_registry* registry, uint32_t id, const char* name, uint32_t) {
    auto& f = *static_cast<Floor*>(data);
    if (!std::strcmp(name, wl_compositor_interface.name))
        f.compositor = static_cast<wl_compositor*>(
            wl_registry_bind(registry, id, &wl_compositor_interface, 4));
    else if (!std::strcmp(name, wl_shm_interface.name))
        f.shm = static_cast<wl_shm*>(wl_registry_bind(registry, id, &wl_shm_interface, 1));
    else if (!std::strcmp(name, wl_output_interface.name) && !f.output)
        f.output = static_cast<wl_output*>(wl_registry_bind(registry, id, &wl_output_interface, 1));
    else if (!std::strcmp(name, zwlr_layer_shell_v1_interface.name))
        f.layer_shell = static_cast<zwlr_layer_shell_v1*>(
            wl_registry_bind(registry, id, &zwlr_layer_shell_v1_interface, 1));
}
void global_gone(void*, wl_registry*, uint32_t) {}
const wl_registry_listener registry_listener{global, global_gone};

void configure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t w, uint32_t h) {
    auto& f = *static_cast<Floor*>(data);
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    f.width = static_cast<int>(w);
    f.height = static_cast<int>(h);
    f.configured = true;
}
void closed(void*, zwlr_layer_surface_v1*) { std::exit(0); }
const zwlr_layer_surface_v1_listener layer_listener{configure, closed};

// Paced as the saver is: each commit asks for the compositor's next frame.
void frame_done(void*, wl_callback* callback, uint32_t) { wl_callback_destroy(callback); }
const wl_callback_listener frame_listener{frame_done};

struct Box {
    int x, y, w, h;
};

void fill(uint32_t* pixels, int stride, const Box& b, uint32_t colour) {
    for (int y = b.y; y < b.y + b.h; ++y) std::fill_n(pixels + y * stride + b.x, b.w, colour);
}

Box clip(Box b, int w, int h) {
    const int x0 = std::max(b.x, 0), y0 = std::max(b.y, 0);
    const int x1 = std::min(b.x + b.w, w), y1 = std::min(b.y + b.h, h);
    return {x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0)};
}

int64_t now_ms() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

}  // namespace

int main(int argc, char** argv) {
    const int pictures = argc > 1 ? std::max(1, std::atoi(argv[1])) : 4;
    const int rate = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "wayland_floor: no compositor\n");
        return 1;
    }
    Floor f;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, &f);
    wl_display_roundtrip(display);
    if (!f.compositor || !f.shm || !f.output || !f.layer_shell) {
        std::fprintf(stderr, "wayland_floor: the compositor lacks layer shell\n");
        return 1;
    }
    wl_surface* surface = wl_compositor_create_surface(f.compositor);
    zwlr_layer_surface_v1* layer = zwlr_layer_shell_v1_get_layer_surface(
        f.layer_shell, surface, f.output, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "floor");
    zwlr_layer_surface_v1_add_listener(layer, &layer_listener, &f);
    zwlr_layer_surface_v1_set_anchor(
        layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                   ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_exclusive_zone(layer, -1);
    wl_surface_commit(surface);
    while (!f.configured && wl_display_dispatch(display) >= 0) {
    }
    const int w = f.width, h = f.height, stride = w;
    const size_t bytes = static_cast<size_t>(w) * h * 4;
    const int fd = memfd_create("floor", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, static_cast<off_t>(bytes)) != 0) return 1;
    auto* pixels = static_cast<uint32_t*>(
        mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0));
    wl_shm_pool* pool = wl_shm_create_pool(f.shm, fd, static_cast<int32_t>(bytes));
    wl_buffer* buffer =
        wl_shm_pool_create_buffer(pool, 0, w, h, w * 4, WL_SHM_FORMAT_XRGB8888);
    fill(pixels, stride, {0, 0, w, h}, 0x00203040);
    wl_region* opaque = wl_compositor_create_region(f.compositor);
    wl_region_add(opaque, 0, 0, w, h);
    wl_surface_set_opaque_region(surface, opaque);
    wl_surface_attach(surface, buffer, 0, 0);
    wl_surface_damage_buffer(surface, 0, 0, w, h);
    wl_surface_commit(surface);
    wl_display_flush(display);

    std::vector<Box> at(static_cast<size_t>(pictures));
    std::vector<int> dx(at.size()), dy(at.size());
    for (size_t i = 0; i < at.size(); ++i) {
        at[i] = {static_cast<int>(i * 200 % std::max(1, w - 320)),
                 static_cast<int>(i * 120 % std::max(1, h - 240)), 320, 240};
        dx[i] = 4 + static_cast<int>(i);
        dy[i] = 3 - static_cast<int>(i % 2) * 6;
    }
    // The saver's own frame-rate rule (48 ms at 20), so both draw as many frames.
    const int period = static_cast<int>(vistaloom::min_frame_ms(rate));
    int64_t next = now_ms() + period;
    for (;;) {
        const int64_t wait = std::max<int64_t>(0, next - now_ms());
        pollfd p{wl_display_get_fd(display), POLLIN, 0};
        wl_display_flush(display);
        if (poll(&p, 1, static_cast<int>(wait)) > 0) {
            if (wl_display_dispatch(display) < 0) return 0;
            continue;
        }
        next += period;
        for (size_t i = 0; i < at.size(); ++i) {
            const Box old = at[i];
            Box moved{old.x + dx[i], old.y + dy[i], 320, 240};
            if (moved.x < 0 || moved.x + 320 > w) dx[i] = -dx[i];
            if (moved.y < 0 || moved.y + 240 > h) dy[i] = -dy[i];
            moved = {old.x + dx[i], old.y + dy[i], 320, 240};
            // What the picture uncovered: a column and a row beside its new place.
            const Box column = dx[i] > 0 ? Box{old.x, old.y, dx[i], 240}
                                         : Box{moved.x + 320, old.y, -dx[i], 240};
            const Box row = dy[i] > 0 ? Box{old.x, old.y, 320, dy[i]}
                                      : Box{old.x, moved.y + 240, 320, -dy[i]};
            fill(pixels, stride, clip(column, w, h), 0x00203040);
            fill(pixels, stride, clip(row, w, h), 0x00203040);
            const Box drawn = clip(moved, w, h);
            fill(pixels, stride, drawn, 0x00c08040 + static_cast<uint32_t>(i) * 0x1020);
            const Box both = clip({std::min(old.x, moved.x), std::min(old.y, moved.y),
                                   320 + std::abs(dx[i]), 240 + std::abs(dy[i])},
                                  w, h);
            wl_surface_damage_buffer(surface, both.x, both.y, both.w, both.h);
            at[i] = moved;
        }
        wl_surface_attach(surface, buffer, 0, 0);
        wl_callback_add_listener(wl_surface_frame(surface), &frame_listener, nullptr);
        wl_surface_commit(surface);
    }
}
