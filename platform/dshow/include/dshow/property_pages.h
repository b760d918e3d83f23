#pragma once
// Property pages and device dialogs: the pages an object names, the capture
// dialogs of a Video for Windows driver, and the presenter that shows them.
// The presenter is the dialog library (dshow_dialogs), which installs itself
// when it is loaded; without it no dialog can be shown.
#include <cstdint>

#include <dshow/export.h>
#include <dshow/unknown.h>

namespace dshow {

// A counted list of class ids in task memory (CoTaskMemFree of pElems).
struct CAUUID {
    uint32_t cElems;
    GUID* pElems;
};

struct ISpecifyPropertyPages : Interface<IUnknown, 0x04000001> {
    // The class ids of the object's property pages.
    virtual HRESULT GetPages(CAUUID* pages) = 0;
};

// The property pages the stand-in knows, each over one interface of its object.
inline constexpr GUID CLSID_VideoProcAmpPropertyPage = StandInGuid(0x04000101);  // IAMVideoProcAmp
inline constexpr GUID CLSID_CameraControlPropertyPage = StandInGuid(0x04000102); // IAMCameraControl
inline constexpr GUID CLSID_VideoStreamConfigPropertyPage =
    StandInGuid(0x04000103);                                                // IAMStreamConfig
inline constexpr GUID CLSID_CrossbarPropertyPage = StandInGuid(0x04000104); // IAMCrossbar
inline constexpr GUID CLSID_TVTunerPropertyPage = StandInGuid(0x04000105);  // IAMTVTuner

enum : int32_t {
    VfwCaptureDialog_Source = 1,
    VfwCaptureDialog_Format = 2,
    VfwCaptureDialog_Display = 4
};

struct IAMVfwCaptureDialogs : Interface<IUnknown, 0x04000002> {
    // S_OK when the driver has dialog `dialog` (a VfwCaptureDialog_ value), else S_FALSE.
    virtual HRESULT HasDialog(int32_t dialog) = 0;
    // Shows it modally (`owner` may be null): S_OK once it is closed;
    // VFW_E_NOT_STOPPED while the filter streams, E_INVALIDARG for a dialog
    // the driver lacks, E_FAIL when no dialog can be shown.
    virtual HRESULT ShowDialog(int32_t dialog, void* owner) = 0;
};

// Shows a modal frame titled `caption` with `count` pages over `object`
// and applies them when the user accepts: S_OK, or the failure.
using FramePresenter = HRESULT (*)(const wchar_t* caption, IUnknown* object, uint32_t count,
                                   const GUID* pages);

// Installs the presenter (null: none).
DSHOW_API void SetFramePresenter(FramePresenter presenter);

// The installed presenter's answer; E_FAIL when none is installed.
DSHOW_API HRESULT PresentFrame(const wchar_t* caption, IUnknown* object, uint32_t count,
                               const GUID* pages);

} // namespace dshow
