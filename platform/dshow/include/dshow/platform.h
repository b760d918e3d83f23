#pragma once
// The operating-system services the plug-in and the simulated devices use:
// the platform clock, events, named mutexes, text conversion and file
// versions.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include <clock/clock.h>
#include <dshow/export.h>

namespace dshow {

// The clock of every wait and time stamp here: the steady clock unless a
// test installed another. Any other clock is taken to move only while a
// thread sleeps on it (a VirtualClock): waits then sleep on it in steps of at
// most one millisecond.
DSHOW_API ondula::Clock& PlatformClock();
DSHOW_API void UsePlatformClock(ondula::Clock* clock); // null: the steady clock

// Test knob: runs on a waiting thread before each look at the event it waits
// for, so a test can make frames arrive exactly while a grab waits.
DSHOW_API void SetEventWaitHook(std::function<void()> hook);

class DSHOW_API Event {
public:
    explicit Event(bool manual_reset = false);
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Reset();
    // True once the event is set (an auto-reset event is then reset), false
    // after `timeout` on the platform clock.
    bool Wait(ondula::Clock::Duration timeout);

private:
    const bool manual_reset_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool set_ = false;
};

// What a device raises where the hardware would raise an exception; the code
// is the exception's. Not exported: a module that catches it matches it by name.
struct HardwareException {
    uint32_t code;
};

// A named mutex of the process, used as a marker: the name exists while a
// handle to it is open.
class DSHOW_API NamedMutex {
public:
    // A handle to the mutex `name`, made when it does not exist yet.
    static std::unique_ptr<NamedMutex> Create(const std::string& name);
    // A handle to the existing mutex `name`, or null.
    static std::unique_ptr<NamedMutex> Open(const std::string& name);
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;
    ~NamedMutex();

private:
    explicit NamedMutex(std::string name) : name_(std::move(name)) { }
    std::string name_;
};

// Wide text as the system's narrow text (UTF-8), cut at `max_bytes` without
// splitting a character.
DSHOW_API std::string WideToAnsi(const std::wstring& text,
                                 std::size_t max_bytes = std::string::npos);

// The version of a system file: the most and least significant halves.
// Only "quartz.dll", this library, has one; false for others.
DSHOW_API bool GetFileVersion(const std::string& file, uint32_t* most, uint32_t* least);

} // namespace dshow
