// A clock that holds the first thread that sleeps on it until the test opens
// it: a test can act on a device call while that call waits.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include <clock/clock.h>

class GatedClock final : public ondula::Clock {
public:
    Duration Now() const override { return Duration(now_.load()); }
    void SleepFor(Duration d) override
    {
        std::unique_lock lock(mutex_);
        sleeping_ = true;
        changed_.notify_all();
        changed_.wait(lock, [&] { return open_; });
        now_ += d.count();
    }
    void WaitForSleeper()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return sleeping_; });
    }
    void Open()
    {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }

private:
    std::atomic<int64_t> now_{0};
    std::mutex mutex_;
    std::condition_variable changed_;
    bool sleeping_ = false;
    bool open_ = false;
};
