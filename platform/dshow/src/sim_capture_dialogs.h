#pragma once
// The property pages and Video for Windows dialogs of a simulated capture
// filter: a part of the filter, counted with it.
#include <dshow/property_pages.h>

namespace dshow::sim {

class SimCaptureFilter;

class CaptureDialogs final : public ISpecifyPropertyPages, public IAMVfwCaptureDialogs {
public:
    explicit CaptureDialogs(SimCaptureFilter& filter) : filter_(filter) { }

    HRESULT QueryInterface(const GUID& iid, void** out) override;
    uint32_t AddRef() override;
    uint32_t Release() override;

    // The amplifier and camera-control pages, those the device has.
    HRESULT GetPages(CAUUID* pages) override;
    // The source dialog shows the filter's own pages, the format dialog the
    // capture pin's stream format.
    HRESULT HasDialog(int32_t dialog) override;
    HRESULT ShowDialog(int32_t dialog, void* owner) override;

private:
    SimCaptureFilter& filter_;
};

} // namespace dshow::sim
