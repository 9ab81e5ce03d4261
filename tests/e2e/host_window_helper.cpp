// A stand-in for a screen-saver daemon's window: opens a plain window of the given size
// (default 400x300), prints its X window id and stays up until it is killed, which destroys
// the window as a daemon's exit would. Tests resize it and grab it from outside.
// With "--close-children-after MS" it also asks every child window to close after MS
// milliseconds (WM_DELETE_WINDOW, as a dialog does to its preview), printing "closed N".
#include <xcb/xcb.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    auto* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t value = reply ? reply->atom : XCB_ATOM_NONE;
    std::free(reply);
    return value;
}

int close_children(xcb_window_t window) {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11) return 0;
    xcb_connection_t* c = x11->connection();
    auto* tree = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
    if (!tree) return 0;
    const xcb_atom_t protocols = atom(c, "WM_PROTOCOLS");
    const xcb_atom_t remove = atom(c, "WM_DELETE_WINDOW");
    const xcb_window_t* children = xcb_query_tree_children(tree);
    const int count = xcb_query_tree_children_length(tree);
    for (int i = 0; i < count; ++i) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = children[i];
        event.type = protocols;
        event.data.data32[0] = remove;
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(c, 0, children[i], XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&event));
    }
    xcb_flush(c);
    std::free(tree);
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QSize size(400, 300);
    const QStringList args = app.arguments();
    if (args.size() > 1) {
        const QStringList parts = args[1].split(QLatin1Char('x'));
        if (parts.size() == 2) size = QSize(parts[0].toInt(), parts[1].toInt());
    }
    QWidget host;
    host.setWindowTitle(QStringLiteral("e2e host"));
    // A colour the saver never paints, so a grab tells the host's pixels from the saver's.
    host.setStyleSheet(QStringLiteral("background: #00ff00"));
    host.resize(size);
    host.show();
    std::printf("%llu\n", static_cast<unsigned long long>(host.winId()));
    std::fflush(stdout);
    if (args.size() > 3 && args[2] == QLatin1String("--close-children-after")) {
        QTimer::singleShot(args[3].toInt(), &host, [&host] {
            std::printf("closed %d\n", close_children(static_cast<xcb_window_t>(host.winId())));
            std::fflush(stdout);
        });
    }
    return app.exec();
}
