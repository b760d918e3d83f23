// Single grabs of the simulated boards: the digitizer's controls, the grab
// that returns at once, and the thread per digitizer that fills the buffer a
// frame period later (after the trigger, when one is awaited) and then calls
// the grab-end hooks, with the library unlocked.
#include <algorithm>

#include "library.h"
#include <dvl/board.h>
#include <dvl/simulated_boards.h>

using namespace dvl::internal;

namespace {

bool WaitsForTrigger(const Digitizer& d)
{
    auto found = d.controls.find(DVL_DIG_GRAB_TRIGGER);
    return found != d.controls.end() && found->second == DVL_TRIGGER_ENABLE;
}

bool ReadyToFill(const Digitizer& d)
{
    return d.single_buffer != 0 && (d.triggered || !WaitsForTrigger(d));
}

std::chrono::milliseconds FramePeriod(const Library& l, const Digitizer& d)
{
    const auto period = l.systems.at(d.system).board.frame_period;
    return d.format.height <= 480 ? period * 33 / 40 : period;
}

// Ends the grab in progress (lock held): fills its buffer and calls the hooks.
void EndGrab(Library& l, DvlId id, std::unique_lock<std::mutex>& guard)
{
    Digitizer& d = l.digitizers.at(id);
    const dvl::SimulatedBoard& board = l.systems.at(d.system).board;
    if (Buffer* b = Find(l.buffers, d.single_buffer))
        DrawFrame(*b, d.frame++, d.format.bits, board.swaps_bytes);
    d.single_buffer = 0;
    d.triggered = false;
    std::vector<Hook> hooks;
    std::copy_if(d.hooks.begin(), d.hooks.end(), std::back_inserter(hooks),
                 [](const Hook& h) { return h.event == DVL_GRAB_END; });
    ++d.hooks_in_flight;
    guard.unlock();
    for (const Hook& hook : hooks)
        hook.function(DVL_GRAB_END, id, hook.user_data);
    guard.lock();
    if (Digitizer* after = Find(l.digitizers, id))
        --after->hooks_in_flight;
    l.wake.notify_all();
}

void SingleGrabLoop(DvlId id)
{
    Library& l = Lib();
    std::unique_lock guard(l.lock);
    auto stopped = [&] {
        const Digitizer* d = Find(l.digitizers, id);
        return !d || d->stopping;
    };
    for (;;) {
        l.wake.wait(guard, [&] { return stopped() || ReadyToFill(l.digitizers.at(id)); });
        if (stopped())
            return;
        const Digitizer& d = l.digitizers.at(id);
        const uint64_t ticket = d.single_ticket;
        const bool changed = l.wake.wait_for(guard, FramePeriod(l, d), [&] {
            return stopped() || l.digitizers.at(id).single_ticket != ticket;
        });
        if (!changed)
            EndGrab(l, id, guard);
    }
}

} // namespace

extern "C" void DvlDigChannel(DvlId digitizer, int32_t channel)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    if (Digitizer* d = Reach(l, l.digitizers, digitizer, DVL_ORD_DIG_CHANNEL))
        d->channel = channel;
}

extern "C" void DvlDigControl(DvlId digitizer, int32_t item, double value)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    Digitizer* d = Reach(l, l.digitizers, digitizer, DVL_ORD_DIG_CONTROL);
    if (!d)
        return;
    if (item == DVL_DIG_GRAB_ABORT) {
        d->single_buffer = 0;
        d->triggered = false;
        ++d->single_ticket;
    } else if (item == DVL_DIG_GRAB_TRIGGER && value == DVL_TRIGGER_FIRE) {
        if (d->controls[DVL_DIG_TRIGGER_SOURCE] != DVL_TRIGGER_SOFTWARE)
            SetError("Software trigger fired without the software trigger source.");
        else
            d->triggered = d->single_buffer != 0;
    } else {
        d->controls[item] = value;
    }
    l.wake.notify_all();
}

extern "C" void DvlDigGrab(DvlId digitizer, DvlId buffer)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    Digitizer* d = Reach(l, l.digitizers, digitizer, DVL_ORD_DIG_GRAB);
    if (!d)
        return;
    if (!Find(l.buffers, buffer)) {
        SetError("Invalid identifier.");
        return;
    }
    d->single_buffer = buffer;
    d->triggered = false;
    ++d->single_ticket;
    if (!d->single.joinable())
        d->single = std::thread(SingleGrabLoop, digitizer);
    AnnounceGrab(l, *d);
    l.wake.notify_all();
}

extern "C" void DvlDigHookFunction(DvlId digitizer, int32_t hook_type, DvlHookFn function,
                                   void* user_data)
{
    Library& l = Lib();
    std::unique_lock guard(l.lock);
    ThrowIfAsked(l, DVL_ORD_DIG_HOOK_FUNCTION);
    Digitizer* d = Reach(l, l.digitizers, digitizer, DVL_ORD_DIG_HOOK_FUNCTION);
    if (!d)
        return;
    if (!(hook_type & DVL_UNHOOK)) {
        d->hooks.push_back({hook_type, function, user_data});
        return;
    }
    std::erase_if(d->hooks, [&](const Hook& h) {
        return h.function == function && h.user_data == user_data;
    });
    if (d->single.get_id() == std::this_thread::get_id())
        return;
    l.wake.wait(guard, [&] {
        const Digitizer* now = Find(l.digitizers, digitizer);
        return !now || now->hooks_in_flight == 0;
    });
}

namespace dvl {

void FireHardwareTrigger()
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    for (auto& [id, d] : l.digitizers)
        d.triggered = d.single_buffer != 0;
    l.wake.notify_all();
}

} // namespace dvl
