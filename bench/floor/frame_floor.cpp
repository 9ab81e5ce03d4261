// The least a saver drawn through Qt on X11 can cost for frames of moved pictures: a
// precise timer at the frame rate and, at each tick, for each 320 x 240 picture, the column
// and the row it uncovered copied back from a background pixmap and the picture copied from
// a sheet pixmap to its new place on a full-screen window, all on the X server and sent in
// one flush. No scene, no clock, no music. bench/measure_saver.sh runs it (floor-1080p)
// beside the saver, so the saver's cost can be read against what any program of this kind
// pays.
//
//   frame_floor [PICTURES [FRAME_RATE]]      (default 4 pictures at 20 frames a second)
#include <xcb/xcb.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "saver/frame_pacing.h"

namespace {

class Floor : public QWidget {
  public:
    // Paced by the saver's own frame-rate rule (48 ms at 20), so both draw as many frames.
    Floor(int pictures, int rate)
        : pictures_(pictures), period_ms_(static_cast<int>(vistaloom::min_frame_ms(rate))) {
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
        // The pictures one under another: each in one run of the server's memory.
        xcb_create_pixmap(c_, 24, sheet_, window_, 320, 240 * 10);
        const xcb_rectangle_t all{0, 0, 320, 240 * 10};
        xcb_poly_fill_rectangle(c_, sheet_, gc_, 1, &all);
        background_ = xcb_generate_id(c_);
        xcb_create_pixmap(c_, 24, background_, window_, static_cast<uint16_t>(width()),
                          static_cast<uint16_t>(height()));
        const uint32_t dark = 0x00203040;
        xcb_change_gc(c_, gc_, XCB_GC_FOREGROUND, &dark);
        const xcb_rectangle_t screen{0, 0, static_cast<uint16_t>(width()),
                                     static_cast<uint16_t>(height())};
        xcb_poly_fill_rectangle(c_, background_, gc_, 1, &screen);
        xcb_copy_area(c_, background_, window_, gc_, 0, 0, 0, 0, screen.width, screen.height);
        for (int i = 0; i < pictures_; ++i) {
            at_.push_back(
                {(i * 200) % std::max(1, width() - 320), (i * 120) % std::max(1, height() - 240)});
            step_.push_back({4 + i, 3 - (i % 2) * 6});
        }
        xcb_flush(c_);
        timer_.start(0);
        return true;
    }

  protected:
    void paintEvent(QPaintEvent*) override {}

  private:
    struct Point {
        int x, y;
    };

    // The same paths as the Wayland floor's: each picture bounces off the edges.
    void frame() {
        for (size_t i = 0; i < at_.size(); ++i) {
            const Point old = at_[i];
            Point& d = step_[i];
            if (old.x + d.x < 0 || old.x + d.x + 320 > width()) d.x = -d.x;
            if (old.y + d.y < 0 || old.y + d.y + 240 > height()) d.y = -d.y;
            const Point moved{old.x + d.x, old.y + d.y};
            // What the picture uncovered: a column and a row beside its new place.
            restore(d.x > 0 ? old.x : moved.x + 320, old.y, std::abs(d.x), 240);
            restore(old.x, d.y > 0 ? old.y : moved.y + 240, 320, std::abs(d.y));
            xcb_copy_area(c_, sheet_, window_, gc_, 0, static_cast<int16_t>(i * 240),
                          static_cast<int16_t>(moved.x), static_cast<int16_t>(moved.y), 320, 240);
            at_[i] = moved;
        }
        xcb_flush(c_);
        timer_.start(period_ms_);
    }

    void restore(int x, int y, int w, int h) {
        xcb_copy_area(c_, background_, window_, gc_, static_cast<int16_t>(x),
                      static_cast<int16_t>(y), static_cast<int16_t>(x), static_cast<int16_t>(y),
                      static_cast<uint16_t>(w), static_cast<uint16_t>(h));
    }

    const int pictures_;
    const int period_ms_;
    QTimer timer_;
    xcb_connection_t* c_ = nullptr;
    uint32_t window_ = 0;
    uint32_t gc_ = 0;
    uint32_t sheet_ = 0;
    uint32_t background_ = 0;
    std::vector<Point> at_, step_;
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
