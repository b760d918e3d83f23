#pragma once
// The in-process server side: factory templates, the module's object and
// lock counts, and registration of the classes in the registry.
#include <atomic>
#include <span>
#include <string>

#include <dshow/export.h>
#include <dshow/unknown.h>

namespace dshow {

// One class a server makes: its name, id and create function. The create
// function returns a new object with no reference yet, or null with the
// reason in `*result`.
struct FactoryTemplate {
    const wchar_t* name;
    GUID clsid;
    IUnknown* (*create)(ServerModule* module, HRESULT* result);
};

class DSHOW_API ServerModule {
public:
    explicit ServerModule(std::span<const FactoryTemplate> templates);

    // DllGetClassObject: the class factory of `clsid`, else
    // CLASS_E_CLASSNOTAVAILABLE.
    HRESULT GetClassObject(const GUID& clsid, const GUID& iid, void** out);
    // DllCanUnloadNow: S_OK when no object of the server and no lock is alive.
    HRESULT CanUnloadNow() const;
    // Writes "CLSID\{id}" (default value the class name) and its
    // "InprocServer32" (default value `module_path`, "ThreadingModel"
    // "Both") for each class under the registry's classes root.
    HRESULT Register(const std::string& module_path) const;
    // Removes those keys.
    HRESULT Unregister() const;

    void ObjectCreated() { ++objects_; }
    void ObjectDestroyed() { --objects_; }
    void Lock(bool lock) { locks_ += lock ? 1 : -1; }

private:
    std::span<const FactoryTemplate> templates_;
    std::atomic<long> objects_{0};
    std::atomic<long> locks_{0};
};

// The full path of the loaded library that holds `address`.
DSHOW_API std::string ModulePathOf(const void* address);

// How often any server registered its classes in this process.
DSHOW_API int ServerRegistrations();

} // namespace dshow
