#include "sim_capture_dialogs.h"

#include <vector>

#include "property_page_list.h"
#include "sim_capture.h"

namespace dshow::sim {
namespace {

std::vector<GUID> FilterPages(DeviceState& device)
{
    return device.With([](const DeviceConfig& c) {
        std::vector<GUID> pages;
        if (!c.amplifier.empty())
            pages.push_back(CLSID_VideoProcAmpPropertyPage);
        if (!c.camera_control.empty())
            pages.push_back(CLSID_CameraControlPropertyPage);
        return pages;
    });
}

} // namespace

HRESULT CaptureDialogs::QueryInterface(const GUID& iid, void** out)
{
    return filter_.QueryInterface(iid, out);
}

uint32_t CaptureDialogs::AddRef() { return filter_.AddRef(); }

uint32_t CaptureDialogs::Release() { return filter_.Release(); }

HRESULT CaptureDialogs::GetPages(CAUUID* pages)
{
    return PageListOut(FilterPages(filter_.Device()), pages);
}

HRESULT CaptureDialogs::HasDialog(int32_t dialog)
{
    const int32_t offered = filter_.Device().With([](const DeviceConfig& c) {
        return c.vfw_dialogs & (VfwCaptureDialog_Source | VfwCaptureDialog_Format);
    });
    return (dialog == VfwCaptureDialog_Source || dialog == VfwCaptureDialog_Format) &&
                   (offered & dialog)
               ? S_OK
               : S_FALSE;
}

HRESULT CaptureDialogs::ShowDialog(int32_t dialog, void*)
{
    if (HasDialog(dialog) != S_OK)
        return E_INVALIDARG;
    if (filter_.State() != State_Stopped)
        return VFW_E_NOT_STOPPED;
    if (dialog == VfwCaptureDialog_Format) {
        const GUID format[] = {CLSID_VideoStreamConfigPropertyPage};
        return PresentFrame(L"Video Format", static_cast<IPin*>(filter_.Pin(0)), 1, format);
    }
    const std::vector<GUID> pages = FilterPages(filter_.Device());
    return PresentFrame(L"Video Source", static_cast<IBaseFilter*>(&filter_),
                        uint32_t(pages.size()), pages.data());
}

} // namespace dshow::sim
