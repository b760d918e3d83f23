#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "event.h"
#include "live_objects.h"
#include "platform.h"
#include "request.h"
#include <hwaccess/client.h>

namespace hw {
namespace {

using namespace qdriver::wire;

bool Connected(const HwDevice* device) { return device->syncHandle != qdriver::kInvalidHandle; }

void CloseHandle(int32_t* handle)
{
    if (*handle != qdriver::kInvalidHandle)
        qdriver::CloseDevice(*handle);
    *handle = qdriver::kInvalidHandle;
}

BOOL Connect9x(HwDevice* device, const std::string& name)
{
    device->syncHandle = qdriver::OpenDevice(kVxdPath);
    if (!Connected(device))
        return false;
    uint32_t context = kNoContext, returned = 0;
    if (qdriver::DeviceControl(device->syncHandle, kOpenContext, name.data(),
                               static_cast<uint32_t>(name.size()), &context, sizeof context,
                               &returned) &&
        returned == sizeof context && context != kNoContext) {
        device->overlappedHandle = qdriver::OpenDevice(kVxdPath, qdriver::kOpenOverlapped);
        if (device->overlappedHandle != qdriver::kInvalidHandle) {
            device->driverContext = context;
            return true;
        }
    }
    CloseHandle(&device->syncHandle);
    return false;
}

BOOL ConnectNt(HwDevice* device, const std::string& name)
{
    const std::string path = "\\\\.\\" + name;
    device->syncHandle = qdriver::OpenDevice(path);
    if (!Connected(device))
        return false;
    device->overlappedHandle = qdriver::OpenDevice(path, qdriver::kOpenOverlapped);
    if (device->overlappedHandle == qdriver::kInvalidHandle)
        CloseHandle(&device->syncHandle);
    return Connected(device);
}

// Sends a name request to the control device, opened for the occasion.
BOOL SendToControlDevice(uint32_t code, const std::string& name)
{
    const bool on95 = IsOn95();
    qdriver::Handle control =
        qdriver::OpenDevice(on95 ? kVxdPath : std::string("\\\\.\\") + kDefaultDevice);
    if (control == qdriver::kInvalidHandle)
        return false;
    bool ok = qdriver::DeviceControl(control, code, name.c_str(),
                                     static_cast<uint32_t>(name.size() + 1), nullptr, 0, nullptr);
    win32::Status error = qdriver::LastError();
    qdriver::CloseDevice(control);
    if (!ok)
        qdriver::SetLastError(error);
    return ok;
}

// Builds a record as `kind`: NewDevice when the library allocated it.
BOOL Construct(HwDevice* device, HwInterruptCallback callback, ObjectKind kind)
{
    if (!device)
        return false;
    std::memset(device, 0, sizeof *device);
    device->interruptCallback = callback;
    device->syncHandle = device->overlappedHandle = qdriver::kInvalidHandle;
    device->stopEvent = new (std::nothrow) HwEvent;
    if (!device->stopEvent)
        return false;
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(&device->lock, &attributes);
    pthread_mutexattr_destroy(&attributes);
    if (AddLiveObject(device, kind))
        return true;
    pthread_mutex_destroy(&device->lock);
    delete device->stopEvent;
    device->stopEvent = nullptr;
    return false;
}

} // namespace

HwDevice* HwNewDevice(HwInterruptCallback callback)
{
    auto* device = static_cast<HwDevice*>(std::malloc(sizeof(HwDevice)));
    if (device && !Construct(device, callback, ObjectKind::NewDevice)) {
        std::free(device);
        return nullptr;
    }
    return device;
}

BOOL CommonConstructDevice(HwDevice* device, HwInterruptCallback callback)
{
    return Construct(device, callback, ObjectKind::Device);
}

BOOL HwConnectDevice(HwDevice* device, const char* name)
{
    if (!IsLive(device) || !HwDisconnectDevice(device))
        return false;
    const std::string deviceName = name ? name : kDefaultDevice;
    return IsOn95() ? Connect9x(device, deviceName) : ConnectNt(device, deviceName);
}

BOOL HwDisconnectDevice(HwDevice* device)
{
    if (!IsLive(device))
        return false;
    if (!Connected(device))
        return true;
    // An interrupt-service thread still running uses the handles: they stay.
    if (!HwDisableIsr(device) && device->interruptThread)
        return false;
    CloseHandle(&device->syncHandle);
    CloseHandle(&device->overlappedHandle);
    return true;
}

BOOL CommonDestroyDevice(HwDevice* device)
{
    if (!IsLive(device) || !HwDisconnectDevice(device))
        return false;
    RemoveLiveObject(device);
    delete device->stopEvent;
    device->stopEvent = nullptr;
    pthread_mutex_destroy(&device->lock);
    return true;
}

BOOL HwDeleteDevice(HwDevice* device)
{
    // A record its caller constructed lives in the caller's memory, which is
    // not the library's to free.
    if (!IsLiveObject(device, ObjectKind::NewDevice) || !CommonDestroyDevice(device))
        return false;
    std::free(device);
    return true;
}

BOOL HwSetProperty(HwDevice* device, uint32_t id, uint32_t value)
{
    if (!IsLive(device))
        return false;
    const uint32_t request[4] = {device->driverContext, id, value, 0};
    return SendRequest(device, kSetProperty, request, sizeof request, nullptr, 0);
}

BOOL HwGetProperty(HwDevice* device, uint32_t id, uint32_t* value)
{
    if (!IsLive(device) || !value)
        return false;
    const uint32_t request[4] = {device->driverContext, id, 0, 0};
    return SendRequest(device, kGetProperty, request, sizeof request, value, sizeof *value);
}

BOOL HwStartDevice(const char* name)
{
    if (!name)
        return false;
    if (HwIsDeviceRunning(name))
        return true;
    return SendToControlDevice(kStartDevice, name);
}

BOOL HwStopDevice(const char* name)
{
    if (!name)
        return false;
    return SendToControlDevice(kStopDevice,
                               IsOn95() ? std::string(name) : kDevicePrefix + std::string(name));
}

BOOL HwIsDeviceRunning(const char* name)
{
    HwDevice* probe = HwNewDevice(nullptr);
    if (!probe)
        return false;
    BOOL running = HwConnectDevice(probe, name);
    HwDeleteDevice(probe);
    return running;
}

bool IsDeviceConnected(const HwDevice* device) { return IsLive(device) && Connected(device); }

} // namespace hw
