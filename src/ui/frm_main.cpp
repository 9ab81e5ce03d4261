#include "ui/frm_main.h"

#include "ui/screenshot_file.h"

#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "pixels/surface.h"
#include "platform/huge_page_store.h"
#include "ui/direct_presentation.h"
#include "saver/saver_session.h"
#include "startup/startup.h"

namespace vistaloom {

namespace {

// Arial where it is installed; otherwise whatever sans-serif face fontconfig picks for it.
QFont box_font(qreal point_size) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(point_size);
    font.setBold(true);
    return font;
}

QLabel* make_box(QWidget* parent, const QString& text, qreal point_size) {
    auto* box = new QLabel(text, parent);
    box->setFont(box_font(point_size));
    box->setAlignment(Qt::AlignCenter);
    box->setAutoFillBackground(true);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, QColor(0xE0, 0xE0, 0xE0));
    box->setPalette(palette);
    // Clicks on a box end the run like clicks anywhere else.
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    box->hide();
    return box;
}

// Qt's raster engine hands a large image copy to its thread pool in segments and waits for
// them. Bands of this size are copied on the calling thread.
constexpr int kPixelsPerBand = 8 * 1024;

QImage wrap(const Surface& surface) {
    // No copy: the image reads the session's pixels in place, which is why it is rebuilt
    // for every paint rather than kept across a possible reallocation.
    return QImage(reinterpret_cast<const uchar*>(surface.pixels.data()), surface.width,
                  surface.height, static_cast<qsizetype>(surface.stride) * 4, QImage::Format_RGB32);
}

}  // namespace

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

    time_box_ = make_box(this, QStringLiteral("Time"), 9.0);
    info_box_ = make_box(this, QStringLiteral("Info Box"), 8.25);
    time_box_->setFixedSize(
        time_box_->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00 PM")) + 12,
        time_box_->fontMetrics().height() + 6);
    info_box_->resize(width(), info_box_->fontMetrics().height() + 6);

    // The direct path sends scene pixels and draws the text boxes one to one; on a scaled
    // screen the toolkit's path maps the boxes' logical places onto device pixels instead.
    if (device_ratio() == 1.0) direct_ = DirectPresentation::create(*this);
}

const char* FrmMain::presentation_name() const {
    return direct_ ? direct_->name() : "qt";
}

QPaintEngine* FrmMain::paintEngine() const {
    return direct_ ? nullptr : QWidget::paintEngine();
}

void FrmMain::show_box(QLabel* box, bool shown) {
    if (direct_) {
        (box == time_box_ ? time_box_shown_ : info_box_shown_) = shown;
        refresh_boxes();
    } else {
        box->setVisible(shown);
    }
}

void FrmMain::refresh_boxes() {
    if (!direct_) return;
    direct_->set_box(0, *time_box_, time_box_shown_);
    direct_->set_box(1, *info_box_, info_box_shown_);
    // Shown now, not with the next frame: with no sprites there may never be one that
    // presents anything.
    if (const Surface* screen = ascreen()) direct_->present(*screen, ascreen_origin(), {});
}

FrmMain::~FrmMain() = default;

