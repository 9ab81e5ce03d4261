#include <QtTest>

#include <QRandomGenerator>
#include <vector>

#include "platform/buffer_damage.h"
#include "platform/buffered_picture.h"

using vistaloom::BufferDamage;
using vistaloom::BufferedPicture;

class BufferDamageTest : public QObject {
    Q_OBJECT
  private slots:
    // A buffer drawn for the first time holds nothing yet; after that only what the other
    // buffers showed since its last turn is missing from it, and nothing older.
    void two_buffers_in_turn() {
        const QRect whole(0, 0, 100, 50);
        BufferDamage damage(2, whole);
        QCOMPARE(damage.draw_for(0, QRect(0, 0, 10, 10)), QRegion(whole));
        QCOMPARE(damage.draw_for(1, QRect(20, 0, 10, 10)), QRegion(whole));
        QCOMPARE(damage.draw_for(0, QRect(40, 0, 10, 10)),
                 QRegion(QRect(40, 0, 10, 10)) + QRect(20, 0, 10, 10));
        QCOMPARE(damage.draw_for(1, QRect(60, 0, 10, 10)),
                 QRegion(QRect(60, 0, 10, 10)) + QRect(40, 0, 10, 10));
    }

    // A buffer the compositor held on to misses every frame sent while it was away.
    void a_buffer_held_back_misses_every_frame_since() {
        BufferDamage damage(3, QRect(0, 0, 100, 50));
        damage.draw_for(0, QRect(0, 0, 100, 50));
        damage.draw_for(1, QRect(0, 0, 100, 50));
        damage.draw_for(2, QRect(0, 0, 100, 50));
        damage.draw_for(0, QRect(0, 0, 5, 5));
        damage.draw_for(1, QRect(10, 0, 5, 5));
        damage.draw_for(0, QRect(20, 0, 5, 5));
        QCOMPARE(damage.draw_for(2, QRect(30, 0, 5, 5)),
                 QRegion(QRect(0, 0, 5, 5)) + QRect(10, 0, 5, 5) + QRect(20, 0, 5, 5) +
                     QRect(30, 0, 5, 5));
    }

    // A frame sends nothing outside the picture, and re-sending costs nothing extra.
    void clipped_to_the_picture() {
        BufferDamage damage(2, QRect(0, 0, 100, 50));
        damage.draw_for(0, QRect(0, 0, 100, 50));
        damage.draw_for(1, QRect(0, 0, 100, 50));
        QCOMPARE(damage.draw_for(0, QRegion()), QRegion(QRect(0, 0, 100, 50)));
        QCOMPARE(damage.draw_for(1, QRect(90, 40, 50, 50)), QRegion(QRect(90, 40, 10, 10)));
        QCOMPARE(damage.draw_for(0, QRegion()), QRegion(QRect(90, 40, 10, 10)));
        QCOMPARE(damage.draw_for(1, QRegion()), QRegion());
    }

    // A picture drawn in three buffers that a compositor holds and gives back at random
    // (also just after the picture moved on, which then moves again) stays whole where it is
    // sent and where it is read: a frame draws a few rectangles
    // (or a whole new background, or nothing, as after the window was covered), the buffer
    // is completed and sent, and the picture moves on. Each buffer sent, and the picture
    // read at random between frames, must equal the picture drawn in plain memory.
    void a_picture_moving_between_held_buffers_stays_whole() {
        const int w = 64, h = 48;
        const QSize size(w, h);
        std::vector<std::vector<uint32_t>> memory(3, std::vector<uint32_t>(w * h, 0xDEAD));
        std::vector<uint32_t*> pixels;
        for (auto& m : memory) pixels.push_back(m.data());
        std::vector<uint32_t> reference(w * h);
        std::vector<bool> busy(3, false);
        QRandomGenerator random(7);
        const auto draw = [&](const QRect& r, uint32_t colour, uint32_t* into) {
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x) {
                    into[y * w + x] = colour + static_cast<uint32_t>(x);
                    reference[y * w + x] = colour + static_cast<uint32_t>(x);
                }
        };
        const auto equal_to_reference = [&](const uint32_t* p) {
            return std::equal(reference.begin(), reference.end(), p);
        };

        BufferedPicture picture;
        picture.start(pixels, size, 0);
        draw(QRect(0, 0, w, h), 0x100000, picture.pixels());
        int held_last = -1;
        int chosen_again = 0;
        int late = -1;
        for (int frame = 0; frame < 300; ++frame) {
            QRegion drawn;
            const int kind = random.bounded(10);
            if (kind == 0) {
                drawn = QRect(0, 0, w, h);
                draw(QRect(0, 0, w, h), 0x200000 + static_cast<uint32_t>(frame), picture.pixels());
            } else if (kind > 1) {
                for (int n = random.bounded(1, 4); n > 0; --n) {
                    const QRect r(random.bounded(w - 1), random.bounded(h - 1),
                                  random.bounded(1, 24), random.bounded(1, 20));
                    const QRect in = r & QRect(0, 0, w, h);
                    draw(in, 0x300000 + static_cast<uint32_t>(frame * 64), picture.pixels());
                    drawn += in;
                }
            }
            picture.drawn(drawn);
            if (late >= 0) {
                // Given back only once the next frame is drawn: too late to move for.
                busy[static_cast<size_t>(late)] = false;
                picture.choose_again([&](int i) { return busy[static_cast<size_t>(i)]; });
                late = -1;
            }
            if (random.bounded(6) == 0) {
                picture.complete();
                QVERIFY2(equal_to_reference(picture.pixels()), qPrintable(QString::number(frame)));
            }
            // Sent as the window sends it: everything a repaint names (a covered window's
            // repaint names all of it even when nothing was drawn).
            const QRegion sent = kind == 1 ? QRegion(0, 0, w, h) : drawn;
            picture.sent(sent);
            QVERIFY2(equal_to_reference(picture.pixels()), qPrintable(QString::number(frame)));
            const int shown = picture.drawing();
            busy[static_cast<size_t>(shown)] = true;
            // The compositor lets go of the buffer shown before: before the picture moves on,
            // just after it (as sway does, and the picture may then move again), or later.
            const int before = held_last;
            held_last = shown;
            const int when = random.bounded(3);
            if (before >= 0 && when == 0) busy[static_cast<size_t>(before)] = false;
            const auto is_busy = [&](int i) { return busy[static_cast<size_t>(i)]; };
            while (!picture.move(is_busy)) {
                for (size_t i = 0; i < busy.size(); ++i)
                    if (static_cast<int>(i) != shown) busy[i] = false;
            }
            if (before >= 0 && when == 2 && busy[static_cast<size_t>(before)]) late = before;
            if (before >= 0 && when == 1 && busy[static_cast<size_t>(before)]) {
                busy[static_cast<size_t>(before)] = false;
                if (picture.choose_again(is_busy)) {
                    // It lacks only what was sent from the buffer just shown.
                    QCOMPARE(picture.drawing(), before);
                    ++chosen_again;
                }
            }
            QVERIFY(!busy[static_cast<size_t>(picture.drawing())]);
        }
        QVERIFY2(chosen_again > 30, qPrintable(QString::number(chosen_again)));
    }
};

QTEST_GUILESS_MAIN(BufferDamageTest)
#include "buffer_damage_qt_test.moc"
