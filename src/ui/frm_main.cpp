#include "ui/frm_main.h"

#include "ui/screenshot_file.h"

#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "pixels/surface.h"
#include "platform/box_overlay.h"
#include "platform/device_pixels.h"
#include "platform/huge_page_store.h"
#include "platform/presenter_table.h"
#include "platform/surface_image.h"
#include "saver/saver_session.h"
#include "startup/startup.h"

namespace vistaloom {

FrmMain::FrmMain(FrmMainOptions options, QWidget* parent)
    : QWidget(parent), options_(std::move(options)) {
    setWindowTitle(QString::fromLatin1(kSaverWindowTitle));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);

    Qt::WindowFlags flags = Qt::Window;
    if (options_.placement == FrmMainOptions::Placement::FullScreen) {
        flags |= Qt::FramelessWindowHint;
        if (!options_.config_preview) flags |= Qt::WindowStaysOnTopHint;
    } else if (options_.placement == FrmMainOptions::Placement::Embedded) {
        flags |= Qt::FramelessWindowHint;
    }
    setWindowFlags(flags);

    QScreen* screen = options_.screen;
    if (!screen) screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (screen && options_.placement == FrmMainOptions::Placement::FullScreen) setScreen(screen);
    if (options_.placement == FrmMainOptions::Placement::Windowed) {
        resize(options_.windowed_size);
    } else if (screen) {
        setGeometry(screen->geometry());
    }

    overlay_ = std::make_unique<BoxOverlay>(*this);
    presenter_ = start_presenter(*this, options_.picture_in_memory);
}

const char* FrmMain::presentation_name() const {
    return presenter_->name();
}

QPaintEngine* FrmMain::paintEngine() const {
    // A presenter that draws the window itself leaves the toolkit nothing to paint with.
    if (presenter_ && !presenter_->toolkit_paints()) return nullptr;
    return QWidget::paintEngine();
}

FrmMain::~FrmMain() = default;

void FrmMain::attach(SaverSession& session) {
    session_ = &session;
    frame_timer_.setSingleShot(true);
    // The frame rule is met to the millisecond; a coarse timer would slip by up to 5%.
    frame_timer_.setTimerType(Qt::PreciseTimer);
    connect(&frame_timer_, &QTimer::timeout, this, [this] {
        if (!session_ || unloading_) return;
        presenter_->wait_idle();
        const int64_t next = session_->step();
        if (next != SaverSession::kNoFrame) schedule_frame(next);
    });
    // After the step, whatever it was.
    connect(&frame_timer_, &QTimer::timeout, this, &FrmMain::send_boxes_left_over);
    if (PixelStore* store = presenter_->picture_store())
        session.surfaces().ascreen.pixels.use_store(store);
    // A presenter that composes needs no frame built in our memory, nor its background. One
    // that shows our picture has the frames built straight in it: whatever a frame writes
    // there it also sends, so no `work` to build them in and copy from.
    session.surfaces().composed_elsewhere = presenter_->composes();
    session.surfaces().composed_in_ascreen = !presenter_->composes();
    if (!presenter_->composes()) {
        main_store_ = std::make_unique<HugePageStore>();
        session.surfaces().main.pixels.use_store(main_store_.get());
    }
    session_->Form_Load();
}

// --- showing and the one-time activation -------------------------------------------------

void FrmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!last_mouse_) last_mouse_ = QCursor::pos();
    if (activation_queued_ || !session_) return;
    activation_queued_ = true;
    // Queued so the window is mapped and has its final size before the set-up measures it.
    QMetaObject::invokeMethod(this, &FrmMain::run_activation, Qt::QueuedConnection);
}

void FrmMain::run_activation() {
    if (activated_ || unloading_ || !session_) return;
    activated_ = true;
    if (options_.placement != FrmMainOptions::Placement::Embedded) {
        activateWindow();
        setFocus(Qt::ActiveWindowFocusReason);
    }
    setup_size_ = device_size();
    session_->Form_Activate();
}

void FrmMain::closeEvent(QCloseEvent* event) {
    if (unloading_ || !session_) {
        event->accept();
        emit unloaded();
        return;
    }
    // While the run is being set up or the loop runs, the session ends the run itself and
    // then unloads the window; only a window that never started may close at once.
    if (session_->Form_QueryUnload()) {
        event->ignore();
        return;
    }
    unloading_ = true;
    event->accept();
    emit unloaded();
}

void FrmMain::request_stop() {
    if (unloading_) return;
    if (!session_ || !session_->request_stop()) {
        unloading_ = true;
        close();
    }
}

// --- host operations -----------------------------------------------------------------------

