#include <hwaccess/hw_thread.h>

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "live_objects.h"
#include "thread_phase.h"
#include <clock/clock.h>
#include <hwaccess/client.h>
#include <qdriver/transport.h>

namespace {

enum class Phase { Suspended, Running, Ended, Abandoned };

// What a thread shares with its handle, which it may outlive.
struct ThreadState {
    std::mutex mutex;
    std::condition_variable changed;
    Phase phase = Phase::Suspended;
    uint32_t exitCode = HW_THREAD_STILL_ACTIVE;
};

// A waiter reads the clock again at least this often, so that a virtual clock
// moved by another thread ends its wait too.
constexpr auto kClockCheck = std::chrono::milliseconds(10);

void Run(std::shared_ptr<ThreadState> state, HwThreadStart start, void* parameter)
{
    {
        std::unique_lock lock(state->mutex);
        state->changed.wait(lock, [&] { return state->phase != Phase::Suspended; });
        if (state->phase == Phase::Abandoned)
            return;
    }
    const uint32_t code = start(parameter);
    std::lock_guard lock(state->mutex);
    state->exitCode = code;
    state->phase = Phase::Ended;
    state->changed.notify_all();
}

} // namespace

struct HwThread {
    std::shared_ptr<ThreadState> state = std::make_shared<ThreadState>();
    ondula::Clock* clock = nullptr;
    std::thread thread;
};

namespace hw {

HwThread* QnloCreateThread(HwThreadStart start, void* parameter, ondula::Clock& clock)
{
    if (!start)
        return nullptr;
    HwThread* made = nullptr;
    try {
        auto handle = std::make_unique<HwThread>();
        handle->clock = &clock;
        if (!AddLiveObject(handle.get(), ObjectKind::Thread))
            return nullptr;
        made = handle.get();
        handle->thread = std::thread(Run, handle->state, start, parameter);
        return handle.release();
    } catch (const std::exception&) {
        RemoveLiveObject(made);
        return nullptr;
    }
}

HwThread* QnloCreateThread(HwThreadStart start, void* parameter)
{
    return QnloCreateThread(start, parameter, ondula::SteadyClock());
}

BOOL QnloResumeThread(HwThread* thread)
{
    if (!IsLive(thread))
        return false;
    std::lock_guard lock(thread->state->mutex);
    if (thread->state->phase == Phase::Suspended) {
        thread->state->phase = Phase::Running;
        thread->state->changed.notify_all();
    }
    return true;
}

bool IsSuspended(HwThread* thread)
{
    if (!IsLive(thread))
        return false;
    std::lock_guard lock(thread->state->mutex);
    if (thread->state->phase == Phase::Suspended)
        return true;
    qdriver::SetLastError(win32::kInvalidHandle);
    return false;
}

BOOL QnloWaitForThread(HwThread* thread, uint32_t milliseconds)
{
    if (!IsLive(thread))
        return false;
    const ondula::Deadline deadline(*thread->clock, std::chrono::milliseconds(milliseconds));
    ThreadState& state = *thread->state;
    std::unique_lock lock(state.mutex);
    while (state.phase != Phase::Ended) {
        if (deadline.Expired())
            return false;
        state.changed.wait_for(
            lock, std::min<ondula::Clock::Duration>(deadline.Remaining(), kClockCheck));
    }
    return true;
}

BOOL QnloGetExitCodeThread(HwThread* thread, uint32_t* code)
{
    if (!IsLive(thread) || !code)
        return false;
    std::lock_guard lock(thread->state->mutex);
    *code = thread->state->exitCode;
    return true;
}

BOOL QnloCloseThread(HwThread* thread)
{
    if (!IsLive(thread))
        return false;
    bool running = false;
    {
        std::lock_guard lock(thread->state->mutex);
        if (thread->state->phase == Phase::Suspended)
            thread->state->phase = Phase::Abandoned;
        running = thread->state->phase == Phase::Running;
        thread->state->changed.notify_all();
    }
    RemoveLiveObject(thread);
    if (running)
        thread->thread.detach();
    else
        thread->thread.join();
    delete thread;
    return true;
}

} // namespace hw
