#pragma once
// What the interrupt service may ask of a thread the library made.
#include <memory>

#include <hwaccess/hw_types.h>

namespace hw {

/// Whether `thread` is live and was never resumed, so that it can still be
/// started; a thread already resumed (running or ended) fails with
/// ERROR_INVALID_HANDLE.
bool IsSuspended(HwThread* thread);

/// What a thread is beyond its handle, whose address a new thread may take
/// once the handle is closed.
using ThreadIdentity = std::shared_ptr<const void>;
/// The identity of a live `thread`.
ThreadIdentity IdentityOf(const HwThread* thread);
/// Whether `thread` is live and is the thread `identity` was taken from; when
/// not, the last error becomes ERROR_INVALID_HANDLE.
bool IsThread(const HwThread* thread, const ThreadIdentity& identity);

} // namespace hw
