#pragma once
// Walking the pins of filters, shared by the graph and the capture builder.
#include <functional>
#include <vector>

#include <dshow/filters.h>

namespace dshow {

// Every pin of `filter`, in EnumPins order.
std::vector<ComPtr<IPin>> PinsOf(IBaseFilter* filter);

// The filter that owns `pin`.
ComPtr<IBaseFilter> FilterOf(IPin* pin);

// The pin connected to `pin`, or null.
ComPtr<IPin> ConnectedPin(IPin* pin);

PIN_DIRECTION DirectionOf(IPin* pin);

} // namespace dshow
