// The C exports of Qnlo34: each forwards to the library, and the record
// functions exchange the short record unless the caller's record is full.
#include <cstring>

#include "hwaccess/client.h"
#include "hwaccess/qnlo34.h"

namespace {

bool IsFull(const HwDeviceConfig* config) { return config->recordSize == HW_FULL_CONFIG_SIZE; }

// Copies what the caller's record holds: the whole record, or the short one.
void CopyOut(const HwDeviceConfig& from, HwDeviceConfig* to, bool full)
{
    std::memcpy(to, &from, full ? HW_FULL_CONFIG_SIZE : HW_SHORT_CONFIG_SIZE);
}

} // namespace

extern "C" {

void HwTrace(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    hw::HwTraceV(format, args);
    va_end(args);
}

int HwZeroDeviceConfig(HwDeviceConfig* config)
{
    std::memset(config, 0, HW_SHORT_CONFIG_SIZE);
    return 0;
}

BOOL HwConfigureIsrIdOp(HwDeviceConfig* config, uint32_t op, uint32_t offset, uint32_t mask,
                        uint32_t value)
{
    return IsFull(config) && hw::HwConfigureIsrIdOp(config, op, offset, mask, value);
}

BOOL HwConfigureMemoryIo(HwDeviceConfig* config, BOOL flag)
{
    return IsFull(config) && hw::HwConfigureMemoryIo(config, flag);
}

BOOL HwConfigureDevice(const char* name, const HwDeviceConfig* config)
{
    if (!config)
        return false;
    HwDeviceConfig full;
    hw::HwZeroDeviceConfig(&full);
    std::memcpy(&full, config, IsFull(config) ? HW_FULL_CONFIG_SIZE : HW_SHORT_CONFIG_SIZE);
    return hw::HwConfigureDevice(name, &full);
}

BOOL HwGetDeviceConfig(const char* name, HwDeviceConfig* config)
{
    if (!config)
        return false;
    const bool full = IsFull(config);
    HwDeviceConfig read;
    BOOL found = hw::HwGetDeviceConfig(name, &read);
    CopyOut(read, config, full);
    return found;
}

BOOL HwEnumerateDevices(uint32_t index, char* name, HwDeviceConfig* config)
{
    if (!config)
        return false;
    const bool full = IsFull(config);
    HwDeviceConfig read;
    if (!hw::HwEnumerateDevices(index, name, &read))
        return false;
    CopyOut(read, config, full);
    return true;
}

BOOL IsOnNT(void) { return hw::IsOnNT(); }
BOOL IsOn95(void) { return hw::IsOn95(); }
void HwAssertionFailure(const char* file, int line) { hw::HwAssertionFailure(file, line); }
HwDevice* HwNewDevice(HwInterruptCallback callback) { return hw::HwNewDevice(callback); }
BOOL CommonConstructDevice(HwDevice* device, HwInterruptCallback callback)
{
    return hw::CommonConstructDevice(device, callback);
}
BOOL HwConnectDevice(HwDevice* device, const char* name)
{
    return hw::HwConnectDevice(device, name);
}
BOOL HwDisconnectDevice(HwDevice* device) { return hw::HwDisconnectDevice(device); }
BOOL HwDeleteDevice(HwDevice* device) { return hw::HwDeleteDevice(device); }
BOOL CommonDestroyDevice(HwDevice* device) { return hw::CommonDestroyDevice(device); }
BOOL HwSetProperty(HwDevice* device, uint32_t id, uint32_t value)
{
    return hw::HwSetProperty(device, id, value);
}
BOOL HwGetProperty(HwDevice* device, uint32_t id, uint32_t* value)
{
    return hw::HwGetProperty(device, id, value);
}
BOOL HwStartDevice(const char* name) { return hw::HwStartDevice(name); }
BOOL HwStopDevice(const char* name) { return hw::HwStopDevice(name); }
BOOL HwIsDeviceRunning(const char* name) { return hw::HwIsDeviceRunning(name); }
HwOpQueue* HwAllocateOpQueue(uint32_t kind, uint32_t capacity, uint32_t extra)
{
    return hw::HwAllocateOpQueue(kind, capacity, extra);
}
BOOL HwDeleteOpQueue(HwOpQueue* queue) { return hw::HwDeleteOpQueue(queue); }
void* HwGetQueueBuffer(HwOpQueue* queue) { return hw::HwGetQueueBuffer(queue); }
BOOL HwEnableQueueOption(HwOpQueue* queue, uint32_t option, BOOL on)
{
    return hw::HwEnableQueueOption(queue, option, on);
}
BOOL HwQueueInPort(HwOpQueue* queue, uint32_t port, uint32_t size, uint32_t* address)
{
    return hw::HwQueueInPort(queue, port, size, address);
}
BOOL HwQueueInp(HwOpQueue* queue, uint32_t port, uint32_t* address)
{
    return hw::HwQueueInp(queue, port, address);
}
BOOL HwQueueInpw(HwOpQueue* queue, uint32_t port, uint32_t* address)
{
    return hw::HwQueueInpw(queue, port, address);
}
BOOL HwQueueInpl(HwOpQueue* queue, uint32_t port, uint32_t* address)
{
    return hw::HwQueueInpl(queue, port, address);
}
BOOL HwQueueOutPort(HwOpQueue* queue, uint32_t port, uint32_t size, uint32_t value)
{
    return hw::HwQueueOutPort(queue, port, size, value);
}
BOOL HwQueueOutp(HwOpQueue* queue, uint32_t port, uint32_t value)
{
    return hw::HwQueueOutp(queue, port, value);
}
BOOL HwQueueOutpw(HwOpQueue* queue, uint32_t port, uint32_t value)
{
    return hw::HwQueueOutpw(queue, port, value);
}
BOOL HwQueueOutpl(HwOpQueue* queue, uint32_t port, uint32_t value)
{
    return hw::HwQueueOutpl(queue, port, value);
}
BOOL HwQueueBufInPort(HwOpQueue* queue, uint32_t port, uint32_t size)
{
    return hw::HwQueueBufInPort(queue, port, size);
}
BOOL HwQueueBufInp(HwOpQueue* queue, uint32_t port) { return hw::HwQueueBufInp(queue, port); }
BOOL HwQueueBufInpw(HwOpQueue* queue, uint32_t port) { return hw::HwQueueBufInpw(queue, port); }
BOOL HwQueueBufInpl(HwOpQueue* queue, uint32_t port) { return hw::HwQueueBufInpl(queue, port); }
BOOL HwQueueBufOutPort(HwOpQueue* queue, uint32_t port, uint32_t size)
{
    return hw::HwQueueBufOutPort(queue, port, size);
}
BOOL HwQueueBufOutp(HwOpQueue* queue, uint32_t port) { return hw::HwQueueBufOutp(queue, port); }
BOOL HwQueueBufOutpw(HwOpQueue* queue, uint32_t port) { return hw::HwQueueBufOutpw(queue, port); }
BOOL HwQueueBufOutpl(HwOpQueue* queue, uint32_t port) { return hw::HwQueueBufOutpl(queue, port); }
BOOL HwQueueAndTemp(HwOpQueue* queue, uint32_t mask) { return hw::HwQueueAndTemp(queue, mask); }
BOOL HwQueueOrTemp(HwOpQueue* queue, uint32_t value) { return hw::HwQueueOrTemp(queue, value); }
BOOL HwQueueWhileInpAnd(HwOpQueue* queue, uint32_t a1, uint32_t a2, uint32_t a3, uint32_t a4,
                        uint32_t a5)
{
    return hw::HwQueueWhileInpAnd(queue, a1, a2, a3, a4, a5);
}
BOOL HwQueueWhileInpEqual(HwOpQueue* queue, uint32_t a1, uint32_t a2, uint32_t a3, uint32_t a4,
                          uint32_t a5, uint32_t a6)
{
    return hw::HwQueueWhileInpEqual(queue, a1, a2, a3, a4, a5, a6);
}
BOOL HwQueueLoopBack(HwOpQueue* queue) { return hw::HwQueueLoopBack(queue); }
BOOL HwQueueBreakIfAnd(HwOpQueue* queue, uint32_t a1, uint32_t a2)
{
    return hw::HwQueueBreakIfAnd(queue, a1, a2);
}
BOOL HwExecute(HwDevice* device, HwOpQueue* queue) { return hw::HwExecute(device, queue); }
uint8_t HwInp(HwDevice* device, uint32_t port) { return hw::HwInp(device, port); }
uint16_t HwInpw(HwDevice* device, uint32_t port) { return hw::HwInpw(device, port); }
uint32_t HwInpl(HwDevice* device, uint32_t port) { return hw::HwInpl(device, port); }
BOOL HwOutp(HwDevice* device, uint32_t port, uint8_t value)
{
    return hw::HwOutp(device, port, value);
}
BOOL HwOutpw(HwDevice* device, uint32_t port, uint16_t value)
{
    return hw::HwOutpw(device, port, value);
}
BOOL HwOutpl(HwDevice* device, uint32_t port, uint32_t value)
{
    return hw::HwOutpl(device, port, value);
}
BOOL HwAutoIncReadPort(HwDevice* device, uint32_t a1, uint32_t a2, void* buffer, uint32_t length,
                       uint32_t width)
{
    return hw::HwAutoIncReadPort(device, a1, a2, buffer, length, width);
}
BOOL HwAutoIncWritePort(HwDevice* device, uint32_t a1, uint32_t a2, const void* buffer,
                        uint32_t length, uint32_t width)
{
    return hw::HwAutoIncWritePort(device, a1, a2, buffer, length, width);
}
BOOL HwMapPorts(HwDevice* device, uint32_t a1, uint32_t a2, uint32_t* value)
{
    return hw::HwMapPorts(device, a1, a2, value);
}
BOOL HwMapPortsEx(HwDevice* device, uint32_t a1, uint32_t a2, uint32_t a3, uint32_t a4,
                  uint32_t* value)
{
    return hw::HwMapPortsEx(device, a1, a2, a3, a4, value);
}
BOOL HwUnmapPorts(HwDevice* device, uint32_t value) { return hw::HwUnmapPorts(device, value); }
BOOL HwGetBusDataByOffset(HwDevice* device, uint32_t offset, void* buffer, uint32_t length)
{
    return hw::HwGetBusDataByOffset(device, offset, buffer, length);
}
BOOL HwSetBusDataByOffset(HwDevice* device, uint32_t offset, const void* data, uint32_t length)
{
    return hw::HwSetBusDataByOffset(device, offset, data, length);
}
BOOL HwConfigurePortRange(HwDeviceConfig* config, uint32_t base, uint32_t count)
{
    return hw::HwConfigurePortRange(config, base, count);
}
BOOL HwConfigureInterrupt(HwDeviceConfig* config, uint32_t level)
{
    return hw::HwConfigureInterrupt(config, level);
}
BOOL HwConfigureIsrOp(HwDeviceConfig* config, uint32_t op, uint32_t offset, uint32_t data)
{
    return hw::HwConfigureIsrOp(config, op, offset, data);
}
BOOL HwConfigureMemRange(HwDeviceConfig* config, uint32_t base, uint32_t count)
{
    return hw::HwConfigureMemRange(config, base, count);
}
BOOL HwConfigureIgnoreConflicts(HwDeviceConfig* config, BOOL flag)
{
    return hw::HwConfigureIgnoreConflicts(config, flag);
}
BOOL HwDeleteDeviceConfiguration(const char* name) { return hw::HwDeleteDeviceConfiguration(name); }
BOOL HwIsDriverConfigured(void) { return hw::HwIsDriverConfigured(); }
BOOL HwConfigureDriver(void) { return hw::HwConfigureDriver(); }
} // extern "C"
