#include "device_list.h"

#include <algorithm>
#include <cstdio>

#include "camera_type.h"
#include "low_error.h"
#include <dshow/com.h>
#include <dshow/controls.h>
#include <dshow/filters.h>
#include <dshow/platform.h>

namespace directshow {
namespace {

using namespace dshow;

// Consecutive failures of IEnumMoniker::Next after which a list ends.
constexpr int kMaxNextFailures = 16;

FGstatus OpenEnumerator(ComPtr<IEnumMoniker>* monikers)
{
    CoInitialize(nullptr);
    ComPtr<ICreateDevEnum> devices;
    if (const HRESULT hr = CoCreateInstance(CLSID_SystemDeviceEnum, &devices); FAILED(hr)) {
        LowError("Error %x during creation of system device enumerator", Code(hr));
        return FG_ERR_DEVICE_CALL;
    }
    const HRESULT hr =
        devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers->put(), 0);
    if (FAILED(hr)) {
        LowError("Error %x while creating enumeration moniker", Code(hr));
        return FG_ERR_DEVICE_CALL;
    }
    if (*monikers)
        (*monikers)->Reset();
    return FG_SUCCESS;
}

// The next moniker; false at the end of the list or after too many failures.
bool NextMoniker(IEnumMoniker* monikers, ComPtr<IMoniker>* moniker)
{
    for (int failures = 0; monikers && failures < kMaxNextFailures; ++failures) {
        const HRESULT hr = monikers->Next(1, moniker->put(), nullptr);
        if (hr == S_OK)
            return true;
        if (SUCCEEDED(hr))
            return false;
        LowError("Error %x while retrieving moniker", Code(hr));
    }
    return false;
}

// Hands each video input's moniker to `visit` while it answers true.
template <typename Visit> FGstatus VisitMonikers(Visit&& visit)
{
    ComPtr<IEnumMoniker> monikers;
    if (const FGstatus status = OpenEnumerator(&monikers); status != FG_SUCCESS)
        return status;
    ComPtr<IMoniker> moniker;
    while (NextMoniker(monikers.get(), &moniker) && visit(moniker)) { }
    return FG_SUCCESS;
}

void AddPinCaps(int device, int port, IPin* pin, std::vector<CapsEntry>* entries)
{
    const ComPtr<IAMStreamConfig> config = ComPtr<IPin>(pin).As<IAMStreamConfig>();
    int32_t count = 0, size = 0;
    if (!config || FAILED(config->GetNumberOfCapabilities(&count, &size)))
        return;
    for (int32_t i = 0; i < count && entries->size() < kMaxCapsEntries; ++i) {
        MediaType type;
        VIDEO_STREAM_CONFIG_CAPS caps{};
        if (config->GetStreamCaps(i, &type, &caps) != S_OK || type.majortype != MEDIATYPE_Video)
            continue;
        char norm[64];
        const char* prefix = StandardPrefix(int32_t(caps.VideoStandard));
        if (!prefix) {
            std::snprintf(norm, sizeof norm, "unknown video norm 0x%x ", caps.VideoStandard);
            prefix = norm;
        }
        char text[256];
        std::snprintf(text, sizeof text, "device %d, port %d: %s%s (%dx%d)", device, port, prefix,
                      SubtypeListName(type.subtype).c_str(), caps.InputSize.cx, caps.InputSize.cy);
        entries->push_back({device, port, text, FindSubtype(type.subtype) && prefix != norm});
    }
}

} // namespace

FGstatus ListDevices(std::vector<Device>* devices)
{
    devices->clear();
    return VisitMonikers([&](const ComPtr<IMoniker>& moniker) {
        ComPtr<IPropertyBag> bag;
        const HRESULT hr = moniker->BindToStorage(IPropertyBag::kIid, PutVoid(&bag));
        if (FAILED(hr) && hr != E_NOINTERFACE)
            return true;
        Variant name;
        const bool named =
            bag && SUCCEEDED(bag->Read(L"FriendlyName", &name)) && name.vt == Variant::VT_BSTR;
        devices->push_back(
            {named ? WideToAnsi(name.bstrVal, 1023) : "(no device name available)", moniker});
        return devices->size() < kMaxDevices;
    });
}

FGstatus ListStreamCaps(std::vector<CapsEntry>* entries)
{
    entries->clear();
    int device = 0;
    return VisitMonikers([&](const ComPtr<IMoniker>& moniker) {
        ComPtr<IBaseFilter> filter;
        if (FAILED(moniker->BindToObject(IBaseFilter::kIid, PutVoid(&filter))))
            return true;
        ComPtr<IEnumPins> pins;
        if (SUCCEEDED(filter->EnumPins(pins.put()))) {
            ComPtr<IPin> pin;
            for (int port = 0; pins->Next(1, pin.put(), nullptr) == S_OK; ++port) {
                PIN_DIRECTION direction = PINDIR_INPUT;
                if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == PINDIR_OUTPUT)
                    AddPinCaps(device, port, pin.get(), entries);
            }
        }
        return ++device < kMaxDevices;
    });
}

} // namespace directshow
