// The plug-in's own record of a host instance, bound to it by FGAllocInstance.
#pragma once

#include <fgint/fgint.h>

namespace fg {

// The record of type `T` that FGAllocInstance bound to `fginst`.
template <typename T> T& Record(FGInstance* fginst)
{
    return *static_cast<T*>(fginst->plugin_instance);
}

} // namespace fg
