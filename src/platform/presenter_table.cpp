#include "platform/presenter_table.h"

#include <QWidget>
#include <cstdlib>

#include "platform/qt_presenter.h"
#include "platform/shm_presenter.h"
#include "platform/x11_connection.h"
#include "platform/xcb_presenter.h"
#include "platform/xpixmap_presenter.h"

namespace vistaloom {

namespace {

// The X11 paths send scene pixels one to one, so only where a device pixel is a logical
// one; on a scaled screen the toolkit maps the boxes' logical places onto device pixels.
// XWayland counts as X11: the toolkit then talks X11 too.
bool x11_applies(const QWidget& window) {
    X11Connection* connection = X11Connection::for_toolkit();
    return connection != nullptr && connection->alive() && window.devicePixelRatioF() == 1.0;
}

bool shm_applies(const QWidget& window) {
    // For trying the plain path on a server that would take shared memory.
    return std::getenv("VISTALOOM_NO_SHM") == nullptr && x11_applies(window);
}

bool xpixmap_applies(const QWidget& window) {
    // For trying the client-side composition on a server that would compose.
    return std::getenv("VISTALOOM_NO_XPIXMAP") == nullptr && shm_applies(window);
}

bool always(const QWidget&) {
    return true;
}

}  // namespace

const std::vector<PresenterRow>& presenter_rows() {
    static const std::vector<PresenterRow> rows = {
        {"xpixmap", xpixmap_applies,
         [] {
             return std::unique_ptr<Presenter>(
                 std::make_unique<XPixmapPresenter>(*X11Connection::for_toolkit()));
         }},
        {"shm", shm_applies,
         [] {
             return std::unique_ptr<Presenter>(
                 std::make_unique<ShmPresenter>(*X11Connection::for_toolkit()));
         }},
        {"xcb", x11_applies,
         [] {
             return std::unique_ptr<Presenter>(
                 std::make_unique<XcbPresenter>(*X11Connection::for_toolkit()));
         }},
        {"qt", always, [] { return std::unique_ptr<Presenter>(std::make_unique<QtPresenter>()); }},
    };
    return rows;
}

std::unique_ptr<Presenter> start_presenter(QWidget& window, bool picture_in_memory) {
    for (const PresenterRow& row : presenter_rows()) {
        if (!row.applies(window)) continue;
        std::unique_ptr<Presenter> presenter = row.make();
        if (picture_in_memory && presenter->composes()) continue;
        if (presenter->start(window)) return presenter;
    }
    return nullptr;  // unreachable while the toolkit's row closes the table
}

}  // namespace vistaloom
