// A compositor with nothing but a seat and the idle protocols, for the Wayland idle source's
// runs on the path no Debian 12 compositor offers (ext-idle-notify-v1). It listens on
// $XDG_RUNTIME_DIR/NAME and offers what its options say:
//   e2e_idle_compositor NAME [--ext] [--kde]
// Every request about idle notifications is printed on stdout as it arrives:
//   get_idle_notification MS | get_idle_timeout MS | destroy notification | release timeout
// Commands on stdin: "idled" (every live notification goes idle), "resumed", "quit" (the
// compositor goes away with its clients' connections). It prints "ready" once it listens.
#include <wayland-server.h>

#include <unistd.h>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "ext-idle-notify-v1-server-protocol.h"
#include "kde-idle-server-protocol.h"

namespace {

wl_display* display = nullptr;
std::set<wl_resource*> notifications;  // ext_idle_notification_v1
std::set<wl_resource*> timeouts;       // org_kde_kwin_idle_timeout

void say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void destroy_request(wl_client*, wl_resource* resource) {
    wl_resource_destroy(resource);
}

// wl_seat version 1: the idle source never asks for a device.
void seat_device(wl_client*, wl_resource*, uint32_t) {}
const struct wl_seat_interface seat_impl = {seat_device, seat_device, seat_device, nullptr};

void bind_seat(wl_client* client, void*, uint32_t version, uint32_t id) {
    wl_resource* seat =
        wl_resource_create(client, &wl_seat_interface, static_cast<int>(version), id);
    wl_resource_set_implementation(seat, &seat_impl, nullptr, nullptr);
    wl_seat_send_capabilities(seat, 0);
}

const struct ext_idle_notification_v1_interface notification_impl = {destroy_request};

void notification_gone(wl_resource* resource) {
    say("destroy notification");
    notifications.erase(resource);
}

void get_idle_notification(wl_client* client, wl_resource* notifier, uint32_t id, uint32_t timeout,
                           wl_resource*) {
    say("get_idle_notification " + std::to_string(timeout));
    wl_resource* notification = wl_resource_create(client, &ext_idle_notification_v1_interface,
                                                   wl_resource_get_version(notifier), id);
    wl_resource_set_implementation(notification, &notification_impl, nullptr, notification_gone);
    notifications.insert(notification);
}

const struct ext_idle_notifier_v1_interface notifier_impl = {destroy_request,
                                                             get_idle_notification};

void bind_notifier(wl_client* client, void*, uint32_t version, uint32_t id) {
    wl_resource* notifier =
        wl_resource_create(client, &ext_idle_notifier_v1_interface, static_cast<int>(version), id);
    wl_resource_set_implementation(notifier, &notifier_impl, nullptr, nullptr);
}

void simulate_activity(wl_client*, wl_resource*) {}
const struct org_kde_kwin_idle_timeout_interface timeout_impl = {destroy_request,
                                                                 simulate_activity};

void timeout_gone(wl_resource* resource) {
    say("release timeout");
    timeouts.erase(resource);
}

void get_idle_timeout(wl_client* client, wl_resource* idle, uint32_t id, wl_resource*,
                      uint32_t timeout) {
    say("get_idle_timeout " + std::to_string(timeout));
    wl_resource* resource = wl_resource_create(client, &org_kde_kwin_idle_timeout_interface,
                                               wl_resource_get_version(idle), id);
    wl_resource_set_implementation(resource, &timeout_impl, nullptr, timeout_gone);
    timeouts.insert(resource);
}

const struct org_kde_kwin_idle_interface kde_idle_impl = {get_idle_timeout};

void bind_kde_idle(wl_client* client, void*, uint32_t version, uint32_t id) {
    wl_resource* idle =
        wl_resource_create(client, &org_kde_kwin_idle_interface, static_cast<int>(version), id);
    wl_resource_set_implementation(idle, &kde_idle_impl, nullptr, nullptr);
}

int read_command(int fd, uint32_t, void*) {
    static std::string pending;
    char buffer[256];
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got <= 0) {
        wl_display_terminate(display);
        return 0;
    }
    pending.append(buffer, static_cast<size_t>(got));
    for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
        const std::string command = pending.substr(0, end);
        if (command == "quit") wl_display_terminate(display);
        for (wl_resource* n : notifications) {
            if (command == "idled") ext_idle_notification_v1_send_idled(n);
            if (command == "resumed") ext_idle_notification_v1_send_resumed(n);
        }
        for (wl_resource* t : timeouts) {
            if (command == "idled") org_kde_kwin_idle_timeout_send_idle(t);
            if (command == "resumed") org_kde_kwin_idle_timeout_send_resumed(t);
        }
        wl_display_flush_clients(display);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: e2e_idle_compositor NAME [--ext] [--kde]\n");
        return 64;
    }
    display = wl_display_create();
    if (wl_display_add_socket(display, argv[1]) != 0) {
        std::fprintf(stderr, "e2e_idle_compositor: cannot listen on %s\n", argv[1]);
        return 1;
    }
    wl_global_create(display, &wl_seat_interface, 1, nullptr, bind_seat);
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--ext") == 0)
            wl_global_create(display, &ext_idle_notifier_v1_interface, 1, nullptr, bind_notifier);
        if (std::strcmp(argv[i], "--kde") == 0)
            wl_global_create(display, &org_kde_kwin_idle_interface, 1, nullptr, bind_kde_idle);
    }
    wl_event_loop_add_fd(wl_display_get_event_loop(display), 0, WL_EVENT_READABLE, read_command,
                         nullptr);
    say("ready");
    wl_display_run(display);
    wl_display_destroy_clients(display);
    wl_display_destroy(display);
    return 0;
}
