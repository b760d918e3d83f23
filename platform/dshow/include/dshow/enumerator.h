#pragma once
// The enumerators of the stand-in's lists (pins, device monikers): one shape
// over the kind of item they hand out.
#include <cstdint>

#include <dshow/unknown.h>

namespace dshow {

template <class Item, uint32_t IidNumber> struct IEnum : Interface<IUnknown, IidNumber> {
    // Up to `count` items with a reference each; S_FALSE when fewer remain.
    virtual HRESULT Next(uint32_t count, Item** items, uint32_t* fetched) = 0;
    virtual HRESULT Reset() = 0;
};

} // namespace dshow
