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
    // Whether no interrupt-service thread uses the record: stopping one that
    // ended on its own then needs no look at its handle, which its caller may
    // already have closed.
    bool serviceEnded = true;
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

inline void SetServiceEnded(HwEvent& event, bool ended)
{
    std::lock_guard lock(event.mutex);
    event.serviceEnded = ended;
}

inline bool ServiceEnded(HwEvent& event)
{
    std::lock_guard lock(event.mutex);
    return event.serviceEnded;
}

inline bool IsSet(HwEvent& event)
{
    std::lock_guard lock(event.mutex);
    return event.signalled;
}

} // namespace hw
