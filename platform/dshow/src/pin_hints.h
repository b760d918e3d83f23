#pragma once
// What the capture graph builder learns from the pins of simulated devices.
#include <string>

#include <dshow/filters.h>

namespace dshow {

// A pin's category (PIN_CATEGORY_CAPTURE, PIN_CATEGORY_ANALOGVIDEOIN ...).
struct IPinCategory : Interface<IUnknown, 0x7F000001> {
    virtual GUID Category() = 0;
};

// A capture pin that is rendered through a Smart Tee.
struct ISmartTeeRequest : Interface<IUnknown, 0x7F000002> {
    virtual bool NeedsSmartTee() = 0;
};

// An input pin fed by a device filter of its own (a crossbar, a tuner),
// which the builder adds to the graph and connects when it looks upstream.
struct IUpstreamDevice : Interface<IUnknown, 0x7F000003> {
    // The upstream filter (the same one at every call), the name to add it
    // with, and its output pin to connect to this pin (null: left unconnected).
    virtual HRESULT MakeUpstream(ComPtr<IBaseFilter>* filter, std::wstring* name,
                                 ComPtr<IPin>* output) = 0;
};

// An analogue video output pin of a card's filter: what it carries.
struct IAnalogSignal : Interface<IUnknown, 0x7F000004> {
    // The scene of the picture (sim::ReferencePicture), or sim::kNoSignal.
    virtual int32_t Scene() = 0;
};

} // namespace dshow