int32_t FrmMain::inner_width_px() {
    return device_size().width();
}
int32_t FrmMain::inner_height_px() {
    return device_size().height();
}

QSize FrmMain::device_size() const {
    return QSize(static_cast<int>(std::lround(width() * device_ratio())),
                 static_cast<int>(std::lround(height() * device_ratio())));
}

qreal FrmMain::device_ratio() const {
    const qreal ratio = devicePixelRatioF();
    return ratio > 0 ? ratio : 1.0;
}

int FrmMain::to_logical(int device) const {
    return static_cast<int>(std::lround(device / device_ratio()));
}

SaverWindowHost::SceneArea FrmMain::scene_area_px() {
    if (options_.span) return *options_.span;
    return {inner_width_px(), inner_height_px(), 0, 0};
}

bool FrmMain::is_maximised() {
    // A trial window and an embedded one keep the size they were given.
    if (options_.placement != FrmMainOptions::Placement::FullScreen) return true;
    return isFullScreen() || isMaximized();
}

void FrmMain::maximise() {
    if (options_.placement != FrmMainOptions::Placement::FullScreen) return;
    showFullScreen();
}

// The boxes change here, but reach the screen with the next frame the presenter sends.
BoxSize FrmMain::time_box_size() {
    const QSize size =
        device_from_logical(QRect(QPoint(0, 0), overlay_->geometry(BoxOverlay::Time).size()),
                            device_ratio())
            .size();
    return {size.width(), size.height()};
}

void FrmMain::move_time_box(int32_t left, int32_t top) {
    const QSize size = overlay_->geometry(BoxOverlay::Time).size();
    overlay_->set_geometry(BoxOverlay::Time,
                           QRect(QPoint(to_logical(left), to_logical(top)), size));
}

void FrmMain::set_time_box_visible(bool visible) {
    overlay_->set_shown(BoxOverlay::Time, visible);
}

void FrmMain::set_time_box_text(const std::string& text) {
    overlay_->set_text(BoxOverlay::Time, QString::fromStdString(text));
}

BoxSize FrmMain::info_box_size() {
    const QSize size =
        device_from_logical(QRect(QPoint(0, 0), overlay_->geometry(BoxOverlay::Info).size()),
                            device_ratio())
            .size();
    return {size.width(), size.height()};
}

void FrmMain::move_info_box(int32_t left, int32_t top, int32_t width, int32_t height) {
    overlay_->set_geometry(BoxOverlay::Info,
                           logical_from_device(QRect(left, top, width, height), device_ratio()));
}

void FrmMain::set_info_box_text(const std::string& text) {
    overlay_->set_text(BoxOverlay::Info, QString::fromStdString(text));
}

// The information line is drawn after the clock, so it is the one in front.
void FrmMain::show_info_box() {
    overlay_->set_shown(BoxOverlay::Info, true);
}

void FrmMain::make_topmost() {
    if (options_.config_preview || options_.placement == FrmMainOptions::Placement::Embedded)
        return;
    raise();
}

// Painted into one small band and sent band by band: at a large screen, getting the memory
// of a whole-screen picture takes longer than painting and sending it does.
void FrmMain::show_start_picture(const StartPicture& start) {
    if (presenter_->toolkit_paints() || start.width <= 0 || start.height <= 0) return;
    constexpr int32_t kBandPixels = 1 << 18;
    const int32_t rows = std::max(1, kBandPixels / start.width);
    const QPoint origin = ascreen_origin();
    const QRect window(QPoint(0, 0), device_size());
    Surface band;
    for (int32_t top = 0; top < start.height; top += rows) {
        const QRect place(origin.x(), origin.y() + top, start.width,
                          std::min(rows, start.height - top));
        const QRegion shown = QRegion(place) & window;
        if (shown.isEmpty()) continue;
        band.resize(place.width(), place.height());
        start.paint_rows(band, top);
        presenter_->present(PresentedPicture{&band, place.topLeft()}, shown);
    }
    if (start_observer_) start_observer_();
}

void FrmMain::repaint(const std::vector<Rect>& rects) {
    if (!ascreen()) return;
    const QPoint origin = ascreen_origin();
    // One region, so overlapping rectangles go once.
    QRegion changed;
    for (const Rect& r : rects)
        if (r.w > 0 && r.h > 0) changed += QRect(origin.x() + r.x, origin.y() + r.y, r.w, r.h);
    present(changed);
}

void FrmMain::repaint_all() {
    const Surface* screen = ascreen();
    if (!screen) return;
    present(QRegion(QRect(ascreen_origin(), QSize(screen->width, screen->height))));
}

