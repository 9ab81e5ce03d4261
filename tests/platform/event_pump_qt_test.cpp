#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>
#include <chrono>
#include <vector>

#include "platform/qt_event_pump.h"
#include "startup/clock.h"

using namespace vistaloom;

namespace {

class MonotonicClock : public Clock {
  public:
    int64_t tick_ms() override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    TimeOfDay time_of_day() override { return {}; }
};

double cpu_seconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

class EventPumpTest : public QObject {
    Q_OBJECT
  private slots:
    // The frame wait must sleep: a pump that spins would show CPU time close to wall time.
    void waits_until_the_deadline_without_spinning() {
        MonotonicClock clock;
        QtEventPump pump(clock);
        pump.process_pending();
        const double cpu_before = cpu_seconds();
        QElapsedTimer wall;
        wall.start();
        int rounds = 0;
        for (int i = 0; i < 10; ++i) {
            const int64_t deadline = clock.tick_ms() + 40;
            while (clock.tick_ms() < deadline) {
                pump.wait_until(deadline);
                ++rounds;
            }
        }
        const double elapsed_ms = static_cast<double>(wall.nsecsElapsed()) / 1e6;
        const double cpu_ms = (cpu_seconds() - cpu_before) * 1000.0;
        QVERIFY2(elapsed_ms >= 400.0, qPrintable(QString::number(elapsed_ms)));
        // Generous: a loaded machine wakes sleepers late, but a wait must not run on for long.
        QVERIFY2(elapsed_ms < 800.0, qPrintable(QString::number(elapsed_ms)));
        // Ten 40 ms waits; a sleeping wait costs a few milliseconds of CPU in all.
        QVERIFY2(cpu_ms < 100.0, qPrintable(QString::number(cpu_ms)));
        QVERIFY2(rounds < 50, qPrintable(QString::number(rounds)));
    }

    void a_posted_event_ends_the_wait_early() {
        MonotonicClock clock;
        QtEventPump pump(clock);
        pump.process_pending();
        bool ran = false;
        QTimer::singleShot(10, [&ran] { ran = true; });
        const int64_t start = clock.tick_ms();
        pump.wait_until(start + 2000);
        const int64_t waited = clock.tick_ms() - start;
        QVERIFY(ran);
        QVERIFY2(waited < 500, qPrintable(QString::number(waited)));

        // An event posted from inside the loop before the wait is handled at once.
        bool queued = false;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [&queued] { queued = true; }, Qt::QueuedConnection);
        const int64_t again = clock.tick_ms();
        pump.wait_until(again + 2000);
        QVERIFY(queued);
        QVERIFY(clock.tick_ms() - again < 500);
    }

    // Timing measurements count frames by their deadlines: one report per frame, however
    // often the frame's wait was woken early.
    void each_new_deadline_is_reported_once() {
        MonotonicClock clock;
        QtEventPump pump(clock);
        std::vector<int64_t> seen;
        pump.set_deadline_observer([&seen](int64_t d) { seen.push_back(d); });
        const int64_t first = clock.tick_ms() + 5;
        pump.wait_until(first);
        pump.wait_until(first);
        pump.wait_until(first + 5);
        QCOMPARE(seen, (std::vector<int64_t>{first, first + 5}));
    }

    void a_deadline_in_the_past_only_runs_pending_events() {
        MonotonicClock clock;
        QtEventPump pump(clock);
        bool queued = false;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [&queued] { queued = true; }, Qt::QueuedConnection);
        const int64_t start = clock.tick_ms();
        pump.wait_until(start - 5);
        QVERIFY(queued);
        QVERIFY(clock.tick_ms() - start < 50);
    }
};

QTEST_GUILESS_MAIN(EventPumpTest)
#include "event_pump_qt_test.moc"
