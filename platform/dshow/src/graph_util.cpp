#include "graph_util.h"

namespace dshow {

std::vector<ComPtr<IPin>> PinsOf(IBaseFilter* filter)
{
    std::vector<ComPtr<IPin>> pins;
    ComPtr<IEnumPins> list;
    if (!filter || FAILED(filter->EnumPins(list.put())))
        return pins;
    ComPtr<IPin> pin;
    while (list->Next(1, pin.put(), nullptr) == S_OK)
        pins.push_back(pin);
    return pins;
}

ComPtr<IBaseFilter> FilterOf(IPin* pin)
{
    PinInfo info;
    if (!pin || FAILED(pin->QueryPinInfo(&info)))
        return {};
    return info.filter;
}

ComPtr<IPin> ConnectedPin(IPin* pin)
{
    ComPtr<IPin> peer;
    if (pin)
        pin->ConnectedTo(peer.put());
    return peer;
}

PIN_DIRECTION DirectionOf(IPin* pin)
{
    PIN_DIRECTION direction = PINDIR_INPUT;
    pin->QueryDirection(&direction);
    return direction;
}

} // namespace dshow
