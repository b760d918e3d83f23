#pragma once
// Key handle numbers. However long a process runs, a handle still open is never
// handed out again and no handle ever takes a predefined root's value.
#include <map>

#include <registry/registry.h>

namespace registry {

inline constexpr HKEY kFirstHandle = 0x100;
// The predefined roots start at kClassesRoot: handles stay below them.
inline constexpr HKEY kLastHandle = kClassesRoot - 1;

/// The first number from `*next` on that `open` does not hold, wrapping from
/// kLastHandle back to kFirstHandle; `*next` moves past it. Memory runs out
/// long before two billion handles are open, so a free number is always found.
template <class Handle> HKEY TakeHandleNumber(HKEY* next, const std::map<HKEY, Handle>& open)
{
    for (;;) {
        const HKEY number = *next;
        *next = number == kLastHandle ? kFirstHandle : number + 1;
        if (!open.count(number))
            return number;
    }
}

} // namespace registry
