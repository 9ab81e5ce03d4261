// Every presenter that starts on this machine goes through the same cases: only the sent
// rectangles change on screen, a resized picture that fills the window is shown pixel for
// pixel, and the text boxes stay on top of the picture. A presenter that composes is handed
// the picture as painted anew each time. Offscreen only the toolkit's path starts;
// e2e/test_presenter_contract.sh runs this again under Xvfb for the X11 paths.
#include <xcb/xcb.h>

#include <QPaintEvent>
#include <QScreen>
#include <QWidget>
#include <QtTest>
#include <array>
#include <cstdlib>
#include <memory>
#include <random>

#include "platform/box_overlay.h"
#include "platform/presenter_table.h"
#include "platform/x11_connection.h"

using namespace vistaloom;

namespace {

// A window shown by one presenter, as the saver window is.
class Shown : public QWidget {
  public:
    Shown() {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        resize(64, 48);
        overlay = std::make_unique<BoxOverlay>(*this);
    }
    QPaintEngine* paintEngine() const override {
        return presenter && !presenter->toolkit_paints() ? nullptr : QWidget::paintEngine();
    }
    PresentedPicture picture() { return {&scene, origin, overlay.get(), &surfaces}; }
    void present(const QRegion& changed) {
        if (presenter->composes()) {
            surfaces.composed_elsewhere = true;
            mark_painted(surfaces, ScenePicture::Ascreen);
        }
        presenter->present(picture(), overlay->take_frame_region(changed));
    }
    // Our requests go on a connection of their own; a round trip has them done. Shared
    // memory is read when the server gets to a request, so a frame may change the picture
    // only after that (the saver window waits the same way before each frame).
    static void settle() {
        if (X11Connection* x11 = X11Connection::for_toolkit())
            std::free(
                xcb_get_input_focus_reply(x11->get(), xcb_get_input_focus(x11->get()), nullptr));
    }
    // What the window system shows now.
    QImage screen() {
        settle();
        return this->QWidget::screen()->grabWindow(winId()).toImage().convertToFormat(
            QImage::Format_RGB32);
    }

    std::unique_ptr<Presenter> presenter;
    std::unique_ptr<BoxOverlay> overlay;
    SceneSurfaces surfaces;
    Surface& scene = surfaces.ascreen;
    QPoint origin;

