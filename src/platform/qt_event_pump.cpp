#include "platform/qt_event_pump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <limits>

#include "startup/clock.h"

namespace vistaloom {

QtEventPump::QtEventPump(Clock& clock) : clock_(clock) {
    deadline_timer_.setSingleShot(true);
    // A coarse timer may fire up to 5% late, which at 60 fps is most of a frame.
    deadline_timer_.setTimerType(Qt::PreciseTimer);
}

void QtEventPump::process_pending() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventPump::wait_until(int64_t deadline_ms) {
    if (observer_ && deadline_ms != last_deadline_) observer_(deadline_ms);
    last_deadline_ = deadline_ms;
    const int64_t remaining = deadline_ms - clock_.tick_ms();
    if (remaining <= 0) {
        process_pending();
        return;
    }
    const int64_t capped = std::min<int64_t>(remaining, std::numeric_limits<int>::max());
    // The timer's own event wakes the dispatcher at the deadline; anything else that arrives
    // first ends the wait early and the caller decides whether to wait again.
    deadline_timer_.start(static_cast<int>(capped));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    deadline_timer_.stop();
}

}  // namespace vistaloom
