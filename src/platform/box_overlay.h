#pragma once
#include <QFont>
#include <QImage>
#include <QRect>
#include <QRegion>
#include <QString>
#include <array>

class QPaintDevice;

namespace vistaloom {

// The saver window's two text boxes (the clock at the top, the information line along the
// bottom), drawn over the scene picture by whichever presenter shows it. They are part of
// the presented picture, so a change of text rides along with the next frame the presenter
// sends instead of costing a send and a flush of its own. Never part of the scene itself:
// a screenshot of the scene has no boxes.
class BoxOverlay {
  public:
    enum Box { Time = 0, Info = 1 };
    static constexpr int kBoxes = 2;

    // `window` (the saver window, or a stand-in image where there is no widget) gives the
    // font metrics and the device pixel ratio.
    explicit BoxOverlay(const QPaintDevice& window);

    // Logical (device-independent) geometry, as the window's widgets measure.
    QRect geometry(Box box) const { return boxes_[box].logical; }
    void set_geometry(Box box, const QRect& logical);
    void set_text(Box box, const QString& text);
    void set_shown(Box box, bool shown);
    bool shown(Box box) const { return boxes_[box].shown; }

    // Where the box is, in device pixels of the window.
    QRect device_rect(Box box) const;
    // The shown boxes, in device pixels; the picture is not sent there.
    const QRegion& covered() const;
    // The picture as the box shows it, device-sized (its device pixel ratio set).
    const QImage& image(Box box) const;

    // What a frame must send: the part of `changed` (device pixels of the picture that
    // changed) that no box covers, since a box stays on top and is not sent again for it,
    // and wherever a box changed, moved or went away since the last call.
    QRegion take_frame_region(const QRegion& changed);
    bool changed() const { return !changes_.isEmpty(); }

  private:
    struct State {
        QRect logical;
        QString text;
        QFont font;
        bool shown = false;
        mutable QImage image;  // drawn when first asked for after a change
    };
    void touch(Box box, const QRect& old_device);
    qreal ratio() const;

    const QPaintDevice& window_;
    std::array<State, kBoxes> boxes_;
    QRegion changes_;
    mutable QRegion covered_;
    mutable qreal covered_ratio_ = 0;
    mutable bool covered_known_ = false;
};

}  // namespace vistaloom