  protected:
    void paintEvent(QPaintEvent* event) override { presenter->paint(picture(), event->region()); }
};

uint32_t at(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

// Lays a background on `s` as a scene change does: painted on the shown picture, then
// taken whole by the clean background and the frame.
void lay_background(SceneSurfaces& s, uint32_t seed) {
    s.ascreen.resize(64, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            s.ascreen.at(x, y) = (seed * 0x10101u + x * 0x30000u + y * 5) & 0xFFFFFF;
    mark_painted(s, ScenePicture::Ascreen);
    size_scene_picture(s, s.main, 64, 48);
    scene_blit(s, s.main, 0, 0, s.ascreen, 0, 0, 64, 48);
    size_scene_picture(s, s.work, 64, 48);
    scene_blit(s, s.work, 0, 0, s.ascreen, 0, 0, 64, 48);
}

// Three 16 x 16 pictures wandering over the scene as the frame passes move them: each
// frame erases where they were, draws them where they are and copies both places on to
// the shown picture; one that leaves is erased without being copied on, a remnant.
struct Wanderers {
    struct One {
        int x = 0, y = 0, cell = 0;
        bool drawn = false;
        bool live = true;
    };
    std::array<One, 3> ones{};
    std::mt19937 random{7};

    // The frame for `s`, with the moves given; the rectangles copied on, in scene pixels.
    QRegion frame(SceneSurfaces& s, const std::array<QPoint, 3>& moves,
                  const std::array<bool, 3>& live) {
        std::array<One, 3> before = ones;
        for (One& o : ones)
            if (o.drawn) scene_blit(s, s.work, o.x, o.y, s.main, o.x, o.y, 16, 16);
        QRegion shown;
        for (size_t i = 0; i < ones.size(); ++i) {
            One& o = ones[i];
            o.x += moves[i].x();
            o.y += moves[i].y();
            o.live = live[i];
            if (!o.live) continue;
            scene_blit(s, s.work, o.x, o.y, s.sprite, o.cell * 16, 0, 16, 16);
        }
        for (size_t i = 0; i < ones.size(); ++i) {
            One& o = ones[i];
            if (o.live) {
                const QRect both =
                    QRect(o.x, o.y, 17, 17) | QRect(before[i].x, before[i].y, 17, 17);
                const Rect copied = scene_blit(s, s.ascreen, both.x(), both.y(), s.work, both.x(),
                                               both.y(), both.width(), both.height());
                if (copied.w > 0 && copied.h > 0)
                    shown += QRect(copied.x, copied.y, copied.w, copied.h);
            }
            o.drawn = o.live;
        }
        return shown;
    }
};

}  // namespace

class PresenterContractTest : public QObject {
    Q_OBJECT
  private:
    // Runs `check` once for every presenter that starts on a fresh window.
    template <typename Check>
    void for_each_presenter(Check check) {
        QStringList started;
        for (const PresenterRow& row : presenter_rows()) {
            auto window = std::make_unique<Shown>();
            if (!row.applies(*window)) continue;
            window->presenter = row.make();
            if (!window->presenter->start(*window)) continue;
            if (PixelStore* store = window->presenter->picture_store())
                window->scene.pixels.use_store(store);
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
            // The window system's first exposes repaint everything; they must be over
            // before a case can tell what a present changed.
            QTest::qWait(100);
            started << QString::fromLatin1(row.name);
            check(*window, QString::fromLatin1(row.name));
            if (QTest::currentTestFailed()) return;
        }
        // The machine's display decides which paths can start; the script names those it must.
        const QStringList expected =
            qEnvironmentVariable("VISTALOOM_EXPECT_PRESENTERS").split(' ', Qt::SkipEmptyParts);
        for (const QString& name : expected)
            QVERIFY2(started.contains(name), qPrintable(name + " did not start"));
        QVERIFY(started.contains(QStringLiteral("qt")));
    }

  private slots:
    void only_the_sent_rectangles_change() {
        for_each_presenter([](Shown& w, const QString& name) {
            w.scene.resize(20, 10, 0x00123456);
            w.origin = QPoint(7, 5);
            w.present(QRegion(w.rect()));
            Shown::settle();
            w.scene.at(1, 1) = 0x00FF0000;
            w.scene.at(15, 2) = 0x0000FF00;
            w.scene.at(10, 8) = 0x000000FF;  // changed but not sent
            w.present(QRegion(QRect(w.origin + QPoint(0, 0), QSize(3, 3))) +
                      QRect(w.origin + QPoint(14, 1), QSize(3, 3)));
            const QImage shot = w.screen();
            QVERIFY2(at(shot, 8, 6) == 0xFF0000u, qPrintable(name));
            QVERIFY2(at(shot, 22, 7) == 0x00FF00u, qPrintable(name));
            QVERIFY2(at(shot, 17, 13) == 0x123456u, qPrintable(name));
            QVERIFY2(at(shot, 6, 5) == 0u && at(shot, 63, 47) == 0u, qPrintable(name));
        });
    }

    void a_resized_picture_that_fills_the_window_is_shown_exactly() {
        for_each_presenter([](Shown& w, const QString& name) {
            w.scene.resize(8, 8, 0);
            w.present(QRegion(w.rect()));
            w.resize(80, 60);
            QTRY_COMPARE(w.size(), QSize(80, 60));
            w.origin = QPoint();
            w.scene.resize(80, 60, 0);
            for (int y = 0; y < 60; ++y)
                for (int x = 0; x < 80; ++x) w.scene.at(x, y) = uint32_t(x * 3) << 16 | y * 4;
            w.present(QRegion(w.rect()));
            QTRY_VERIFY2(w.screen().size() == QSize(80, 60), qPrintable(name));
            // The resize goes on the toolkit's connection and the frame may go on the
            // presenter's own, so the server can clip the frame to the old size; the part
            // the resize uncovered is exposed and painted from the picture soon after.
            const auto first_difference = [&w, &name] {
                const QImage shot = w.screen();
                for (int y = 0; y < 60; ++y)
                    for (int x = 0; x < 80; ++x)
                        if (at(shot, x, y) != w.scene.at(x, y))
                            return QString("%1: (%2,%3)").arg(name).arg(x).arg(y);
                return QString();
            };
            QString differs;
            QTRY_VERIFY2((differs = first_difference()).isEmpty(), qPrintable(differs));
        });
    }

    // A composing presenter builds the frame from the listed copies between its own copies of
    // the pictures, shows it, and gives it back exactly for a picture made of it.
    void listed_copies_make_the_frame_and_read_back() {
        for_each_presenter([](Shown& w, const QString& name) {
            if (!w.presenter->composes()) return;
            SceneSurfaces& s = w.surfaces;
            w.scene.resize(64, 48, 0x00102030);
            s.sprite.resize(16, 16);
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) s.sprite.at(x, y) = uint32_t(x * 16) << 8 | y * 16;
            w.present(QRegion(w.rect()));
            mark_painted(s, ScenePicture::Sheet);
            size_scene_picture(s, s.work, 64, 48);
            scene_blit(s, s.work, 0, 0, s.ascreen, 0, 0, 64, 48);
            scene_blit(s, s.work, 60, -4, s.sprite, 0, 0, 16, 16);  // clipped at two edges
            scene_blit(s, s.ascreen, 56, 0, s.work, 56, 0, 8, 12);
            w.presenter->present(w.picture(), QRegion(QRect(56, 0, 8, 12)));
            QVERIFY2(s.draws.empty(), qPrintable(name));
            const QImage shot = w.screen();
            QVERIFY2(at(shot, 60, 0) == s.sprite.at(0, 4), qPrintable(name));
            QVERIFY2(at(shot, 63, 11) == s.sprite.at(3, 15), qPrintable(name));
            QVERIFY2(at(shot, 59, 0) == 0x102030u, qPrintable(name));
            w.presenter->read_back(w.picture());
            QVERIFY2(w.scene.at(63, 11) == s.sprite.at(3, 15), qPrintable(name));
            QVERIFY2(w.scene.at(60, 12) == 0x102030u, qPrintable(name));

            // A change to the frame that is not shown (a sprite leaving) stays off the screen
            // and out of the picture read back, until it is copied on.
            scene_blit(s, s.work, 0, 0, s.sprite, 0, 0, 4, 4);
            w.presenter->present(w.picture(), QRegion(QRect(0, 0, 8, 8)));
            QVERIFY2(at(w.screen(), 1, 1) == 0x102030u, qPrintable(name));
            w.presenter->read_back(w.picture());
            QVERIFY2(w.scene.at(1, 1) == 0x102030u, qPrintable(name));
            scene_blit(s, s.ascreen, 0, 0, s.work, 0, 0, 4, 4);
            w.presenter->present(w.picture(), QRegion(QRect(0, 0, 8, 8)));
            QVERIFY2(at(w.screen(), 1, 1) == s.sprite.at(1, 1), qPrintable(name));
            QVERIFY2(at(w.screen(), 62, 5) == s.sprite.at(2, 9), qPrintable(name));
        });
    }

    // Frames of moved pictures alone may go straight onto the window, with the frame built
    // only where it is read again. Whatever the mix of such frames, remnants, boxes coming
    // and going, exposes and a new background, the window shows exactly the picture the
    // same steps make in our memory, and the picture read back is that picture.
    void frames_drawn_on_the_window_are_the_frames_composed_here() {
        for_each_presenter([](Shown& w, const QString& name) {
            if (!w.presenter->composes()) return;
            w.resize(80, 60);
            QTRY_COMPARE(w.size(), QSize(80, 60));
            Shown::settle();
            w.origin = QPoint(6, 4);
            SceneSurfaces& s = w.surfaces;
            s.composed_elsewhere = true;
            SceneSurfaces here;
            for (SceneSurfaces* t : {&s, &here}) {
                t->sprite.resize(48, 16);
                for (int y = 0; y < 16; ++y)
                    for (int x = 0; x < 48; ++x)
                        t->sprite.at(x, y) =
                            uint32_t(x * 5 + 9) << 16 | uint32_t(y * 15) << 8 | 0x80;
                mark_painted(*t, ScenePicture::Sheet);
                lay_background(*t, 1);
            }
            Wanderers on_window, in_memory;
            for (Wanderers* o : {&on_window, &in_memory})
                for (int i = 0; i < 3; ++i) o->ones[i] = {8 + i * 18, 6 + i * 9, i};
            w.presenter->present(w.picture(), QRegion(w.rect()));
            std::mt19937 random(11);
            const auto shows_the_frame = [&](int frame) {
                const QImage shot = w.screen();
                const QRegion boxes = w.overlay->covered();
                const QRect place = w.overlay->device_rect(BoxOverlay::Time);
                for (int y = 0; y < 60; ++y)
                    for (int x = 0; x < 80; ++x) {
                        const QPoint p(x, y), q = p - w.origin;
                        uint32_t want = 0;
                        if (boxes.contains(p))
                            want = at(w.overlay->image(BoxOverlay::Time), x - place.x(),
                                      y - place.y());
                        else if (QRect(0, 0, 64, 48).contains(q))
                            want = here.ascreen.at(q.x(), q.y());
                        if (at(shot, x, y) != want)
                            return QString("%1, frame %2: (%3,%4) is %5, not %6")
                                .arg(name)
                                .arg(frame)
                                .arg(x)
                                .arg(y)
                                .arg(at(shot, x, y), 6, 16, QChar('0'))
                                .arg(want, 6, 16, QChar('0'));
                    }
                return QString();
            };
            for (int frame = 0; frame < 60; ++frame) {
                std::array<QPoint, 3> moves{};
                std::array<bool, 3> live{};
                for (size_t i = 0; i < 3; ++i) {
                    moves[i] = QPoint(int(random() % 9) - 4, int(random() % 7) - 3);
                    // One leaves for a few frames, part of it still in view; its remnant
                    // stays until the next background.
                    live[i] = !(frame >= 20 + 30 * int(i) && frame < 23 + 30 * int(i));
                }
                if (frame == 30)
                    for (SceneSurfaces* t : {&s, &here}) lay_background(*t, 2);
                if (frame % 9 == 4) {
                    const bool shown = !w.overlay->shown(BoxOverlay::Time);
                    w.overlay->set_geometry(BoxOverlay::Time, QRect(10 + frame % 20, 8, 26, 11));
                    w.overlay->set_text(BoxOverlay::Time, QString::number(frame));
                    w.overlay->set_shown(BoxOverlay::Time, shown);
                }
                const QRegion changed = on_window.frame(s, moves, live);
                const QRegion same = in_memory.frame(here, moves, live);
                QCOMPARE(changed, same);
                const QRegion region =
                    (frame == 30 ? QRegion(0, 0, 64, 48) : changed).translated(w.origin);
                w.presenter->present(w.picture(), w.overlay->take_frame_region(region));
                if (frame % 7 == 3) {
                    // An expose: the toolkit asks for the whole window again.
                    w.presenter->paint(w.picture(), QRegion(0, 0, 80, 60));
                }
                QString differs;
                QVERIFY2((differs = shows_the_frame(frame)).isEmpty(), qPrintable(differs));
            }
            w.presenter->read_back(w.picture());
            for (int y = 0; y < 48; ++y)
                for (int x = 0; x < 64; ++x)
                    QVERIFY2(s.ascreen.at(x, y) == here.ascreen.at(x, y),
                             qPrintable(QString("%1: read back (%2,%3)").arg(name).arg(x).arg(y)));
        });
    }

    // Other screens draw their part of a mirrored or spanned scene from our memory, so its
    // window never gets a path that composes on the display server.
    void a_picture_other_screens_show_stays_in_our_memory() {
        Shown window;
        const std::unique_ptr<Presenter> any = start_presenter(window);
        const std::unique_ptr<Presenter> in_memory = start_presenter(window, true);
        QVERIFY(any && in_memory);
        QVERIFY(!in_memory->composes());
        // Where the server would compose, the next best path: shared memory.
        if (any->composes()) QCOMPARE(in_memory->name(), "shm");
    }

    // The start picture goes up band by band before the scene has any picture of its own: a
    // presenter that paints by itself shows each band at its place, composing or not.
    void bands_sent_before_the_scene_exists_land_at_their_place() {
        for_each_presenter([](Shown& w, const QString& name) {
            if (w.presenter->toolkit_paints()) return;
            const QPoint origin(5, 4);
            const auto pixel = [](int x, int y) { return uint32_t(x * 5) << 16 | uint32_t(y * 6); };
            for (int top = 0; top < 37; top += 8) {
                Surface band(50, std::min(8, 37 - top));
                for (int y = 0; y < band.height; ++y)
                    for (int x = 0; x < band.width; ++x) band.at(x, y) = pixel(x, top + y);
                const QRect place(origin + QPoint(0, top), QSize(band.width, band.height));
                w.presenter->present(PresentedPicture{&band, place.topLeft()}, QRegion(place));
            }
            const QImage shot = w.screen();
            for (int y = 0; y < 37; ++y)
                for (int x = 0; x < 50; ++x)
                    QVERIFY2(at(shot, origin.x() + x, origin.y() + y) == pixel(x, y),
                             qPrintable(QString("%1: (%2,%3)").arg(name).arg(x).arg(y)));
        });
    }

    // A box changes on screen with the frame that is sent next, stays on top of the picture
    // sent under it, and gives the picture back when it goes.
    void boxes_ride_the_next_frame_and_stay_on_top() {
        for_each_presenter([](Shown& w, const QString& name) {
            w.scene.resize(64, 48, 0x00406080);
            w.present(QRegion(w.rect()));
            w.overlay->set_geometry(BoxOverlay::Time, QRect(0, 0, 30, 12));
            w.overlay->set_text(BoxOverlay::Time, QStringLiteral("12"));
            w.overlay->set_shown(BoxOverlay::Time, true);
            QVERIFY2(at(w.screen(), 1, 1) == 0x406080u, qPrintable(name));  // not sent yet
            w.scene.resize(64, 48, 0x00C0C0C0);
            w.present(QRegion(w.rect()));
            QImage shot = w.screen();
            QVERIFY2(at(shot, 1, 1) == 0u, qPrintable(name));  // the box's background
            QVERIFY2(at(shot, 40, 20) == 0xC0C0C0u, qPrintable(name));
            w.overlay->set_shown(BoxOverlay::Time, false);
            w.present(QRegion());
            QVERIFY2(at(w.screen(), 1, 1) == 0xC0C0C0u, qPrintable(name));
        });
    }
};

QTEST_MAIN(PresenterContractTest)
#include "presenter_contract_qt_test.moc"
