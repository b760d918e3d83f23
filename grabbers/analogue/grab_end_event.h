// The auto-reset event that a grab waits on and the board library's grab-end
// hook sets, one per instance.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

#include <clock/clock.h>

namespace zephon {

class GrabEndEvent {
public:
    void Set();
    // Clears both the set and the cancelled state.
    void Reset();
    // The grab was aborted: the wait in progress, and every wait until the
    // next Reset, fails at once.
    void Cancel();
    // Waits until the event is set, and resets it, or until `timeout` has
    // passed on `clock`; false on time-out or when cancelled.
    bool Wait(ondula::Clock& clock, std::chrono::milliseconds timeout);

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool set_ = false;
    bool cancelled_ = false;
};

} // namespace zephon
