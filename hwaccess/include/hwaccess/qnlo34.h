#ifndef HWACCESS_QNLO34_H
#define HWACCESS_QNLO34_H
/* C exports of the shared library Qnlo34, listed in hwaccess/hw_functions.def.
 * Each behaves as its namesake in hwaccess/client.h, except four configuration
 * record functions, which work on exactly the 68-byte short record (words
 * 0-16) and never read or write a caller's bytes from 68 on, whatever they hold:
 * - HwZeroDeviceConfig zeroes the short record;
 * - HwConfigureDevice stores the caller's short record over a reset full
 *   record: no IsrId values, no MemoryIo, DmaBufSize 0;
 * - HwGetDeviceConfig and HwEnumerateDevices copy out only the short record.
 * Full records belong to the client part. HwConfigureIsrIdOp and
 * HwConfigureMemoryIo would set words of the full record, past the short
 * record the caller may hold: they answer FALSE, reading and writing nothing. */
#include <stdarg.h>

#include <hwaccess/hw_thread.h>
#include <hwaccess/hw_types.h>

#define QNLO34_EXPORT __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

#define HW_FUNCTION(form, result, name, parameters, arguments) QNLO34_EXPORT result name parameters;
#include <hwaccess/hw_functions.def>
#undef HW_FUNCTION

#ifdef __cplusplus
}
#endif

#endif
