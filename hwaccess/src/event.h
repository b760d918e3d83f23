#pragma once
// The manual-reset event behind a device record's stop event. A waiter may
// sleep on it together with other conditions guarded by its mutex and
// announced on its condition variable.
#include <condition_variable>
#include <mutex>

struct HwEvent {
    std::mutex mutex;
    std::condition_variable changed;
    bool signalled = false;
};

namespace hw {

inline void SetEvent(HwEvent& event)
{
    std::lock_guard lock(event.mutex);
    event.signalled = true;
    event.changed.notify_all();
}

inline void ResetEvent(HwEvent& event)
{
    std::lock_guard lock(event.mutex);
    event.signalled = false;
}

inline bool IsSet(HwEvent& event)
{
    std::lock_guard lock(event.mutex);
    return event.signalled;
}

} // namespace hw
