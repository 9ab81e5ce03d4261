#pragma once
#include <QPoint>
#include <QRegion>
#include <QSize>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "saver/saver_window_host.h"

class QScreen;

namespace vistaloom {

class BoxOverlay;
class HugePageStore;
class Presenter;
class SaverSession;
struct PresentedPicture;
struct Surface;

// How and where the saver window appears, and the options for people trying it out.
struct FrmMainOptions {
    enum class Placement {
        FullScreen,  // borderless over the screen it starts on
        Windowed,    // an ordinary window of `windowed_size`
        Embedded,    // inside a window someone else owns; that owner handles input
    };
    Placement placement = Placement::FullScreen;
    QSize windowed_size{800, 600};
    // The screen a full-screen window covers; null: the one under the pointer.
    QScreen* screen = nullptr;
    bool config_preview = false;
    std::string screenshot;  // PNG of the last presented frame, written at unload
    // One scene across several screens: its size, and where this window starts in it (device
    // pixels). None: the scene is the window's own.
    std::optional<SaverWindowHost::SceneArea> span;
    // Other screens show this scene's picture (mirror, span), drawn from our memory: the frames
    // must be composed here, not on the display server.
    bool picture_in_memory = false;
};

// The saver window. Its presenter shows `ascreen` with the text boxes over it, sending only
// what the session reports as changed, and the window passes input to the session. The
// session decides everything else: the window carries out what it is asked through
// SaverWindowHost.
class FrmMain : public QWidget, public SaverWindowHost {
    Q_OBJECT
  public:
    explicit FrmMain(FrmMainOptions options, QWidget* parent = nullptr);
    ~FrmMain() override;

    // The session is made after the window (it needs the window as its host). Runs Form_Load.
    void attach(SaverSession& session);

    // SIGTERM, a vanished host window: end the run the way a close request does, even while
    // the set-up is still going on.
    void request_stop();

    // Told every time the session schedules its next frame (for the frame log).
    void set_schedule_observer(std::function<void(int64_t delay_ms)> observer) {
        schedule_observer_ = std::move(observer);
    }

    // Told once the start picture is on its way to the screen (for the frame log).
    void set_start_observer(std::function<void()> observer) {
        start_observer_ = std::move(observer);
    }

    // Told whatever part of the scene each frame changed, in the scene area's device pixels
    // (see scene_area_px()), for the screens that show this window's scene too.
    using PresentObserver = std::function<void(const QRegion& changed)>;
    void set_present_observer(PresentObserver observer) { present_observer_ = std::move(observer); }
    // The scene picture (null before the run is set up) and where its top-left pixel stands in
    // the scene area.
    const Surface* scene_picture() const { return ascreen(); }
    QPoint scene_picture_origin() const;

    bool activated() const { return activated_; }
    // How frames reach the screen (the presenter's name): "xpixmap" composed on the X server,
    // "shm" or "xcb" straight to the X server, "qt" through the toolkit's backing store.
    const char* presentation_name() const;
    bool unloading() const { return unloading_; }
    // The --screenshot file could not be written (the run itself ended normally).
    bool screenshot_failed() const { return screenshot_failed_; }

  signals:
    // The window has closed: the run is over or never started. A window inside someone
    // else's window is not a top-level window to Qt, so its closing does not end the process
    // by itself.
    void unloaded();

  public:
    // SaverWindowHost
    int32_t inner_width_px() override;
    int32_t inner_height_px() override;
    double device_ratio_of_screen() override { return device_ratio(); }
    SceneArea scene_area_px() override;
    bool is_maximised() override;
    void maximise() override;
    BoxSize time_box_size() override;
    void move_time_box(int32_t left, int32_t top) override;
    void set_time_box_visible(bool visible) override;
    void set_time_box_text(const std::string& text) override;
    BoxSize info_box_size() override;
    void move_info_box(int32_t left, int32_t top, int32_t width, int32_t height) override;
    void set_info_box_text(const std::string& text) override;
    void show_info_box() override;
    void make_topmost() override;
    void show_start_picture(const StartPicture& start) override;
    void repaint(const std::vector<Rect>& rects) override;
    void repaint_all() override;
    void read_back_picture() override;
    void schedule_frame(int64_t delay_ms) override;
    void unload() override;
    int64_t window_handle() override;

  protected:
    QPaintEngine* paintEngine() const override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void run_activation();
    const Surface* ascreen() const;
    QPoint ascreen_origin() const;
    // The session measures in device pixels, Qt's widgets in device-independent ones; on a
    // 200% screen one of these is two of those.
    qreal device_ratio() const;
    QSize device_size() const;
    int to_logical(int device) const;
    bool input_ignored() const;
    void place_boxes_for_new_size();
    void write_screenshot();
    PresentedPicture picture() const;
    // Sends the changed part of the picture (device pixels) and the boxes' changes.
    void present(const QRegion& changed);
    void send_boxes_left_over();

    FrmMainOptions options_;
    SaverSession* session_ = nullptr;
    // Drives the session's frames from the event loop: one single-shot timer per window, so
    // several saver windows in one process take turns fairly.
    QTimer frame_timer_;
    std::function<void(int64_t)> schedule_observer_;
    PresentObserver present_observer_;
    std::function<void()> start_observer_;
    std::unique_ptr<BoxOverlay> overlay_;
    std::unique_ptr<Presenter> presenter_;
    // Box changes made during the last frame step that no frame has sent yet.
    bool boxes_waited_ = false;
    // Large-page memory for `main`, the one full-screen surface besides `ascreen` that a
    // presenter showing our picture needs (its frames are built straight in `ascreen`).
    std::unique_ptr<HugePageStore> main_store_;

    bool activation_queued_ = false;
    bool activated_ = false;
    bool screenshot_failed_ = false;
    bool unloading_ = false;
    QSize setup_size_;  // device pixels
    std::optional<QPoint> last_mouse_;
};

}  // namespace vistaloom
