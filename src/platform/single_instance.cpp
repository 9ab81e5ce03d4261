#include "platform/single_instance.h"

#include "platform/x11_connection.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace vistaloom {

namespace {

xcb_atom_t intern(xcb_connection_t* c, const char* name) {
    auto cookie = xcb_intern_atom(c, 1, static_cast<uint16_t>(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(c, cookie, nullptr), &std::free);
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

std::vector<xcb_window_t> children_of(xcb_connection_t* c, xcb_window_t window) {
    std::vector<xcb_window_t> out;
    std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
        xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr), &std::free);
    if (!tree) return out;
    const xcb_window_t* kids = xcb_query_tree_children(tree.get());
    out.assign(kids, kids + xcb_query_tree_children_length(tree.get()));
    return out;
}

std::vector<xcb_window_t> window_list_property(xcb_connection_t* c, xcb_window_t root,
                                               xcb_atom_t property) {
    std::vector<xcb_window_t> out;
    if (property == XCB_ATOM_NONE) return out;
    auto cookie = xcb_get_property(c, 0, root, property, XCB_ATOM_WINDOW, 0, 65536);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(c, cookie, nullptr), &std::free);
    if (!reply || reply->format != 32) return out;
    const auto* ids = static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
    out.assign(ids, ids + xcb_get_property_value_length(reply.get()) / 4);
    return out;
}

// The lock of one user's saver on one display: in the user's runtime folder (or cache), named
// for the display so savers on two displays do not shut each other out.
std::string lock_path(const std::string& kind) {
    std::string folder;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && runtime[0] == '/') {
        folder = runtime;
    } else if (const char* home = std::getenv("HOME"); home && home[0] == '/') {
        folder = std::string(home) + "/.cache";
    } else {
        return {};
    }
    std::string display = "default";
    if (const char* name = std::getenv("DISPLAY"); name && *name) display = name;
    for (char& c : display)
        if (c == '/') c = '_';
    return folder + "/vistaloom-" + kind + "-" + display + ".lock";
}

}  // namespace

// Taking the lock is atomic, unlike a search for the other saver's window, which two savers
// started at the same instant both pass. The descriptor stays open for the process's life
// (and closes in children, which must not hold it); the kernel drops the lock when the
// process ends, however it ends.
bool take_display_lock(const std::string& kind) {
    static std::map<std::string, int> held;
    if (held.count(kind) != 0) return true;
    const std::string path = lock_path(kind);
    if (path.empty()) return true;
    const int fd =
        ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
    // Without a lock file to take, the window search below still decides.
    if (fd < 0) return true;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
        ::close(fd);
        return true;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    held[kind] = fd;
    return true;
}

bool is_first_instance(const std::string& title) {
    if (!take_display_lock("saver")) return false;
    // The window search stays for savers of older versions, which take no lock.
    X11Connection* x11 = X11Connection::for_toolkit();
    if (!x11 || !x11->alive()) return true;
    xcb_connection_t* c = x11->get();

    const xcb_atom_t net_wm_name = intern(c, "_NET_WM_NAME");
    const xcb_atom_t utf8_string = intern(c, "UTF8_STRING");
    const xcb_atom_t client_list = intern(c, "_NET_CLIENT_LIST");

    // Without a window manager the saver's window is a child of the root. A reparenting
    // window manager puts it one level lower and usually lists it in _NET_CLIENT_LIST.
    std::set<xcb_window_t> candidates;
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(c)); it.rem; xcb_screen_next(&it)) {
        const xcb_window_t root = it.data->root;
        for (xcb_window_t w : window_list_property(c, root, client_list)) candidates.insert(w);
        for (xcb_window_t top : children_of(c, root)) {
            candidates.insert(top);
            for (xcb_window_t inner : children_of(c, top)) candidates.insert(inner);
        }
    }

    // Ask for every title at once, then read the answers.
    struct Pending {
        xcb_get_property_cookie_t net_name;
        xcb_get_property_cookie_t wm_name;
    };
    std::vector<Pending> pending;
    pending.reserve(candidates.size());
    for (xcb_window_t w : candidates) {
        Pending p{};
        p.net_name = xcb_get_property(c, 0, w, net_wm_name, utf8_string, 0, 1024);
        p.wm_name = xcb_get_property(c, 0, w, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024);
        pending.push_back(p);
    }
    bool found = false;
    auto matches = [&title](xcb_get_property_reply_t* reply) {
        if (!reply || reply->format != 8) return false;
        const int length = xcb_get_property_value_length(reply);
        const char* text = static_cast<const char*>(xcb_get_property_value(reply));
        return std::string(text, static_cast<size_t>(length)) == title;
    };
    for (const Pending& p : pending) {
        // Every reply is collected even after a match, so none is left queued.
        std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> a(
            xcb_get_property_reply(c, p.net_name, nullptr), &std::free);
        std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> b(
            xcb_get_property_reply(c, p.wm_name, nullptr), &std::free);
        if (matches(a.get()) || matches(b.get())) found = true;
    }
    return !found;
}

}  // namespace vistaloom
