#pragma once
// The hardware access library as programs link it: device connections, driver
// properties and devices, op queues and port access, block and bus transfers,
// interrupt service, memory objects, and device configuration with the full
// 96-byte record. The functions are listed, with what each does, in
// hwaccess/hw_functions.def; the shared library Qnlo34 exports them as C
// (hwaccess/qnlo34.h).
#include <cstdarg>

#include <hwaccess/export.h>
#include <hwaccess/hw_thread.h>
#include <hwaccess/hw_types.h>

namespace hw {

#define HW_FUNCTION(form, result, name, parameters, arguments) HWCLIENT_API result name parameters;
#include <hwaccess/hw_functions.def>
#undef HW_FUNCTION

/// HwTrace with its arguments as a va_list.
HWCLIENT_API void HwTraceV(const char* format, va_list args);

/// Whether `device` holds a connection to the driver (HwConnectDevice succeeded
/// and it was not disconnected since); false, with ERROR_INVALID_HANDLE, for a
/// record that is not live.
HWCLIENT_API bool IsDeviceConnected(const HwDevice* device);

/// Whether the program reaches the I/O ports itself, as it does on Windows 9x,
/// rather than through a connected device; asks the driver each time.
HWCLIENT_API bool PortsAreDirect();
/// A byte of the I/O bus read or written directly, where PortsAreDirect.
HWCLIENT_API uint8_t DirectInp(uint32_t port);
HWCLIENT_API void DirectOutp(uint32_t port, uint8_t value);

/// Whether a configuration record is the full 96-byte one: its size word is
/// exactly 96.
inline bool IsFullConfig(const HwDeviceConfig& config)
{
    return config.recordSize == HW_FULL_CONFIG_SIZE;
}

} // namespace hw
