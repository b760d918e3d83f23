#pragma once
// The one narrow path from user mode to the driver, shaped like the Win32 calls
// it stands for: open a device by name, synchronous and asynchronous requests,
// cancel, close, and a per-thread last error with the Win32 numbers.
#include <memory>
#include <string_view>

#include <qdriver/c832_card.h>
#include <qdriver/driver.h>
#include <qdriver/export.h>
#include <qdriver/stepper_motor.h>

namespace qdriver {

/// Opens a device path; kInvalidHandle on failure (see LastError).
QDRIVER_API Handle OpenDevice(std::string_view path, uint32_t flags = 0);
/// Sends a request and waits for it; false on failure (see LastError).
QDRIVER_API bool DeviceControl(Handle handle, uint32_t code, const void* in, uint32_t inLength,
                               void* out, uint32_t outLength, uint32_t* returned);
/// Sends a request without waiting: true when it completed at once; false with
/// LastError ERROR_IO_PENDING when `done` will report it later, or another error.
QDRIVER_API bool DeviceControlAsync(Handle handle, uint32_t code, const void* in, uint32_t inLength,
                                    void* out, uint32_t outLength, uint32_t* returned,
                                    Completion done);
/// Aborts the pending requests of a handle.
QDRIVER_API bool CancelRequests(Handle handle);
QDRIVER_API bool CloseDevice(Handle handle);

/// The error of this thread's last failed call.
QDRIVER_API win32::Status LastError();
QDRIVER_API void SetLastError(win32::Status error);

/// The platform id of this system (the driver's personality).
QDRIVER_API int PlatformId();

/// The system's driver around `stepper` on the parallel port at 0x378 and
/// `card` at 0x210 (null: an empty slot): the system registry with the
/// workbench devices provisioned, the parallel port's resources (ports
/// 0x378-0x37F, interrupt 7).
QDRIVER_API DriverOptions SystemDriverOptions(std::shared_ptr<StepperMotor> stepper,
                                              std::shared_ptr<C832Card> card);
/// The driver of this process: the one given to UseDriver, else the system's
/// with a stepper motor and a C-832 card (an empty slot when ONDULA_NO_C832 is
/// set), both on the steady clock.
QDRIVER_API std::shared_ptr<Driver> CurrentDriver();
QDRIVER_API void UseDriver(std::shared_ptr<Driver> driver);

} // namespace qdriver
