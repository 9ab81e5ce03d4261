#pragma once
#include <QTimer>
#include <cstdint>
#include <functional>

#include "saver/event_pump.h"

namespace vistaloom {

class Clock;

// The saver's frame wait, run on Qt's event loop. The wait sleeps in the event dispatcher
// until either an event comes in (input, a repaint, a signal) or a precise one-shot timer
// fires at the deadline, so a waiting saver costs no CPU. Deadlines are in the ticks of the
// given clock, the same clock the frame loop reads.
class QtEventPump : public EventPump {
  public:
    explicit QtEventPump(Clock& clock);

    void process_pending() override;
    void wait_until(int64_t deadline_ms) override;

    // Called once for every new deadline the frame loop waits for. A frame's deadline is its
    // start plus the shortest allowed frame, so the spacing of deadlines is the spacing of
    // frame starts; timing measurements read it from here.
    void set_deadline_observer(std::function<void(int64_t deadline_ms)> observer) {
        observer_ = std::move(observer);
    }

  private:
    Clock& clock_;
    QTimer deadline_timer_;
    std::function<void(int64_t)> observer_;
    int64_t last_deadline_ = INT64_MIN;
};

}  // namespace vistaloom
