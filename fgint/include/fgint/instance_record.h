// The plug-in's own record of a host instance, bound to it by FGAllocInstance.
#pragma once

#include <cstdint>

#include <fgint/fghelpers.h>
#include <fgint/fgint.h>

namespace fg {

// The record of type `T` that FGAllocInstance bound to `fginst`.
template <typename T> T& Record(FGInstance* fginst)
{
    return *static_cast<T*>(fginst->plugin_instance);
}

// FGAllocInstance's walk: binds `fginst` to the first of `records` (one per slot of `fgclass`,
// in slot order) that `take` takes, and answers that slot; nullptr when `take` refuses them all.
// `take(record)` answers whether the record is free, marking it taken where the plug-in does so
// at allocation.
template <typename Records, typename Take>
FGInstance** BindFreeRecord(Records& records, FGClass* fgclass, FGInstance* fginst, Take take)
{
    int32_t slot = 0;
    for (auto& record : records) {
        if (take(record)) {
            fginst->plugin_instance = &record;
            return fg_instance_slot(fgclass, slot);
        }
        ++slot;
    }
    return nullptr;
}

} // namespace fg
