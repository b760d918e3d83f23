#pragma once
// The filter of the first video input device, bound as a program binds it:
// through the system device enumerator and the device's moniker.
#include <dshow/com.h>
#include <dshow/devices.h>
#include <dshow/filters.h>

// Null when there is no device or it does not bind.
inline dshow::ComPtr<dshow::IBaseFilter> BindFirstDevice()
{
    using namespace dshow;
    ComPtr<ICreateDevEnum> devices;
    ComPtr<IEnumMoniker> monikers;
    ComPtr<IMoniker> moniker;
    ComPtr<IBaseFilter> filter;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, &devices)) ||
        devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers.put(), 0) != S_OK ||
        monikers->Next(1, moniker.put(), nullptr) != S_OK)
        return {};
    moniker->BindToObject(IBaseFilter::kIid, PutVoid(&filter));
    return filter;
}
