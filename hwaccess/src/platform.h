#pragma once
// The platform id, read once from the system and cached (ids 1 and 2 only).
#include <qdriver/wire.h>

namespace hw {

/// The cached platform id, or the system's answer when it is neither 1 nor 2.
int PlatformIdCached();
/// Forgets the cached id, for a process that changes its driver (tests).
void ForgetPlatformId();
/// The driver platform whose conventions the library follows: 9x on Windows 9x,
/// NT otherwise.
inline int Personality(bool on95)
{
    return on95 ? qdriver::wire::kPlatform9x : qdriver::wire::kPlatformNt;
}

} // namespace hw