void FrmMain::attach(SaverSession& session) {
    session_ = &session;
    frame_timer_.setSingleShot(true);
    // The frame rule is met to the millisecond; a coarse timer would slip by up to 5%.
    frame_timer_.setTimerType(Qt::PreciseTimer);
    connect(&frame_timer_, &QTimer::timeout, this, [this] {
        if (!session_ || unloading_) return;
        if (direct_) direct_->wait_idle();
        session_->frame();
    });
    if (direct_) direct_->adopt(session.surfaces().ascreen);
    work_store_ = std::make_unique<HugePageStore>();
    main_store_ = std::make_unique<HugePageStore>();
    session.surfaces().work.pixels.use_store(work_store_.get());
    session.surfaces().main.pixels.use_store(main_store_.get());
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

// Outward, so that every device pixel of `logical` is inside the result.
QRect FrmMain::to_device(const QRect& logical) const {
    const qreal r = device_ratio();
    return QRect(QPoint(static_cast<int>(std::floor(logical.left() * r)),
                        static_cast<int>(std::floor(logical.top() * r))),
                 QPoint(static_cast<int>(std::ceil((logical.right() + 1) * r)) - 1,
                        static_cast<int>(std::ceil((logical.bottom() + 1) * r)) - 1));
}

// Outward too: a repaint must cover every device pixel that changed.
QRect FrmMain::to_logical(const QRect& device) const {
    const qreal r = device_ratio();
    return QRect(QPoint(static_cast<int>(std::floor(device.left() / r)),
                        static_cast<int>(std::floor(device.top() / r))),
                 QPoint(static_cast<int>(std::ceil((device.right() + 1) / r)) - 1,
                        static_cast<int>(std::ceil((device.bottom() + 1) / r)) - 1));
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

BoxSize FrmMain::time_box_size() {
    const QRect box = to_device(QRect(QPoint(0, 0), time_box_->size()));
    return {box.width(), box.height()};
}

void FrmMain::move_time_box(int32_t left, int32_t top) {
    time_box_->move(to_logical(left), to_logical(top));
    refresh_boxes();
}

void FrmMain::set_time_box_visible(bool visible) {
    show_box(time_box_, visible);
}

void FrmMain::set_time_box_text(const std::string& text) {
    time_box_->setText(QString::fromStdString(text));
    refresh_boxes();
}

BoxSize FrmMain::info_box_size() {
    const QRect box = to_device(QRect(QPoint(0, 0), info_box_->size()));
    return {box.width(), box.height()};
}

void FrmMain::move_info_box(int32_t left, int32_t top, int32_t width, int32_t height) {
    info_box_->setGeometry(to_logical(QRect(left, top, width, height)));
    refresh_boxes();
}

void FrmMain::set_info_box_text(const std::string& text) {
    info_box_->setText(QString::fromStdString(text));
    refresh_boxes();
}

void FrmMain::show_info_box() {
    show_box(info_box_, true);
    info_box_->raise();
}

void FrmMain::make_topmost() {
    if (options_.config_preview || options_.placement == FrmMainOptions::Placement::Embedded)
        return;
    raise();
}

void FrmMain::repaint(const std::vector<Rect>& rects) {
    const QPoint origin = ascreen_origin();
    if (direct_) {
        if (const Surface* screen = ascreen()) direct_->present(*screen, origin, rects);
        return;
    }
    QRegion dirty;
    for (const Rect& r : rects) {
        if (r.w > 0 && r.h > 0)
            dirty += to_logical(QRect(origin.x() + r.x, origin.y() + r.y, r.w, r.h));
    }
    // Painted at once rather than posted: the frame is finished now, and the frame wait
    // that follows should not be woken again by a deferred repaint.
    if (!dirty.isEmpty()) QWidget::repaint(dirty);
}

void FrmMain::repaint_all() {
    const Surface* screen = ascreen();
    if (!screen) return;
    const QPoint origin = ascreen_origin();
    if (direct_) {
        direct_->present(*screen, origin, {{0, 0, screen->width, screen->height}});
        return;
    }
    QWidget::repaint(to_logical(QRect(origin, QSize(screen->width, screen->height))));
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
    // Asked for on the command line, so a failure (disk full, folder gone) is said there.
    write_screenshot_file(wrap(*screen), options_.screenshot);
}

// --- painting --------------------------------------------------------------------------------

const Surface* FrmMain::ascreen() const {
    if (!session_) return nullptr;
    return &session_->surfaces().ascreen;
}

QPoint FrmMain::ascreen_origin() const {
    if (!session_) return {};
    const auto& surfaces = session_->surfaces();
    QPoint origin(surfaces.ascreen_left, surfaces.ascreen_top);
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
    const Surface* screen = ascreen();
    if (direct_) {
        direct_->expose(screen, ascreen_origin(), event->region());
        return;
    }
    QPainter painter(this);
    QRect area;  // device pixels
    if (screen && !screen->empty())
        area = QRect(ascreen_origin(), QSize(screen->width, screen->height));
    const QRegion logical_area(area.isEmpty() ? QRect() : to_logical(area));
    for (const QRect& r : event->region() - logical_area) painter.fillRect(r, Qt::black);
    if (area.isEmpty()) return;
    // Drawn at the window's own ratio, one scene pixel to one device pixel: sharp on a 200%
    // screen, where a picture of device-independent size would be blown up.
    const qreal ratio = device_ratio();
    QImage image = wrap(*screen);
    image.setDevicePixelRatio(ratio);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& logical : event->region() & logical_area) {
        const QRect r = to_device(logical) & area;
        // For a few sprite-sized rectangles per frame, handing parts of the copy to other
        // threads and waiting for them costs more than the copy itself.
        const int rows = std::max(1, kPixelsPerBand / std::max(1, r.width()));
        for (int y = r.top(); y <= r.bottom(); y += rows) {
            const QRect band(r.left(), y, r.width(), std::min(rows, r.bottom() + 1 - y));
            painter.drawImage(QPointF(band.topLeft()) / ratio, image,
                              QRectF(band.translated(-area.topLeft())));
        }
    }
}

void FrmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (options_.placement == FrmMainOptions::Placement::Embedded && activated_)
        place_boxes_for_new_size();
}

void FrmMain::place_boxes_for_new_size() {
    time_box_->move(width() / 2 - time_box_->width() / 2, 0);
    info_box_->setGeometry(0, height() - info_box_->height(), width(), info_box_->height());
    refresh_boxes();
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
