#ifndef HWACCESS_HW_THREAD_H
#define HWACCESS_HW_THREAD_H
/* The thread that serves a device's interrupts, as its caller makes it: created
 * suspended with a start routine and its parameter, resumed once (HwEnableIsr
 * does it), waited for with a time limit, its exit code read and its handle
 * closed. Closing the handle of a running thread leaves the thread running to
 * its end; closing one never resumed ends it without running the routine.
 * The functions are listed in hwaccess/hw_functions.def, named Qnlo... */
#include <hwaccess/export.h>
#include <hwaccess/hw_types.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t (*HwThreadStart)(void* parameter);

/* The exit code of a thread that has not ended. */
enum { HW_THREAD_STILL_ACTIVE = 259 };

#ifdef __cplusplus
}

namespace ondula {
class Clock;
}

namespace hw {

/// QnloCreateThread whose waits are timed on `clock` (the steady clock otherwise).
HWCLIENT_API HwThread* QnloCreateThread(HwThreadStart start, void* parameter, ondula::Clock& clock);

} // namespace hw
#endif

#endif
