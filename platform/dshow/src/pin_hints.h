#pragma once
// What the capture graph builder learns from the pins of simulated devices.
#include "dshow/filters.h"

namespace dshow {

// A pin's category (PIN_CATEGORY_CAPTURE, PIN_CATEGORY_ANALOGVIDEOIN ...).
struct IPinCategory : IUnknown {
    static constexpr GUID kIid = StandInGuid(0x7F000001);
    using Base = IUnknown;

    virtual GUID Category() = 0;
};

// A capture pin that is rendered through a Smart Tee.
struct ISmartTeeRequest : IUnknown {
    static constexpr GUID kIid = StandInGuid(0x7F000002);
    using Base = IUnknown;

    virtual bool NeedsSmartTee() = 0;
};

// An input pin fed by a device filter of its own (a crossbar), which the
// builder adds to the graph and connects when it looks upstream.
struct IUpstreamDevice : IUnknown {
    static constexpr GUID kIid = StandInGuid(0x7F000003);
    using Base = IUnknown;

    // The new upstream filter and its output pin to connect to this pin.
    virtual HRESULT MakeUpstream(ComPtr<IBaseFilter>* filter, ComPtr<IPin>* output) = 0;
};

} // namespace dshow
