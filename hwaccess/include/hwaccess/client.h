#pragma once
// The hardware access library as programs link it: device connections, driver
// properties and devices, op queues and port access, block and bus transfers,
// interrupt service, memory objects, and device configuration with the full
// 96-byte record. The functions are listed, with what each does, in
// hwaccess/hw_functions.def; the shared library Qnlo34 exports them as C
// (hwaccess/qnlo34.h).
#include <cstdarg>

#include "hwaccess/export.h"
#include "hwaccess/hw_thread.h"
#include "hwaccess/hw_types.h"

namespace hw {

#define HW_FUNCTION(form, result, name, parameters, arguments) HWCLIENT_API result name parameters;
#include "hwaccess/hw_functions.def"
#undef HW_FUNCTION

/// HwTrace with its arguments as a va_list.
HWCLIENT_API void HwTraceV(const char* format, va_list args);

/// Whether a configuration record is the full 96-byte one: its size word is
/// exactly 96.
inline bool IsFullConfig(const HwDeviceConfig& config)
{
    return config.recordSize == HW_FULL_CONFIG_SIZE;
}

} // namespace hw
