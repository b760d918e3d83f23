#include <optional>

#include "device_lock.h"
#include "event.h"
#include "live_objects.h"
#include "request.h"
#include "thread_phase.h"
#include <hwaccess/client.h>

namespace hw {
namespace {

using namespace qdriver::wire;

// How long stopping interrupt service waits for its thread.
constexpr uint32_t kStopBoundMs = 4000;
// The vector that means "the same as the level".
constexpr uint32_t kVectorOfLevel = 0xFFFFFFFFu;

// The one wait the service thread keeps pending. The driver completes it from
// whatever thread, under the stop event's mutex, so that the service thread
// sleeps on the stop event and on its wait together.
struct PendingWait {
    bool done = false;
    win32::Status status = win32::kSuccess;
    uint32_t returned = 0;
};

// Sleeps until the pending wait completes or a stop is asked: the bytes the
// wait returned (0 when it failed), or nothing on a stop. A stop cancels the
// wait and awaits its completion, so that the driver never completes it into a
// thread that has moved on.
std::optional<uint32_t> AwaitInterrupt(HwDevice& device, const PendingWait& wait)
{
    HwEvent& stop = *device.stopEvent;
    std::unique_lock lock(stop.mutex);
    stop.changed.wait(lock, [&] { return stop.signalled || wait.done; });
    if (!stop.signalled)
        return wait.status == win32::kSuccess ? wait.returned : 0;
    lock.unlock();
    qdriver::CancelRequests(device.overlappedHandle);
    lock.lock();
    stop.changed.wait(lock, [&] { return wait.done; });
    return std::nullopt;
}

// Runs the interrupt callback under the device lock; false when it threw.
bool RunCallback(HwDevice& device)
{
    DeviceLock lock(device);
    try {
        if (device.interruptCallback)
            device.interruptCallback(&device);
        return true;
    } catch (...) {
        return false;
    }
}

// Serves interrupts until a stop or a failure; returns the thread's end code.
uint32_t Serve(HwDevice& device)
{
    HwEvent& stop = *device.stopEvent;
    for (;;) {
        PendingWait wait;
        auto complete = [&stop, &wait](win32::Status status, uint32_t returned) {
            std::lock_guard lock(stop.mutex);
            wait = {true, status, returned};
            stop.changed.notify_all();
        };
        uint32_t returned = 0;
        if (qdriver::DeviceControlAsync(device.overlappedHandle, kWaitInterrupt,
                                        &device.driverContext, sizeof device.driverContext,
                                        device.interruptReply, sizeof device.interruptReply,
                                        &returned, complete)) {
            if (IsSet(stop))
                return HW_ISR_STOPPED;
        } else if (qdriver::LastError() != win32::kIoPending) {
            return HW_ISR_WAIT_REFUSED;
        } else if (auto length = AwaitInterrupt(device, wait)) {
            returned = *length;
        } else {
            return HW_ISR_STOPPED;
        }
        if (returned != kInterruptReplySize)
            return HW_ISR_BAD_REPLY;
        if (!RunCallback(device))
            return HW_ISR_CALLBACK_FAILED;
    }
}

bool ServiceRuns(const HwDevice& device)
{
    return device.interruptThread && !ServiceEnded(*device.stopEvent);
}

void ForgetThread(HwDevice& device)
{
    device.interruptThread = nullptr;
    device.interruptThreadParameter = nullptr;
    Bind(&device, nullptr);
}

} // namespace

BOOL HwConnectInterrupt(HwDevice* device, uint32_t level)
{
    return HwConnectInterruptEx(device, level, level, 1, 0);
}

BOOL HwConnectInterruptEx(HwDevice* device, uint32_t level, uint32_t vector, uint32_t word1,
                          uint32_t word2)
{
    if (!IsLive(device))
        return false;
    const uint32_t request[6] = {
        device->driverContext, word1, word2, level, vector == kVectorOfLevel ? level : vector, 1};
    uint32_t reply[5] = {};
    uint32_t returned = 0;
    return SendRequest(device, kConnectInterrupt, request, sizeof request, reply, sizeof reply,
                       &returned) &&
           returned == kConnectInterruptReplySize;
}

BOOL HwDisconnectInterrupt(HwDevice* device)
{
    if (!IsLive(device))
        return false;
    return SendRequest(device, kDisconnectInterrupt, &device->driverContext,
                       sizeof device->driverContext, nullptr, 0);
}

BOOL HwEnableIsr(HwDevice* device, HwThread* thread, void* parameter)
{
    // A thread already resumed would have the record believe its interrupts
    // are served, and later stops wait on a thread that serves something else
    // or nothing: it is refused before delivery is touched.
    if (!IsLive(device) || !IsSuspended(thread))
        return false;
    // A second thread would take the place of the one serving now, which
    // could then never be stopped: the caller keeps its thread as it was.
    if (ServiceRuns(*device)) {
        qdriver::SetLastError(win32::kBusy);
        return false;
    }
    uint32_t connected = 0;
    if (HwGetProperty(device, kPropertyInterruptConnected, &connected) && connected != 0 &&
        HwSetProperty(device, kPropertyInterruptEnabled, 1)) {
        device->interruptThread = thread;
        device->interruptThreadParameter = parameter;
        Bind(device, thread);
        ResetEvent(*device->stopEvent);
        SetServiceEnded(*device->stopEvent, false);
        if (QnloResumeThread(thread))
            return true;
        SetServiceEnded(*device->stopEvent, true);
        HwSetProperty(device, kPropertyInterruptEnabled, 0);
        ForgetThread(*device);
        return false;
    }
    HwSetProperty(device, kPropertyInterruptEnabled, 0);
    SetEvent(*device->stopEvent);
    QnloResumeThread(thread);
    QnloWaitForThread(thread, kStopBoundMs);
    return false;
}

BOOL HwDisableIsr(HwDevice* device)
{
    if (!IsLive(device) || !device->interruptThread)
        return false;
    HwEvent& stop = *device->stopEvent;
    // A caller that closed the handle of the thread while it served leaves no
    // thread to wait for (a new thread may have its address): service is still
    // stopped, waiting on the record's own mark of its end, and the bad handle
    // reported.
    const bool handleClosed =
        !ServiceEnded(stop) && !IsBound(device, device->interruptThread, ObjectKind::Thread);
    SetEvent(stop);
    const bool ended =
        ServiceEnded(stop) ||
        (handleClosed ? AwaitServiceEnded(stop, std::chrono::milliseconds(kStopBoundMs))
                      : QnloWaitForThread(device->interruptThread, kStopBoundMs));
    const BOOL disabled = HwSetProperty(device, kPropertyInterruptEnabled, 0);
    if (!ended)
        return false;
    ForgetThread(*device);
    if (handleClosed) {
        qdriver::SetLastError(win32::kInvalidHandle);
        return false;
    }
    return disabled;
}

uint32_t HwIsrThreadProc(void* parameter)
{
    auto* device = static_cast<HwDevice*>(parameter);
    if (!IsLive(device))
        return HW_ISR_WAIT_REFUSED;
    uint32_t result = HW_ISR_STOPPED;
    if (!IsSet(*device->stopEvent)) {
        result = Serve(*device);
        HwSetProperty(device, kPropertyInterruptEnabled, 0);
        if (result != HW_ISR_STOPPED && device->errorCallback)
            device->errorCallback(device, HW_ERROR_ISR_THREAD);
    }
    // The last touch of the record: its caller may close this thread's handle now.
    SetServiceEnded(*device->stopEvent, true);
    return result;
}

uint32_t HwGetIsrData(HwDevice* device) { return IsLive(device) ? device->interruptReply[1] : 0; }

uint32_t HwGetIsrIdData(HwDevice* device) { return IsLive(device) ? device->interruptReply[2] : 0; }

BOOL HwBeginIsrSynch(HwDevice* device)
{
    if (!IsLive(device))
        return false;
    pthread_mutex_lock(&device->lock);
    return true;
}

BOOL HwEndIsrSynch(HwDevice* device)
{
    if (!IsLive(device))
        return false;
    pthread_mutex_unlock(&device->lock);
    return true;
}

} // namespace hw
