#pragma once
// The manual-reset event behind a device record's stop event.
#include <condition_variable>
#include <mutex>

struct HwEvent {
    std::mutex mutex;
    std::condition_variable changed;
    bool signalled = false;
};
