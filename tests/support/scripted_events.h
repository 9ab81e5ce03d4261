#pragma once
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <vector>

#include "saver/event_pump.h"
#include "scripted_clock.h"

namespace vistaloom::testing {

// An event loop on a scripted clock. Events are queued for a tick; a wait moves the clock
// straight to the earlier of its deadline and the next queued event (as a real loop wakes up
// for input), then runs whatever is due. A wait that had nothing to wait for is recorded, so
// tests can tell a sleeping loop from a spinning one.
class ScriptedEvents : public EventPump {
  public:
    explicit ScriptedEvents(ScriptedClock& clock) : clock_(clock) {}

    std::vector<int64_t> waits;  // deadlines asked for
    int pending_runs = 0;
    int events_run = 0;
    size_t max_waits = 1000000;  // a runaway loop fails the test instead of hanging it

    // Queue `action` to run at the first pump at or after `tick`.
    void at(int64_t tick, std::function<void()> action) {
        queue_.push_back({tick, next_order_++, std::move(action)});
    }
    // Queue `action` for the next pump, whatever the time.
    void soon(std::function<void()> action) { at(clock_.now_ms, std::move(action)); }
    size_t queued() const { return queue_.size(); }

    void process_pending() override {
        ++pending_runs;
        run_due();
    }
    void wait_until(int64_t deadline_ms) override {
        waits.push_back(deadline_ms);
        if (waits.size() > max_waits) throw std::runtime_error("ScriptedEvents: too many waits");
        int64_t wake = deadline_ms;
        for (const auto& e : queue_) wake = e.tick < wake ? e.tick : wake;
        if (wake > clock_.now_ms) clock_.now_ms = wake;
        run_due();
    }

  private:
    struct Queued {
        int64_t tick;
        int64_t order;
        std::function<void()> action;
    };

    void run_due() {
        for (;;) {
            size_t best = queue_.size();
            for (size_t i = 0; i < queue_.size(); ++i) {
                if (queue_[i].tick > clock_.now_ms) continue;
                if (best == queue_.size() || queue_[i].tick < queue_[best].tick ||
                    (queue_[i].tick == queue_[best].tick && queue_[i].order < queue_[best].order)) {
                    best = i;
                }
            }
            if (best == queue_.size()) return;
            auto action = std::move(queue_[best].action);
            queue_.erase(queue_.begin() + static_cast<std::ptrdiff_t>(best));
            ++events_run;
            action();
        }
    }

    ScriptedClock& clock_;
    std::vector<Queued> queue_;
    int64_t next_order_ = 0;
};

}  // namespace vistaloom::testing
