#pragma once
// The hardware access library as programs link it: device connections, driver
// properties and devices, op queues and port access, block and bus transfers,
// and device configuration with the full 96-byte record. The shared library
// Qnlo34 exports the same functions as C (hwaccess/qnlo34.h).
//
// Failures answer FALSE (or null, or 0); the reason is qdriver::LastError().
#include <cstdarg>

#include "hwaccess/hw_types.h"

namespace hw {

// ---- platform and diagnostics ----

/// TRUE on a Windows NT platform (platform id 2).
BOOL IsOnNT();
/// TRUE on Windows 9x (platform id 1).
BOOL IsOn95();
/// Formats into a 512-byte buffer (longer texts are cut) and writes it to the
/// debug output.
void HwTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
void HwTraceV(const char* format, va_list args);
/// Writes "Quenlo Assertion Failed: File %s, Line %d\n" to the debug output;
/// it never stops the process.
void HwAssertionFailure(const char* file, int line);

// ---- devices ----

/// A new constructed device record, or null when memory is short.
HwDevice* HwNewDevice(HwInterruptCallback callback);
/// Zeroes the record, stores the callback, sets both handles to -1 and makes the
/// recursive lock and the stop event.
BOOL CommonConstructDevice(HwDevice* device, HwInterruptCallback callback);
/// Connects to the driver device `name` ("_Default30" when null). A connected
/// record is disconnected first, so its handles are not lost.
BOOL HwConnectDevice(HwDevice* device, const char* name);
/// Closes both handles and sets them to -1; nothing when not connected.
BOOL HwDisconnectDevice(HwDevice* device);
/// Disconnects, closes the stop event and deletes the lock.
BOOL CommonDestroyDevice(HwDevice* device);
/// CommonDestroyDevice, then frees a record of HwNewDevice.
BOOL HwDeleteDevice(HwDevice* device);
/// Driver property `id` (1 interrupt delivery enabled, 2 interrupt connected).
BOOL HwSetProperty(HwDevice* device, uint32_t id, uint32_t value);
BOOL HwGetProperty(HwDevice* device, uint32_t id, uint32_t* value);
/// Starts the driver device `name` unless it already runs.
BOOL HwStartDevice(const char* name);
/// Stops the driver device `name`; FALSE when the driver refuses.
BOOL HwStopDevice(const char* name);
/// TRUE when a record can connect to `name`.
BOOL HwIsDeviceRunning(const char* name);

// ---- op queues and port access ----

/// A zeroed queue of `capacity` ops and `extra` data bytes with its header set;
/// null when memory is short or the size does not fit in 32 bits.
HwOpQueue* HwAllocateOpQueue(uint32_t kind, uint32_t capacity, uint32_t extra);
/// Frees a queue of HwAllocateOpQueue (null allowed).
BOOL HwDeleteOpQueue(HwOpQueue* queue);
/// The data area behind all op records, or null.
void* HwGetQueueBuffer(HwOpQueue* queue);
/// Option 4 only: sets or clears the value 4 in the flags word.
BOOL HwEnableQueueOption(HwOpQueue* queue, uint32_t option, BOOL on);

/// Appends: each writes its op at index count and counts it; FALSE and nothing
/// written when the queue is full. `address` receives an input's value after
/// a successful execution (null for none).
BOOL HwQueueInPort(HwOpQueue* queue, uint32_t port, uint32_t size, uint32_t* address);
BOOL HwQueueInp(HwOpQueue* queue, uint32_t port, uint32_t* address);
BOOL HwQueueInpw(HwOpQueue* queue, uint32_t port, uint32_t* address);
BOOL HwQueueInpl(HwOpQueue* queue, uint32_t port, uint32_t* address);
BOOL HwQueueOutPort(HwOpQueue* queue, uint32_t port, uint32_t size, uint32_t value);
BOOL HwQueueOutp(HwOpQueue* queue, uint32_t port, uint32_t value);
BOOL HwQueueOutpw(HwOpQueue* queue, uint32_t port, uint32_t value);
BOOL HwQueueOutpl(HwOpQueue* queue, uint32_t port, uint32_t value);
BOOL HwQueueBufInPort(HwOpQueue* queue, uint32_t port, uint32_t size);
BOOL HwQueueBufInp(HwOpQueue* queue, uint32_t port);
BOOL HwQueueBufInpw(HwOpQueue* queue, uint32_t port);
BOOL HwQueueBufInpl(HwOpQueue* queue, uint32_t port);
BOOL HwQueueBufOutPort(HwOpQueue* queue, uint32_t port, uint32_t size);
BOOL HwQueueBufOutp(HwOpQueue* queue, uint32_t port);
BOOL HwQueueBufOutpw(HwOpQueue* queue, uint32_t port);
BOOL HwQueueBufOutpl(HwOpQueue* queue, uint32_t port);
BOOL HwQueueAndTemp(HwOpQueue* queue, uint32_t mask);
BOOL HwQueueOrTemp(HwOpQueue* queue, uint32_t value);
/// Port a1, size a2, mask a3, poll limit a4, a5 nonzero: failing on the limit.
BOOL HwQueueWhileInpAnd(HwOpQueue* queue, uint32_t a1, uint32_t a2, uint32_t a3, uint32_t a4,
                        uint32_t a5);
/// As HwQueueWhileInpAnd with the compared value a4 (limit a5, fail flag a6).
BOOL HwQueueWhileInpEqual(HwOpQueue* queue, uint32_t a1, uint32_t a2, uint32_t a3, uint32_t a4,
                          uint32_t a5, uint32_t a6);
BOOL HwQueueLoopBack(HwOpQueue* queue);
BOOL HwQueueBreakIfAnd(HwOpQueue* queue, uint32_t a1, uint32_t a2);

/// Runs the queued ops in the driver under the device lock, sending the whole
/// queue up to the end of its data area; stores input values at their
/// addresses, calls the error callback with 5 on failure, and empties the queue
/// either way. An empty queue sends nothing and answers TRUE.
BOOL HwExecute(HwDevice* device, HwOpQueue* queue);
/// One-op queues: the value read (0 on failure), or whether the write ran.
uint8_t HwInp(HwDevice* device, uint32_t port);
uint16_t HwInpw(HwDevice* device, uint32_t port);
uint32_t HwInpl(HwDevice* device, uint32_t port);
BOOL HwOutp(HwDevice* device, uint32_t port, uint8_t value);
BOOL HwOutpw(HwDevice* device, uint32_t port, uint16_t value);
BOOL HwOutpl(HwDevice* device, uint32_t port, uint32_t value);

// ---- block transfers, port maps, bus data ----

/// Reads `length` bytes from port a1 (stride a2) with item width 1, 2, 4, or 5
/// for auto-incremented bytes; buffered up to 1000 bytes on NT, direct beyond.
BOOL HwAutoIncReadPort(HwDevice* device, uint32_t a1, uint32_t a2, void* buffer, uint32_t length,
                       uint32_t width);
/// Writes like HwAutoIncReadPort reads.
BOOL HwAutoIncWritePort(HwDevice* device, uint32_t a1, uint32_t a2, const void* buffer,
                        uint32_t length, uint32_t width);
/// HwMapPortsEx(device, a1, a2, 1, 0, value).
BOOL HwMapPorts(HwDevice* device, uint32_t a1, uint32_t a2, uint32_t* value);
/// Maps ports a1..a1+a2-1 (address space a3, bus a4); on success stores the
/// mapping's value at `value`, which is left alone otherwise.
BOOL HwMapPortsEx(HwDevice* device, uint32_t a1, uint32_t a2, uint32_t a3, uint32_t a4,
                  uint32_t* value);
BOOL HwUnmapPorts(HwDevice* device, uint32_t value);
BOOL HwGetBusDataByOffset(HwDevice* device, uint32_t offset, void* buffer, uint32_t length);
BOOL HwSetBusDataByOffset(HwDevice* device, uint32_t offset, const void* data, uint32_t length);

// ---- device configuration (full 96-byte record) ----

/// Resets the record: all zero, InterfaceType 1, record size 96. Returns 0.
int HwZeroDeviceConfig(HwDeviceConfig* config);
BOOL HwConfigurePortRange(HwDeviceConfig* config, uint32_t base, uint32_t count);
BOOL HwConfigureInterrupt(HwDeviceConfig* config, uint32_t level);
BOOL HwConfigureIsrOp(HwDeviceConfig* config, uint32_t op, uint32_t offset, uint32_t data);
BOOL HwConfigureIsrIdOp(HwDeviceConfig* config, uint32_t op, uint32_t offset, uint32_t mask,
                        uint32_t value);
BOOL HwConfigureMemRange(HwDeviceConfig* config, uint32_t base, uint32_t count);
BOOL HwConfigureIgnoreConflicts(HwDeviceConfig* config, BOOL flag);
BOOL HwConfigureMemoryIo(HwDeviceConfig* config, BOOL flag);
/// Stores the configuration of device `name`; FALSE when the key cannot be
/// opened or a value cannot be written, in which case the stored one is kept.
BOOL HwConfigureDevice(const char* name, const HwDeviceConfig* config);
/// Reads the configuration of `name` into a reset record; FALSE when the
/// device has no key (the record is then reset).
BOOL HwGetDeviceConfig(const char* name, HwDeviceConfig* config);
/// Name (40 characters with the zero) and configuration of the index-th
/// configured device whose name fits; busFlag is set when InterfaceType is not 1.
BOOL HwEnumerateDevices(uint32_t index, char* name, HwDeviceConfig* config);
BOOL HwDeleteDeviceConfiguration(const char* name);
/// TRUE when the driver's service key exists.
BOOL HwIsDriverConfigured();
/// Installs the driver: a static VxD entry on Windows 9x; the kernel-driver
/// service, its Parameters key and its event-log source on NT.
BOOL HwConfigureDriver();

} // namespace hw
