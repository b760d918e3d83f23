#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

#include <clock/export.h>

namespace ondula {

// Time as instruments, simulated devices and plug-ins see it. The program runs
// on the steady clock; tests inject a VirtualClock so that waits, deadlines and
// device timings take no real time and give the same result on every run.
class Clock {
public:
    using Duration = std::chrono::nanoseconds;

    virtual ~Clock() = default;

    // Time since an arbitrary epoch fixed for the clock's life; never goes back.
    virtual Duration Now() const = 0;
    // Returns once at least `d` has passed on this clock (at once for d <= 0).
    virtual void SleepFor(Duration d) = 0;
};

// The process's real clock (std::chrono::steady_clock).
ONDULA_CLOCK_API Clock& SteadyClock();

// A clock that moves only when told: SleepFor advances it by the time asked,
// so a thread that sleeps sees exactly the time it slept. Safe to share
// between threads; each sleep or advance adds to one common time.
class VirtualClock final : public Clock {
public:
    explicit VirtualClock(Duration start = Duration::zero()) : now_(start.count()) { }

    Duration Now() const override { return Duration(now_.load()); }
    void SleepFor(Duration d) override { Advance(d); }
    // Moves the time forward by `d` (negative values are ignored).
    void Advance(Duration d)
    {
        if (d > Duration::zero())
            now_ += d.count();
    }

private:
    std::atomic<int64_t> now_;
};

// The moment `timeout` from now on `clock`; `Expired` tells whether it has come.
class Deadline {
public:
    Deadline(const Clock& clock, Clock::Duration timeout)
        : clock_(&clock), end_(clock.Now() + timeout)
    {
    }
    bool Expired() const { return clock_->Now() >= end_; }
    Clock::Duration Remaining() const
    {
        const auto left = end_ - clock_->Now();
        return left > Clock::Duration::zero() ? left : Clock::Duration::zero();
    }

private:
    const Clock* clock_;
    Clock::Duration end_;
};

} // namespace ondula
