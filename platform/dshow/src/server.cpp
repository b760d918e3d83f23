#include <dshow/server.h>

#include <dlfcn.h>

#include <dshow/com.h>
#include <dshow/platform.h>
#include <registry/registry.h>

namespace dshow {
namespace {

std::atomic<int> g_registrations{0};

class ClassFactory : public ComBase<IClassFactory> {
public:
    ClassFactory(const FactoryTemplate& tmpl, ServerModule* module)
        : ComBase(module), template_(tmpl), module_(module)
    {
    }

    HRESULT CreateInstance(IUnknown* outer, const GUID& iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        HRESULT result = S_OK;
        IUnknown* object = template_.create(module_, &result);
        if (!object)
            return FAILED(result) ? result : E_OUTOFMEMORY;
        const auto held = ComPtr<IUnknown>(object);
        return held->QueryInterface(iid, out);
    }

    HRESULT LockServer(bool lock) override
    {
        module_->Lock(lock);
        return S_OK;
    }

private:
    const FactoryTemplate& template_;
    ServerModule* module_;
};

std::string ClassKey(const GUID& clsid) { return "CLSID\\" + GuidText(clsid); }

HRESULT FromStatus(registry::Status status) { return HRESULT_FROM_WIN32(status); }

} // namespace

ServerModule::ServerModule(std::span<const FactoryTemplate> templates) : templates_(templates) { }

HRESULT ServerModule::GetClassObject(const GUID& clsid, const GUID& iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    for (const FactoryTemplate& t : templates_)
        if (t.clsid == clsid) {
            const auto factory = MakeCom<ClassFactory>(t, this);
            return factory->QueryInterface(iid, out);
        }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT ServerModule::CanUnloadNow() const { return objects_ == 0 && locks_ == 0 ? S_OK : S_FALSE; }

HRESULT ServerModule::Register(const std::string& module_path) const
{
    ++g_registrations;
    const std::shared_ptr<registry::Registry> system = registry::System();
    registry::Registry& reg = *system;
    for (const FactoryTemplate& t : templates_) {
        registry::HKEY key = 0, server = 0;
        registry::Status status =
            reg.CreateKey(registry::kClassesRoot, ClassKey(t.clsid), registry::kKeyAllAccess, &key);
        if (status != win32::kSuccess)
            return FromStatus(status);
        status = reg.SetString(key, "", registry::ValueType::Sz, WideToAnsi(t.name));
        if (status == win32::kSuccess)
            status = reg.CreateKey(key, "InprocServer32", registry::kKeyAllAccess, &server);
        reg.CloseKey(key);
        if (status != win32::kSuccess)
            return FromStatus(status);
        status = reg.SetString(server, "", registry::ValueType::Sz, module_path);
        if (status == win32::kSuccess)
            status = reg.SetString(server, "ThreadingModel", registry::ValueType::Sz, "Both");
        reg.CloseKey(server);
        if (status != win32::kSuccess)
            return FromStatus(status);
    }
    return FromStatus(reg.Flush(registry::kClassesRoot));
}

HRESULT ServerModule::Unregister() const
{
    const std::shared_ptr<registry::Registry> system = registry::System();
    registry::Registry& reg = *system;
    for (const FactoryTemplate& t : templates_) {
        const std::string key = ClassKey(t.clsid);
        registry::Status status = reg.DeleteKey(registry::kClassesRoot, key + "\\InprocServer32");
        if (status == win32::kSuccess || status == win32::kFileNotFound)
            status = reg.DeleteKey(registry::kClassesRoot, key);
        if (status != win32::kSuccess && status != win32::kFileNotFound)
            return FromStatus(status);
    }
    return FromStatus(reg.Flush(registry::kClassesRoot));
}

std::string ModulePathOf(const void* address)
{
    Dl_info info{};
    if (!dladdr(address, &info) || !info.dli_fname)
        return {};
    return info.dli_fname;
}

int ServerRegistrations() { return g_registrations; }

} // namespace dshow
