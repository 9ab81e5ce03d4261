#include <QtTest>

#include "platform/buffer_damage.h"

using vistaloom::BufferDamage;

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
};

QTEST_GUILESS_MAIN(BufferDamageTest)
#include "buffer_damage_qt_test.moc"
