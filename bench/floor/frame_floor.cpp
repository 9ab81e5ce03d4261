// The least a saver drawn through Qt on X11 can cost for frames of moved pictures: a
// precise timer at the frame rate and, at each tick, one copy on the X server of each
// 320 x 240 picture from a pixmap onto a full-screen window, sent in one flush. No scene,
// no clock, no music. bench/measure_saver.sh runs it (floor-1080p) beside the saver, so the
// saver's cost can be read against what any program of this kind pays.
//
//   frame_floor [PICTURES [FRAME_RATE]]      (default 4 pictures at 20 frames a second)
#include <xcb/xcb.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdlib>

namespace {

class Floor : public QWidget {
  public:
    Floor(int pictures, int rate) : pictures_(pictures), period_ms_(std::max(1, 1000 / rate)) {
        setAttribute(Qt::WA_PaintOnScreen);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        connect(&timer_, &QTimer::timeout, this, [this] { frame(); });
    }
    QPaintEngine* paintEngine() const override { return nullptr; }

    bool start() {
        c_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(c_)) return false;
        window_ = static_cast<uint32_t>(winId());
        gc_ = xcb_generate_id(c_);
        const uint32_t values[] = {0x00336699, 0};
        xcb_create_gc(c_, gc_, window_, XCB_GC_FOREGROUND | XCB_GC_GRAPHICS_EXPOSURES, values);
        sheet_ = xcb_generate_id(c_);
        xcb_create_pixmap(c_, 24, sheet_, window_, 320 * 10, 240);
        const xcb_rectangle_t all{0, 0, 320 * 10, 240};
        xcb_poly_fill_rectangle(c_, sheet_, gc_, 1, &all);
        xcb_flush(c_);
        timer_.start(0);
        return true;
    }

  protected:
    void paintEvent(QPaintEvent*) override {}

  private:
    void frame() {
        ++tick_;
        for (int i = 0; i < pictures_; ++i) {
            const int x = (tick_ * 3 + i * 400) % std::max(1, width() - 320);
            const int y = (tick_ * 2 + i * 200) % std::max(1, height() - 240);
            xcb_copy_area(c_, sheet_, window_, gc_, static_cast<int16_t>(i * 320), 0,
                          static_cast<int16_t>(x), static_cast<int16_t>(y), 320, 240);
        }
        xcb_flush(c_);
        timer_.start(period_ms_);
    }

    const int pictures_;
    const int period_ms_;
    QTimer timer_;
    xcb_connection_t* c_ = nullptr;
    uint32_t window_ = 0;
    uint32_t gc_ = 0;
    uint32_t sheet_ = 0;
    int tick_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int pictures = argc > 1 ? std::clamp(std::atoi(argv[1]), 1, 10) : 4;
    const int rate = argc > 2 ? std::clamp(std::atoi(argv[2]), 1, 60) : 20;
    Floor floor(pictures, rate);
    floor.showFullScreen();
    if (!floor.start()) return 1;
    return app.exec();
}
