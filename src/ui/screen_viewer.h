#pragma once
#include <QPoint>
#include <QRegion>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>

#include "pixels/surface.h"
#include "saver/screen_layout.h"

class QScreen;

namespace vistaloom {

class Presenter;

// A screen that runs no scene of its own: full screen over `screen`, it shows part of another
// screen's scene (a mirror of it, or its own part of a scene across all screens), or black.
// It draws only when the scene's window tells it what changed, so a black one costs nothing
// at all; input on it is passed on, because input on any screen ends the run.
class ScreenViewer : public QWidget {
    Q_OBJECT
  public:
    // `view` null: black.
    ScreenViewer(QScreen* screen, std::optional<SceneView> view, std::string screenshot);
    ~ScreenViewer() override;

    void show_full_screen();
    // The scene (its top-left pixel at `origin` of the scene area) changed in `changed`.
    void scene_changed(const Surface& scene, QPoint origin, const QRegion& changed);
    // Writes the --screenshot file, if one was asked for; false when it could not be written.
    bool write_screenshot();
    QScreen* screen_shown() const { return screen_; }
    bool black() const { return !view_; }
    // What the screen shows now (for tests); empty for a black screen.
    const Surface& picture() const { return picture_; }

  signals:
    void key_pressed();
    void mouse_pressed();
    void mouse_moved();

  protected:
    QPaintEngine* paintEngine() const override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    QSize device_size() const;

    QScreen* screen_;
    std::optional<SceneView> view_;
    std::string screenshot_;
    std::unique_ptr<Presenter> presenter_;
    Surface picture_;
    // The last scene seen, to fill a picture that was resized.
    const Surface* scene_ = nullptr;
    QPoint scene_origin_;
    std::optional<QPoint> last_mouse_;
};

}  // namespace vistaloom
