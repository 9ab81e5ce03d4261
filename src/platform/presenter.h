#pragma once
#include <QPoint>
#include <QRect>
#include <QRegion>

#include "pixels/scene_surfaces.h"
#include "pixels/surface.h"

class QWidget;

namespace vistaloom {

class BoxOverlay;

// What the window shows: the scene picture at its place, black around it, the text boxes
// on top.
struct PresentedPicture {
    const Surface* scene = nullptr;  // null or empty: black only
    QPoint origin;                   // where the scene's top-left pixel is, in device pixels
    const BoxOverlay* overlay = nullptr;
    // The session's pictures and the steps its frames listed, for a presenter that composes
    // (Presenter::composes); it takes the steps it has carried out.
    SceneSurfaces* surfaces = nullptr;

    // Device pixels; empty without a scene.
    QRect scene_area() const {
        if (scene == nullptr || scene->empty()) return QRect();
        return QRect(origin, QSize(scene->width, scene->height));
    }
};

// One way of putting the saver window's picture on the screen. Each window system path is
// one implementation (X11 shared memory, X11 image requests, the toolkit's backing store,
// later others); presenter_table.h picks the first that starts for a window. Everything the
// window asks of it is in device pixels of that window.
class Presenter {
  public:
    virtual ~Presenter() = default;

    // Short name of the path, for the frame-rate line ("shm", "xcb", "qt").
    virtual const char* name() const = 0;

    // Takes over showing `window` (its native surface, whatever the window system calls
    // it). False when this path cannot show it; the window is then left as it was, for the
    // next path to try.
    virtual bool start(QWidget& window) = 0;

    // Where the scene picture should live so that sending it costs no copy; null: anywhere.
    virtual PixelStore* picture_store() { return nullptr; }

    // Whether the toolkit paints the window (and needs its paint engine for that).
    virtual bool toolkit_paints() const = 0;

    // Shows `region` of the picture (the boxes' changes included by the caller) and sends
    // it on in one go: one frame, one send.
    virtual void present(const PresentedPicture& picture, const QRegion& region) = 0;

    // The toolkit asks for part of the window (logical pixels, as its paint events say) to
    // be drawn again: it was exposed, resized, or shown for the first time.
    virtual void paint(const PresentedPicture& picture, const QRegion& logical) = 0;

    // Called before the next frame is drawn into the picture (see picture_store()).
    virtual void wait_idle() {}

    // Whether this path builds the frames itself, from its own copies of the scene's
    // pictures and the steps each frame lists (SceneSurfaces::draws), so that nothing is
    // copied in our memory for a frame.
    virtual bool composes() const { return false; }
    // Makes the scene picture in our memory equal to what such a path composed.
    virtual void read_back(const PresentedPicture&) {}
};

}  // namespace vistaloom
