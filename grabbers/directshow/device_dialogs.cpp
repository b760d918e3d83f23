#include "device_dialogs.h"

#include <dlfcn.h>
#include <strings.h>

#include "adapt_media_type.h"
#include "capture_graph.h"
#include "low_error.h"
#include <dshow/com.h>
#include <dshow/controls.h>
#include <dshow/property_pages.h>
#include <fgint/values.h>

namespace directshow {
namespace {

using namespace dshow;

enum DialogNumber {
    kCaptureFilter = 0,
    kCapturePin = 1,
    kPreviewPin = 2,
    kCrossbar = 3,
    kSecondCrossbar = 4,
    kTvTuner = 6,
    kVfwSource = 7,
    kVfwFormat = 8
};

struct Dialog {
    const char* name;
    int number;
};

constexpr Dialog kDialogs[] = {
    {"capture_filter_dialog", kCaptureFilter},   {"capture_pin_dialog", kCapturePin},
    {"preview_pin_dialog", kPreviewPin},         {"crossbar_dialog", kCrossbar},
    {"second_crossbar_dialog", kSecondCrossbar}, {"tv_tuner_dialog", kTvTuner},
    {"vfw_source_dialog", kVfwSource},           {"vfw_format_dialog", kVfwFormat},
};

const Dialog* FindDialog(const char* name)
{
    for (const Dialog& d : kDialogs)
        if (strcasecmp(d.name, name) == 0)
            return &d;
    return nullptr;
}

// A device without the object is no failure: only other errors are printed,
// numbered by the step (a FindInterface by the dialog it looks for).
void Report(const char* step, int n, HRESULT hr)
{
    if (hr != E_NOINTERFACE && hr != VFW_E_NOT_FOUND)
        LowError("Error in GetISpecifyPropertyPages(): %s(%d) failed! (error %8X)", step, n,
                 Code(hr));
}

ComPtr<IUnknown> Find(const CIODirectShow& r, int step, const GUID& category, const GUID* type,
                      IBaseFilter* filter, const GUID& iid)
{
    void* found = nullptr;
    if (const HRESULT hr = r.capture_builder->FindInterface(&category, type, filter, iid, &found);
        FAILED(hr)) {
        Report("FindInterface", step, hr);
        return {};
    }
    return ComPtr<IUnknown>::Attach(static_cast<IUnknown*>(found));
}

ComPtr<IUnknown> StreamConfig(const CIODirectShow& r, int number, const GUID& category)
{
    IBaseFilter* source = r.source_filter.get();
    ComPtr<IUnknown> config =
        Find(r, number, category, &MEDIATYPE_Interleaved, source, IAMStreamConfig::kIid);
    return config ? config
                  : Find(r, number, category, &MEDIATYPE_Video, source, IAMStreamConfig::kIid);
}

ComPtr<IUnknown> Upstream(const CIODirectShow& r, int number, IBaseFilter* filter, const GUID& iid)
{
    return Find(r, number, LOOK_UPSTREAM_ONLY, nullptr, filter, iid);
}

// The object whose property pages dialog `number` shows.
ComPtr<IUnknown> DialogObject(const CIODirectShow& r, int number)
{
    IBaseFilter* source = r.source_filter.get();
    switch (number) {
    case kCaptureFilter:
        return ComPtr<IUnknown>(source);
    case kCapturePin:
        return StreamConfig(r, number, PIN_CATEGORY_CAPTURE);
    case kPreviewPin:
        return StreamConfig(r, number, PIN_CATEGORY_PREVIEW);
    case kCrossbar:
        return Upstream(r, kCrossbar, source, IAMCrossbar::kIid);
    case kSecondCrossbar: {
        const ComPtr<IUnknown> first = Upstream(r, kCrossbar, source, IAMCrossbar::kIid);
        if (!first)
            return {};
        ComPtr<IBaseFilter> filter;
        if (const HRESULT hr = first->QueryInterface(IBaseFilter::kIid, PutVoid(&filter));
            FAILED(hr)) {
            Report("QueryInterface", 2, hr);
            return {};
        }
        return Upstream(r, kSecondCrossbar, filter.get(), IAMCrossbar::kIid);
    }
    case kTvTuner:
        return Upstream(r, kTvTuner, source, IAMTVTuner::kIid);
    }
    return {};
}

ComPtr<ISpecifyPropertyPages> PagesOf(IUnknown* object)
{
    ComPtr<ISpecifyPropertyPages> pages;
    if (const HRESULT hr = object->QueryInterface(ISpecifyPropertyPages::kIid, PutVoid(&pages));
        FAILED(hr))
        Report("QueryInterface", 1, hr);
    return pages;
}

int32_t VfwDialog(int number)
{
    return number == kVfwSource ? VfwCaptureDialog_Source : VfwCaptureDialog_Format;
}

// The capture filter's Video for Windows dialogs when it has dialog `number`.
ComPtr<IAMVfwCaptureDialogs> VfwDialogs(const CIODirectShow& r, int number)
{
    ComPtr<IAMVfwCaptureDialogs> dialogs;
    if (const HRESULT hr =
            r.source_filter->QueryInterface(IAMVfwCaptureDialogs::kIid, PutVoid(&dialogs));
        FAILED(hr)) {
        Report("QueryInterface", 1, hr);
        return {};
    }
    return dialogs->HasDialog(VfwDialog(number)) == S_OK ? dialogs : nullptr;
}

// The pages of dialog `number` (with `*object` theirs); false when it has none.
bool PageList(const CIODirectShow& r, int number, ComPtr<IUnknown>* object, CAUUID* list)
{
    *list = {0, nullptr};
    *object = DialogObject(r, number);
    const ComPtr<ISpecifyPropertyPages> pages = *object ? PagesOf(object->get()) : nullptr;
    return pages && SUCCEEDED(pages->GetPages(list)) && list->cElems > 0;
}

bool Available(const CIODirectShow& r, int number)
{
    if (number >= kVfwSource)
        return bool(VfwDialogs(r, number));
    ComPtr<IUnknown> object;
    CAUUID list{};
    const bool available = PageList(r, number, &object, &list);
    const TaskMemory<GUID> pages(list.pElems);
    return available;
}

// The dialog library brings Qt into the process: it is loaded only when a
// dialog is to be shown, and stays for the process's life (Qt is not unloaded).
// Loading it installs the presenter that the dialogs go through.
void LoadDialogLibrary()
{
    static void* const library = dlopen("libdshow_dialogs.so", RTLD_NOW | RTLD_LOCAL);
    (void)library;
}

// The property frame's answer; a Video for Windows dialog's is not looked at.
HRESULT ShowDialog(const CIODirectShow& r, int number)
{
    LoadDialogLibrary();
    if (number >= kVfwSource) {
        if (const ComPtr<IAMVfwCaptureDialogs> dialogs = VfwDialogs(r, number))
            dialogs->ShowDialog(VfwDialog(number), nullptr);
        return S_OK;
    }
    ComPtr<IUnknown> object;
    CAUUID list{};
    const bool found = PageList(r, number, &object, &list);
    const TaskMemory<GUID> pages(list.pElems);
    if (!found)
        return E_FAIL;
    return PresentFrame(nullptr, object.get(), list.cElems, list.pElems);
}

} // namespace

FGstatus AvailableDialogs(const CIODirectShow& r, std::vector<Vcpar>* answer)
{
    answer->clear();
    for (const Dialog& d : kDialogs)
        if (Available(r, d.number))
            answer->push_back(fg::Text(d.name));
    return FG_SUCCESS;
}

FGstatus OpenDialog(CIODirectShow& r, FGInstance* fginst, const Vcpar* values, int32_t num)
{
    const char* name = nullptr;
    if (num < 1 || fg::TextOf(values, &name) != FG_SUCCESS)
        return FG_ERR_PARAM_TYPE;
    const Dialog* dialog = FindDialog(name);
    if (!dialog)
        return FG_ERR_PARAM_VALUE;
    if (!Available(r, dialog->number))
        return FG_ERR_PARAM_UNKNOWN;
    DisconnectGraph(r);
    if (const HRESULT hr = ShowDialog(r, dialog->number); FAILED(hr))
        LowError("Error in OpenDialog(): OleCreatePropertyFrame() failed! (error %8X)", Code(hr));
    else
        AdaptToMediaType(r, fginst);
    ConnectFilterGraph(r, fginst->port);
    return FG_SUCCESS;
}

} // namespace directshow
