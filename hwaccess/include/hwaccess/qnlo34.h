#ifndef HWACCESS_QNLO34_H
#define HWACCESS_QNLO34_H
/* C exports of the shared library Qnlo34. Each behaves as its namesake in
 * hwaccess/client.h, except the record functions marked "short": they exchange
 * the 68-byte short record, or the whole 96-byte record when the caller's
 * recordSize word is exactly 96 (a short-form caller's memory must reach that
 * word, bytes 68-71, and hold anything else there). */
#include <stdarg.h>

#include "hwaccess/hw_types.h"

#ifdef __cplusplus
extern "C" {
#endif

BOOL IsOnNT(void);
BOOL IsOn95(void);
void HwTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
void HwAssertionFailure(const char* file, int line);

HwDevice* HwNewDevice(HwInterruptCallback callback);
BOOL CommonConstructDevice(HwDevice* device, HwInterruptCallback callback);
BOOL HwConnectDevice(HwDevice* device, const char* name);
BOOL HwDisconnectDevice(HwDevice* device);
BOOL HwDeleteDevice(HwDevice* device);
BOOL CommonDestroyDevice(HwDevice* device);
BOOL HwSetProperty(HwDevice* device, uint32_t id, uint32_t value);
BOOL HwGetProperty(HwDevice* device, uint32_t id, uint32_t* value);
BOOL HwStartDevice(const char* name);
BOOL HwStopDevice(const char* name);
BOOL HwIsDeviceRunning(const char* name);

HwOpQueue* HwAllocateOpQueue(uint32_t kind, uint32_t capacity, uint32_t extra);
BOOL HwDeleteOpQueue(HwOpQueue* queue);
void* HwGetQueueBuffer(HwOpQueue* queue);
BOOL HwEnableQueueOption(HwOpQueue* queue, uint32_t option, BOOL on);
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
BOOL HwQueueWhileInpAnd(HwOpQueue* queue, uint32_t a1, uint32_t a2, uint32_t a3, uint32_t a4,
                        uint32_t a5);
BOOL HwQueueWhileInpEqual(HwOpQueue* queue, uint32_t a1, uint32_t a2, uint32_t a3, uint32_t a4,
                          uint32_t a5, uint32_t a6);
BOOL HwQueueLoopBack(HwOpQueue* queue);
BOOL HwQueueBreakIfAnd(HwOpQueue* queue, uint32_t a1, uint32_t a2);
BOOL HwExecute(HwDevice* device, HwOpQueue* queue);
uint8_t HwInp(HwDevice* device, uint32_t port);
uint16_t HwInpw(HwDevice* device, uint32_t port);
uint32_t HwInpl(HwDevice* device, uint32_t port);
BOOL HwOutp(HwDevice* device, uint32_t port, uint8_t value);
BOOL HwOutpw(HwDevice* device, uint32_t port, uint16_t value);
BOOL HwOutpl(HwDevice* device, uint32_t port, uint32_t value);
BOOL HwAutoIncReadPort(HwDevice* device, uint32_t a1, uint32_t a2, void* buffer, uint32_t length,
                       uint32_t width);
BOOL HwAutoIncWritePort(HwDevice* device, uint32_t a1, uint32_t a2, const void* buffer,
                        uint32_t length, uint32_t width);
BOOL HwMapPorts(HwDevice* device, uint32_t a1, uint32_t a2, uint32_t* value);
BOOL HwMapPortsEx(HwDevice* device, uint32_t a1, uint32_t a2, uint32_t a3, uint32_t a4,
                  uint32_t* value);
BOOL HwUnmapPorts(HwDevice* device, uint32_t value);
BOOL HwGetBusDataByOffset(HwDevice* device, uint32_t offset, void* buffer, uint32_t length);
BOOL HwSetBusDataByOffset(HwDevice* device, uint32_t offset, const void* data, uint32_t length);

/* short: zeroes the 68-byte short record; returns 0. */
int HwZeroDeviceConfig(HwDeviceConfig* config);
BOOL HwConfigurePortRange(HwDeviceConfig* config, uint32_t base, uint32_t count);
BOOL HwConfigureInterrupt(HwDeviceConfig* config, uint32_t level);
BOOL HwConfigureIsrOp(HwDeviceConfig* config, uint32_t op, uint32_t offset, uint32_t data);
/* short: FALSE, writing nothing, unless the record is full. */
BOOL HwConfigureIsrIdOp(HwDeviceConfig* config, uint32_t op, uint32_t offset, uint32_t mask,
                        uint32_t value);
BOOL HwConfigureMemRange(HwDeviceConfig* config, uint32_t base, uint32_t count);
BOOL HwConfigureIgnoreConflicts(HwDeviceConfig* config, BOOL flag);
/* short: FALSE, writing nothing, unless the record is full. */
BOOL HwConfigureMemoryIo(HwDeviceConfig* config, BOOL flag);
/* short */
BOOL HwConfigureDevice(const char* name, const HwDeviceConfig* config);
/* short */
BOOL HwGetDeviceConfig(const char* name, HwDeviceConfig* config);
/* short */
BOOL HwEnumerateDevices(uint32_t index, char* name, HwDeviceConfig* config);
BOOL HwDeleteDeviceConfiguration(const char* name);
BOOL HwIsDriverConfigured(void);
BOOL HwConfigureDriver(void);

#ifdef __cplusplus
}
#endif

#endif