void FrmMain::present(const QRegion& changed) {
    // Part of a larger scene: only what falls on this window is sent here; the other
    // screens are told the rest.
    const QRegion own = options_.span ? changed & QRect(QPoint(0, 0), device_size()) : changed;
    presenter_->present(picture(), overlay_->take_frame_region(own));
    boxes_waited_ = false;
    if (present_observer_ && !changed.isEmpty()) {
        const QPoint shift =
            options_.span ? QPoint(options_.span->left, options_.span->top) : QPoint();
        present_observer_(changed.translated(shift));
    }
}

// A box that changed after the frame was sent (the clock, which the session sets last)
// goes with the next frame. Only when that frame sends nothing does it go on its own, so a
// frame is always sent once.
void FrmMain::send_boxes_left_over() {
    if (unloading_ || !ascreen()) return;
    if (boxes_waited_ && overlay_->changed()) present(QRegion());
    boxes_waited_ = overlay_->changed();
}

void FrmMain::read_back_picture() {
    if (session_) presenter_->read_back(picture());
}

void FrmMain::schedule_frame(int64_t delay_ms) {
    if (unloading_) return;
    if (schedule_observer_) schedule_observer_(delay_ms);
    const int64_t delay = delay_ms < 0 ? 0 : (delay_ms > INT32_MAX ? INT32_MAX : delay_ms);
    frame_timer_.start(static_cast<int>(delay));
}

void FrmMain::unload() {
    if (unloading_) return;
    frame_timer_.stop();
    write_screenshot();
    unloading_ = true;
    close();
}

int64_t FrmMain::window_handle() {
    return static_cast<int64_t>(winId());
}

void FrmMain::write_screenshot() {
    if (options_.screenshot.empty()) return;
    const Surface* screen = ascreen();
    if (!screen || screen->empty()) return;
    read_back_picture();
    // Asked for on the command line, so a failure (disk full, folder gone) is said there.
    if (!write_screenshot_file(wrap(*screen), options_.screenshot)) screenshot_failed_ = true;
}

// --- painting --------------------------------------------------------------------------------

const Surface* FrmMain::ascreen() const {
    if (!session_) return nullptr;
    return &session_->surfaces().ascreen;
}

PresentedPicture FrmMain::picture() const {
    return PresentedPicture{ascreen(), ascreen_origin(), overlay_.get(),
                            session_ ? &session_->surfaces() : nullptr};
}

QPoint FrmMain::scene_picture_origin() const {
    if (!session_) return {};
    const auto& surfaces = session_->surfaces();
    return QPoint(surfaces.ascreen_left, surfaces.ascreen_top);
}

QPoint FrmMain::ascreen_origin() const {
    if (!session_) return {};
    QPoint origin = scene_picture_origin();
    if (options_.span) origin -= QPoint(options_.span->left, options_.span->top);
    // A host window may change size during the run; the scene keeps its size and stays
    // centred.
    if (setup_size_.isValid() && options_.placement == FrmMainOptions::Placement::Embedded) {
        const QSize now = device_size();
        origin += QPoint((now.width() - setup_size_.width()) / 2,
                         (now.height() - setup_size_.height()) / 2);
    }
    return origin;
}

void FrmMain::paintEvent(QPaintEvent* event) {
    presenter_->paint(picture(), event->region());
}

void FrmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (options_.placement == FrmMainOptions::Placement::Embedded && activated_)
        place_boxes_for_new_size();
}

void FrmMain::place_boxes_for_new_size() {
    QRect time = overlay_->geometry(BoxOverlay::Time);
    time.moveTopLeft(QPoint(width() / 2 - time.width() / 2, 0));
    overlay_->set_geometry(BoxOverlay::Time, time);
    const int info_height = overlay_->geometry(BoxOverlay::Info).height();
    overlay_->set_geometry(BoxOverlay::Info,
                           QRect(0, height() - info_height, width(), info_height));
}

// --- input ---------------------------------------------------------------------------------

bool FrmMain::input_ignored() const {
    return !session_ || options_.placement == FrmMainOptions::Placement::Embedded;
}

void FrmMain::keyPressEvent(QKeyEvent* event) {
    event->accept();
    if (input_ignored()) return;
    session_->key_press();
}

void FrmMain::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (input_ignored()) return;
    session_->mouse_down();
}

void FrmMain::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    // X and Qt report a "move" when a window appears under a still pointer, or when the
    // pointer enters it; only a real change of position is movement.
    const QPoint position = event->globalPosition().toPoint();
    if (last_mouse_ && *last_mouse_ == position) return;
    last_mouse_ = position;
    if (input_ignored()) return;
    session_->mouse_move();
}

}  // namespace vistaloom
