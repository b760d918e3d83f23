// The system device enumerator over the simulated devices: one moniker a
// device, its property bag with the friendly name, and binding to its
// capture filter.
#include "builtins.h"
#include "device_state.h"
#include <dshow/devices.h>
#include <dshow/platform.h>

namespace dshow {
namespace {

using sim::DeviceConfig;
using sim::DeviceState;

class DevicePropertyBag : public ComBase<IPropertyBag> {
public:
    explicit DevicePropertyBag(std::wstring name) : name_(std::move(name)) { }

    HRESULT Read(const wchar_t* name, Variant* value) override
    {
        if (!name || !value)
            return E_POINTER;
        if (std::wstring_view(name) != L"FriendlyName")
            return E_INVALIDARG;
        value->vt = Variant::VT_BSTR;
        value->bstrVal = name_;
        return S_OK;
    }

private:
    std::wstring name_;
};

class DeviceMoniker : public ComBase<IMoniker> {
public:
    explicit DeviceMoniker(std::shared_ptr<DeviceState> device) : device_(std::move(device)) { }

    HRESULT BindToObject(const GUID& iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        const auto [fails, exception] = device_->With([](const DeviceConfig& c) {
            return std::pair{c.bind_fails, c.bind_exception};
        });
        if (exception)
            throw HardwareException{exception};
        if (fails)
            return E_FAIL;
        return sim::MakeCaptureFilter(device_)->QueryInterface(iid, out);
    }

    HRESULT BindToStorage(const GUID& iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        const auto [bag, name] = device_->With([](const DeviceConfig& c) {
            return std::pair{c.property_bag, c.name};
        });
        if (bag == sim::PropertyBag::Absent)
            return E_NOINTERFACE;
        if (bag == sim::PropertyBag::Failing)
            return E_FAIL;
        return MakeCom<DevicePropertyBag>(name)->QueryInterface(iid, out);
    }

    HRESULT GetDisplayName(std::wstring* name) override
    {
        if (!name)
            return E_POINTER;
        *name = L"@device:sim:" + device_->With([](const DeviceConfig& c) { return c.name; });
        return S_OK;
    }

private:
    std::shared_ptr<DeviceState> device_;
};

class DeviceMonikers : public ComBase<IEnumMoniker> {
public:
    explicit DeviceMonikers(std::vector<std::shared_ptr<DeviceState>> devices)
        : devices_(std::move(devices))
    {
    }

    HRESULT Next(uint32_t count, IMoniker** monikers, uint32_t* fetched) override
    {
        if (!monikers)
            return E_POINTER;
        uint32_t n = 0;
        HRESULT result = S_OK;
        for (; n < count; ++n) {
            if (sim::NextFails()) {
                result = E_FAIL;
                break;
            }
            if (next_ == devices_.size()) {
                result = S_FALSE;
                break;
            }
            monikers[n] = MakeCom<DeviceMoniker>(devices_[next_++]).Detach();
        }
        if (fetched)
            *fetched = n;
        return result;
    }

    HRESULT Reset() override
    {
        next_ = 0;
        return S_OK;
    }

private:
    std::vector<std::shared_ptr<DeviceState>> devices_;
    std::size_t next_ = 0;
};

class SystemDeviceEnum : public ComBase<ICreateDevEnum> {
public:
    HRESULT CreateClassEnumerator(const GUID& category, IEnumMoniker** monikers, uint32_t) override
    {
        if (!monikers)
            return E_POINTER;
        *monikers = nullptr;
        std::vector<std::shared_ptr<DeviceState>> devices = sim::ListedDevices();
        if (category != CLSID_VideoInputDeviceCategory || devices.empty())
            return S_FALSE;
        *monikers = MakeCom<DeviceMonikers>(std::move(devices)).Detach();
        return S_OK;
    }
};

} // namespace

ComPtr<IUnknown> MakeSystemDeviceEnum()
{
    return ComPtr<IUnknown>(static_cast<ICreateDevEnum*>(new SystemDeviceEnum));
}

} // namespace dshow
