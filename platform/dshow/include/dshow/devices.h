#pragma once
// Finding capture devices (the system device enumerator, monikers and their
// property bags) and the running object table where graphs announce
// themselves.
#include <cstdint>
#include <string>
#include <vector>

#include <dshow/enumerator.h>
#include <dshow/export.h>
#include <dshow/unknown.h>

namespace dshow {

inline constexpr GUID CLSID_VideoInputDeviceCategory = StandInGuid(0x0D000001);

struct Variant {
    enum Type : uint16_t { VT_EMPTY = 0, VT_BSTR = 8 };
    Type vt = VT_EMPTY;
    std::wstring bstrVal;
};

struct IPropertyBag : Interface<IUnknown, 0x02000001> {
    virtual HRESULT Read(const wchar_t* name, Variant* value) = 0;
};

struct IMoniker : Interface<IUnknown, 0x02000002> {
    // The object the moniker names, as interface `iid`.
    virtual HRESULT BindToObject(const GUID& iid, void** out) = 0;
    // The storage of the object (a device's IPropertyBag).
    virtual HRESULT BindToStorage(const GUID& iid, void** out) = 0;
    virtual HRESULT GetDisplayName(std::wstring* name) = 0;
};

using IEnumMoniker = IEnum<IMoniker, 0x02000003>;

struct ICreateDevEnum : Interface<IUnknown, 0x02000004> {
    // The devices of `category`; S_FALSE and a null enumerator when the
    // category has none.
    virtual HRESULT CreateClassEnumerator(const GUID& category, IEnumMoniker** monikers,
                                          uint32_t flags) = 0;
};

struct IRunningObjectTable : Interface<IUnknown, 0x02000005> {
    // Keeps a reference to `object` under `name` until Revoke(*cookie).
    virtual HRESULT Register(uint32_t flags, IUnknown* object, IMoniker* name,
                             uint32_t* cookie) = 0;
    // E_INVALIDARG for a cookie that is not registered.
    virtual HRESULT Revoke(uint32_t cookie) = 0;
};

DSHOW_API HRESULT GetRunningObjectTable(uint32_t reserved, IRunningObjectTable** table);

// A moniker named `delimiter` followed by `item`.
DSHOW_API HRESULT CreateItemMoniker(const wchar_t* delimiter, const wchar_t* item,
                                    IMoniker** moniker);

// What tests see of the running object table: the names registered now, and
// how many Revoke calls named no registration.
DSHOW_API std::vector<std::wstring> RunningObjectNames();
DSHOW_API int FailedRevokes();

} // namespace dshow
