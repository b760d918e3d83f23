#include "grab_end_event.h"

namespace zephon {

namespace {

// How long to wait for real before looking at the clock again: long enough
// for a busy machine's board thread to end a grab.
constexpr std::chrono::milliseconds kRealSlice{1000};

} // namespace

void GrabEndEvent::Set()
{
    std::lock_guard guard(mutex_);
    set_ = true;
    changed_.notify_all();
}

void GrabEndEvent::Reset()
{
    std::lock_guard guard(mutex_);
    set_ = false;
    cancelled_ = false;
}

void GrabEndEvent::Cancel()
{
    std::lock_guard guard(mutex_);
    cancelled_ = true;
    changed_.notify_all();
}

bool GrabEndEvent::Wait(ondula::Clock& clock, std::chrono::milliseconds timeout)
{
    const ondula::Deadline deadline(clock, timeout);
    std::unique_lock guard(mutex_);
    while (!set_ && !cancelled_) {
        if (deadline.Expired())
            return false;
        const auto before = clock.Now();
        const auto slice = std::min<ondula::Clock::Duration>(deadline.Remaining(), kRealSlice);
        if (changed_.wait_for(guard, slice, [&] { return set_ || cancelled_; }))
            break;
        // A clock that stood still while we waited for real is a virtual one:
        // nothing else will move it, so the wait moves it to the deadline.
        if (clock.Now() == before)
            clock.SleepFor(deadline.Remaining());
    }
    if (cancelled_)
        return false;
    set_ = false;
    return true;
}

} // namespace zephon
