// Movable memory blocks reached through handles, as a TWAIN application and
// its sources exchange them: containers of capabilities and bitmaps. A handle
// knows the size of its block, so whoever reads a block can keep inside it.
// One library (libtwainplatform.so) for the whole process: what one side
// allocates the other may lock and free. The clock of the TWAIN stand-in lives
// here too, so that the plug-in and the manager it loads run on the same one.
#pragma once

#include <cstddef>

#include <clock/clock.h>

#define TWAIN_PLATFORM_API __attribute__((visibility("default")))

typedef struct GlobalMemoryBlock* HGLOBAL;

namespace twain {

// A new zeroed block of `bytes`, or null when no memory is left.
TWAIN_PLATFORM_API HGLOBAL GlobalAlloc(std::size_t bytes);
// The block's address while it is locked; null for a handle that is not
// alive. Locks nest; every lock wants its unlock.
TWAIN_PLATFORM_API void* GlobalLock(HGLOBAL handle);
// False when the handle is not alive or not locked.
TWAIN_PLATFORM_API bool GlobalUnlock(HGLOBAL handle);
// Frees the block, locked or not (null is accepted); false for a handle that
// is not alive.
TWAIN_PLATFORM_API bool GlobalFree(HGLOBAL handle);
// The size the block was allocated with; 0 for a handle that is not alive.
TWAIN_PLATFORM_API std::size_t GlobalSize(HGLOBAL handle);

// Owns one handle and frees it when it goes.
class GlobalBlock {
public:
    GlobalBlock() = default;
    explicit GlobalBlock(HGLOBAL handle) : handle_(handle) { }
    GlobalBlock(GlobalBlock&& other) noexcept : handle_(other.Release()) { }
    GlobalBlock& operator=(GlobalBlock&& other) noexcept
    {
        Reset(other.Release());
        return *this;
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;
    ~GlobalBlock() { Reset(); }

    HGLOBAL Get() const { return handle_; }
    std::size_t Size() const { return GlobalSize(handle_); }
    HGLOBAL Release()
    {
        HGLOBAL handle = handle_;
        handle_ = nullptr;
        return handle;
    }
    void Reset(HGLOBAL handle = nullptr)
    {
        GlobalFree(handle_);
        handle_ = handle;
    }

private:
    HGLOBAL handle_ = nullptr;
};

// A lock held for a scope; Address() is null when the lock failed.
class GlobalLockGuard {
public:
    explicit GlobalLockGuard(HGLOBAL handle) : handle_(handle), address_(GlobalLock(handle)) { }
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
    ~GlobalLockGuard()
    {
        if (address_)
            GlobalUnlock(handle_);
    }
    void* Address() const { return address_; }

private:
    HGLOBAL handle_;
    void* address_;
};

// ---- The clock of the TWAIN stand-in --------------------------------------

// The clock the manager's event queue and the plug-in's grab wait on: the
// steady clock unless a test gives another (not owned: it must outlive its use).
TWAIN_PLATFORM_API ondula::Clock& PlatformClock();
TWAIN_PLATFORM_API void UsePlatformClock(ondula::Clock& clock);
TWAIN_PLATFORM_API void UseSteadyPlatformClock();

// ---- For tests --------------------------------------------------------------

// The `nth` GlobalAlloc (or GlobalLock) from now on (1: the next) fails.
TWAIN_PLATFORM_API void FailGlobalAlloc(int nth);
TWAIN_PLATFORM_API void FailGlobalLock(int nth);
// Handles allocated and not yet freed.
TWAIN_PLATFORM_API int LiveGlobalHandles();

} // namespace twain
