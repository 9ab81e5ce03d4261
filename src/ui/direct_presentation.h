#pragma once
#include <QImage>
#include <QRect>
#include <QRegion>
#include <QString>
#include <array>
#include <memory>
#include <vector>

#include "pixels/surface.h"

class QLabel;
class QWidget;

namespace vistaloom {

class FramePresenter;

// Shows the saver window's picture without the toolkit's backing store: the presented
// rectangles go from `ascreen` (which lives in memory the presenter hands out) straight to
// the window. The toolkit cannot paint the text boxes into such a window, so they are drawn
// here too, and frames are sent around them so that they stay on top without flicker.
class DirectPresentation {
  public:
    // Draws into `window` (made paint-on-screen); null where the window system offers no
    // direct path (not X11, an unusual screen), and the window is left as it was.
    static std::unique_ptr<DirectPresentation> create(QWidget& window);
    explicit DirectPresentation(std::unique_ptr<FramePresenter> presenter);
    ~DirectPresentation();

    const char* name() const;
    // `ascreen` will take its memory from the presenter from its next resize on.
    void adopt(Surface& ascreen);

    // A text box, by index (0: time, 1: information line); hidden boxes are not drawn.
    void set_box(int index, const QLabel& box, bool shown);
    void wait_idle();
    // Sends these rectangles of `ascreen` (its own coordinates; it sits at `origin`).
    void present(const Surface& ascreen, QPoint origin, const std::vector<Rect>& rects);
    // The window (or part of it) must be drawn again from scratch.
    void expose(const Surface* ascreen, QPoint origin, const QRegion& area);

  private:
    struct Box {
        QRect rect;
        QImage image;
        QString text;
        bool shown = false;
        bool dirty = false;
    };
    bool bind(QWidget& window);
    QRegion covered() const;
    void put_region(const Surface& ascreen, QPoint origin, const QRegion& region);
    void put_boxes(bool all);

    std::unique_ptr<FramePresenter> presenter_;
    std::array<Box, 2> boxes_;
    QRegion uncovered_;  // where a box was and no longer is
    bool bound_ = false;
};

}  // namespace vistaloom
