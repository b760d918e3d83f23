#pragma once
// What the interrupt service may ask of a thread the library made.
#include <hwaccess/hw_types.h>

namespace hw {

/// Whether `thread` is live and was never resumed, so that it can still be
/// started; a thread already resumed (running or ended) fails with
/// ERROR_INVALID_HANDLE.
bool IsSuspended(HwThread* thread);

} // namespace hw
