#include "ui/layer_saver_screen.h"

#include <cmath>

#include "platform/box_overlay.h"
#include "platform/device_pixels.h"
#include "platform/huge_page_store.h"
#include "platform/surface_image.h"
#include "platform/wayland_layer_surface.h"
#include "saver/shared_cursor_desktop.h"
#include "ui/screenshot_file.h"

namespace vistaloom {

namespace {
// A frame the compositor has not asked for again within this time is on an output that is
// off or wholly covered.
constexpr int kUnseenAfterMs = 1000;
}  // namespace

LayerSaverScreen::LayerSaverScreen(LayerSaverScreenRecipe recipe, WaylandLayerShell& shell,
                                   wl_output* output, int32_t scale, int& cursor_hidden_by)
    : recipe_(std::move(recipe)) {
    const SaverSeams& s = recipe_.seams;
    desktop_ = std::make_unique<SharedCursorDesktop>(s.desktop, cursor_hidden_by);
    const SaverSeams seams{s.clock, s.random, *desktop_, s.media, s.registry, s.folders};
    metrics_ = QImage(1, 1, QImage::Format_RGB32);
    metrics_.setDevicePixelRatio(scale < 1 ? 1 : scale);
    overlay_ = std::make_unique<BoxOverlay>(metrics_);
    surface_ = std::make_unique<WaylandLayerSurface>(
        shell, output, scale,
        WaylandLayerSurface::Events{[this] { configured(); }, [this] { frame_done(); },
                                    [this] { emit surface_closed(); },
                                    [this] { step_if_waiting(); }});
    recipe_.session_options.presentation = "wayland-layer";
    session_ = std::make_unique<SaverSession>(recipe_.settings, recipe_.values, seams, *this,
                                              recipe_.session_options);
    main_store_ = std::make_unique<HugePageStore>();
    session_->surfaces().main.pixels.use_store(main_store_.get());
    // The frames are built straight in the buffers the compositor reads: no `work` to build
    // them in and copy from, one write of each changed pixel.
    session_->surfaces().composed_in_ascreen = true;
    surface_->hold_picture(session_->surfaces().ascreen.pixels);

    frame_timer_.setSingleShot(true);
    // The frame rule is met to the millisecond; a coarse timer would slip by up to 5%.
    frame_timer_.setTimerType(Qt::PreciseTimer);
    connect(&frame_timer_, &QTimer::timeout, this, [this] {
        if (unloading_) return;
        // No callback, no frame: the step waits until the compositor wants one, and until
        // it has given back a buffer to draw into.
        if ((surface_->awaiting_frame() || !surface_->drawable()) && !session_->paused()) {
            step_waits_for_frame_ = true;
            return;
        }
        step_now();
    });
    unseen_timer_.setSingleShot(true);
    connect(&unseen_timer_, &QTimer::timeout, this, [this] {
        if (unloading_ || !surface_->awaiting_frame()) return;
        unseen_ = true;
        session_->set_shown(false);
    });
    session_->Form_Load();
}

LayerSaverScreen::~LayerSaverScreen() = default;

wl_surface* LayerSaverScreen::surface() const {
    return surface_->surface();
}

// The run starts once the compositor has given the surface its size.
void LayerSaverScreen::configured() {
    metrics_ = QImage(std::max(1, surface_->device_size().width()), 1, QImage::Format_RGB32);
    metrics_.setDevicePixelRatio(surface_->scale());
    if (activated_ || unloading_) return;
    activated_ = true;
    QMetaObject::invokeMethod(
        this, [this] { session_->Form_Activate(); }, Qt::QueuedConnection);
}

void LayerSaverScreen::frame_done() {
    unseen_timer_.stop();
    if (unseen_) {
        unseen_ = false;
        session_->set_shown(true);
    }
    step_if_waiting();
}

void LayerSaverScreen::step_if_waiting() {
    if (!step_waits_for_frame_ || surface_->awaiting_frame() || !surface_->drawable()) return;
    step_waits_for_frame_ = false;
    step_now();
}

void LayerSaverScreen::step_now() {
    if (unloading_) return;
    const int64_t next = session_->step();
    if (next != SaverSession::kNoFrame) schedule_frame(next);
}

int32_t LayerSaverScreen::inner_width_px() {
    return surface_->device_size().width();
}
int32_t LayerSaverScreen::inner_height_px() {
    return surface_->device_size().height();
}

double LayerSaverScreen::device_ratio_of_screen() {
    return surface_ ? surface_->scale() : 1.0;
}

SaverWindowHost::SceneArea LayerSaverScreen::scene_area_px() {
    if (recipe_.span) return *recipe_.span;
    return {inner_width_px(), inner_height_px(), 0, 0};
}

QPoint LayerSaverScreen::scene_picture_origin() const {
    const auto& s = session_->surfaces();
    return QPoint(s.ascreen_left, s.ascreen_top);
}

int LayerSaverScreen::to_logical(int device) const {
    return static_cast<int>(std::lround(device / static_cast<double>(surface_->scale())));
}

// The boxes change here, but reach the screen with the next frame.
BoxSize LayerSaverScreen::time_box_size() {
    const QRect r = overlay_->device_rect(BoxOverlay::Time);
    return {r.width(), r.height()};
}

void LayerSaverScreen::move_time_box(int32_t left, int32_t top) {
    const QSize size = overlay_->geometry(BoxOverlay::Time).size();
    overlay_->set_geometry(BoxOverlay::Time,
                           QRect(QPoint(to_logical(left), to_logical(top)), size));
}

void LayerSaverScreen::set_time_box_visible(bool visible) {
    overlay_->set_shown(BoxOverlay::Time, visible);
}

void LayerSaverScreen::set_time_box_text(const std::string& text) {
    overlay_->set_text(BoxOverlay::Time, QString::fromStdString(text));
}

BoxSize LayerSaverScreen::info_box_size() {
    const QRect r = overlay_->device_rect(BoxOverlay::Info);
    return {r.width(), r.height()};
}

void LayerSaverScreen::move_info_box(int32_t left, int32_t top, int32_t width, int32_t height) {
    overlay_->set_geometry(BoxOverlay::Info,
                           logical_from_device(QRect(left, top, width, height), surface_->scale()));
}

void LayerSaverScreen::set_info_box_text(const std::string& text) {
    overlay_->set_text(BoxOverlay::Info, QString::fromStdString(text));
}

void LayerSaverScreen::show_info_box() {
    overlay_->set_shown(BoxOverlay::Info, true);
}

// The buffer the picture is in lacks what was shown since its last turn; what the frame wrote
// there need not be taken from the buffer shown before. The frame changed more than it wrote
// (the rectangles around each picture's old and new place): the rest comes from that buffer.
void LayerSaverScreen::note_drawn() {
    const auto& s = session_->surfaces();
    QRegion drawn;
    if (s.ascreen_painted) {
        drawn = QRect(0, 0, s.ascreen.width, s.ascreen.height);
    } else {
        for (const Rect& r : s.ascreen_written) drawn += QRect(r.x, r.y, r.w, r.h);
    }
    surface_->picture_drawn(drawn);
}

const Surface& LayerSaverScreen::scene_picture() {
    surface_->complete_picture();
    return session_->surfaces().ascreen;
}

void LayerSaverScreen::read_back_picture() {
    surface_->complete_picture();
}

void LayerSaverScreen::repaint(const std::vector<Rect>& rects) {
    note_drawn();
    const auto& s = session_->surfaces();
    QRegion changed;
    for (const Rect& r : rects)
        if (r.w > 0 && r.h > 0)
            changed += QRect(s.ascreen_left + r.x, s.ascreen_top + r.y, r.w, r.h);
    present(changed);
}

QPoint LayerSaverScreen::own_part() const {
    return recipe_.span ? QPoint(recipe_.span->left, recipe_.span->top) : QPoint();
}

void LayerSaverScreen::repaint_all() {
    const auto& s = session_->surfaces();
    note_drawn();
    present(QRegion(QRect(own_part(), surface_->device_size())) +
            QRect(s.ascreen_left, s.ascreen_top, s.ascreen.width, s.ascreen.height));
}

// `changed` is in the scene's device pixels; this output shows its own part of it.
void LayerSaverScreen::present(const QRegion& changed) {
    if (unloading_) return;
    const auto& s = session_->surfaces();
    const QPoint own = own_part();
    const PresentedPicture picture{&s.ascreen, QPoint(s.ascreen_left, s.ascreen_top) - own,
                                   overlay_.get()};
    // The boxes are subsurfaces of their own: the picture goes everywhere it changed.
    surface_->present(picture, changed.translated(-own));
    if (surface_->awaiting_frame() && !unseen_timer_.isActive())
        unseen_timer_.start(kUnseenAfterMs);
    if (present_observer_ && !changed.isEmpty()) present_observer_(changed);
}

void LayerSaverScreen::schedule_frame(int64_t delay_ms) {
    if (unloading_) return;
    if (schedule_observer_) schedule_observer_(delay_ms);
    const int64_t delay = delay_ms < 0 ? 0 : (delay_ms > INT32_MAX ? INT32_MAX : delay_ms);
    frame_timer_.start(static_cast<int>(delay));
}

void LayerSaverScreen::key_press() {
    if (!unloading_) session_->key_press();
}
void LayerSaverScreen::mouse_down() {
    if (!unloading_) session_->mouse_down();
}
void LayerSaverScreen::mouse_move() {
    if (!unloading_) session_->mouse_move();
}

void LayerSaverScreen::request_stop() {
    if (unloading_) return;
    // While the run is being set up or its loop runs, the session ends it and unloads.
    if (!session_->request_stop()) finish();
}

void LayerSaverScreen::unload() {
    if (unloading_) return;
    if (!recipe_.screenshot.empty() && !scene_picture().empty() &&
        !write_screenshot_file(wrap(scene_picture()), recipe_.screenshot))
        screenshot_failed_ = true;
    finish();
}

void LayerSaverScreen::finish() {
    unloading_ = true;
    frame_timer_.stop();
    unseen_timer_.stop();
    if (ended_) return;
    ended_ = true;
    emit ended();
}

}  // namespace vistaloom
