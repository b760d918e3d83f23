#pragma once
// The manual-reset event behind a device record's stop event. A waiter may
// sleep on it together with other conditions guarded by its mutex and
// announced on its condition variable.
#include <chrono>
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
    event.changed.notify_all();
}

inline bool ServiceEnded(HwEvent& event)
{
    std::lock_guard lock(event.mutex);
    return event.serviceEnded;
}

/// Whether service ended within `bound`, waited for on the event itself.
inline bool AwaitServiceEnded(HwEvent& event, std::chrono::milliseconds bound)
{
    std::unique_lock lock(event.mutex);
    return event.changed.wait_for(lock, bound, [&] { return event.serviceEnded; });
}

inline bool IsSet(HwEvent& event)
{
    std::lock_guard lock(event.mutex);
    return event.signalled;
}

} // namespace hw
