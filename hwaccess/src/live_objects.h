#pragma once
// The devices, memory objects and threads the library made and has not yet
// freed. Every function checks the handle it is given here before it reads it,
// so that a deleted object, a stray pointer or an object of another kind fails
// with ERROR_INVALID_HANDLE instead of being used.
#include <hwaccess/hw_types.h>

namespace hw {

// A NewDevice is a device record HwNewDevice allocated, the only kind of
// record the library may free; it answers as a Device too.
enum class ObjectKind { Device, NewDevice, Memory, Thread };

/// False when memory is short.
bool AddLiveObject(const void* object, ObjectKind kind);
void RemoveLiveObject(const void* object);
/// Whether `object` was added as `kind` and not removed since; when not, the
/// last error becomes ERROR_INVALID_HANDLE (ERROR_INVALID_PARAMETER for null).
bool IsLiveObject(const void* object, ObjectKind kind);

/// Records `target` (live, or null) as the object that `object` works
/// through (a memory object's device, a device's service thread): the target
/// as it is now, which a later object at its address is not.
void Bind(const void* object, const void* target);
/// Whether `target` is live as `kind` and is the very object Bind recorded for
/// `object`; when not, the last error becomes ERROR_INVALID_HANDLE.
bool IsBound(const void* object, const void* target, ObjectKind kind);

inline bool IsLive(const HwDevice* device) { return IsLiveObject(device, ObjectKind::Device); }
inline bool IsLive(const HwMemory* memory) { return IsLiveObject(memory, ObjectKind::Memory); }
inline bool IsLive(const HwThread* thread) { return IsLiveObject(thread, ObjectKind::Thread); }

} // namespace hw
