#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

#include "scripted_clock.h"

namespace vistaloom::testing {

// An event loop on a scripted clock: input queued for a tick, and single-shot timers such as
// the ones saver windows arm for their next frame. run_until() moves the clock straight to
// whatever comes first, as a real loop sleeps until its next timer or input, and runs it.
// Several timers (several windows) share it the way they share the one real event loop.
class ScriptedEvents {
  public:
    explicit ScriptedEvents(ScriptedClock& clock) : clock_(clock) {}

    std::vector<int64_t> waits;  // deadlines of timers armed with a delay
    int events_run = 0;
    int timers_fired = 0;
    size_t max_steps = 1000000;  // a runaway loop fails the test instead of hanging it

    // Queue `action` to run at the first turn at or after `tick`.
    void at(int64_t tick, std::function<void()> action) {
        queue_.push_back({tick, next_order_++, std::move(action)});
    }
    // Queue `action` for the next turn, whatever the time.
    void soon(std::function<void()> action) { at(clock_.now_ms, std::move(action)); }
    size_t queued() const { return queue_.size(); }

    // A timer that calls `fire` when it is due; returns its number.
    size_t add_timer(std::function<void()> fire) {
        timers_.push_back({std::nullopt, std::move(fire)});
        return timers_.size() - 1;
    }
    // (Re)arms timer `id` for `delay_ms` from now; a later call replaces the earlier one.
    void arm(size_t id, int64_t delay_ms) {
        if (delay_ms > 0) waits.push_back(clock_.now_ms + delay_ms);
        timers_.at(id).due = clock_.now_ms + (delay_ms > 0 ? delay_ms : 0);
    }
    void disarm(size_t id) { timers_.at(id).due.reset(); }

    // Runs turns until `done` holds or nothing is left to wait for.
    void run_until(const std::function<bool()>& done) {
        for (size_t steps = 0; !done(); ++steps) {
            if (steps > max_steps) throw std::runtime_error("ScriptedEvents: too many turns");
            run_due_events();
            if (done()) return;
            std::optional<int64_t> wake;
            for (const auto& e : queue_) wake = !wake || e.tick < *wake ? e.tick : *wake;
            for (const auto& t : timers_)
                if (t.due) wake = !wake || *t.due < *wake ? *t.due : *wake;
            if (!wake) return;
            if (*wake > clock_.now_ms) clock_.now_ms = *wake;
            run_due_events();
            fire_due_timer();
        }
    }

  private:
    struct Queued {
        int64_t tick;
        int64_t order;
        std::function<void()> action;
    };
    struct Timer {
        std::optional<int64_t> due;
        std::function<void()> fire;
    };

    void run_due_events() {
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

    // The earliest due timer fires; others wait for the next turn, as a real loop takes one
    // timer event at a time.
    void fire_due_timer() {
        size_t best = timers_.size();
        for (size_t i = 0; i < timers_.size(); ++i) {
            if (!timers_[i].due || *timers_[i].due > clock_.now_ms) continue;
            if (best == timers_.size() || *timers_[i].due < *timers_[best].due) best = i;
        }
        if (best == timers_.size()) return;
        timers_[best].due.reset();
        ++timers_fired;
        timers_[best].fire();
    }

    ScriptedClock& clock_;
    std::vector<Queued> queue_;
    std::vector<Timer> timers_;
    int64_t next_order_ = 0;
};

}  // namespace vistaloom::testing
