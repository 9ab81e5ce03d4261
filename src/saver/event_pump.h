#pragma once
#include <cstdint>

namespace vistaloom {

// The message queue of the saver's one thread. Input handlers run inside these calls.
class EventPump {
public:
    virtual ~EventPump() = default;
    // Run the events that are pending, then return.
    virtual void process_pending() = 0;
    // Block until an event arrives or the monotonic tick reaches deadline_ms; then run the
    // pending events. Never spins.
    virtual void wait_until(int64_t deadline_ms) = 0;
};

}  // namespace vistaloom
