#ifndef HWACCESS_QNLO34_H
#define HWACCESS_QNLO34_H
/* C exports of the shared library Qnlo34, listed in hwaccess/hw_functions.def.
 * Each behaves as its namesake in hwaccess/client.h, except the record
 * functions: they exchange the 68-byte short record, or the whole 96-byte
 * record when the caller's record is full (hw::IsFullConfig: its recordSize
 * word, bytes 68-71, is exactly 96; a short-form caller's memory must reach
 * that word and may hold anything else there). So:
 * - HwZeroDeviceConfig zeroes the short record;
 * - HwConfigureIsrIdOp and HwConfigureMemoryIo answer FALSE, writing nothing,
 *   unless the record is full;
 * - HwConfigureDevice stores the caller's record over a reset full record;
 * - HwGetDeviceConfig and HwEnumerateDevices leave bytes 68-95 of a short
 *   record untouched. */
#include <stdarg.h>

#include "hwaccess/hw_types.h"

#define QNLO34_EXPORT __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

#define HW_FUNCTION(form, result, name, parameters, arguments) QNLO34_EXPORT result name parameters;
#include "hwaccess/hw_functions.def"
#undef HW_FUNCTION

#ifdef __cplusplus
}
#endif

#endif
