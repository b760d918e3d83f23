#include <dshow/com.h>

#include <dlfcn.h>

#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "builtins.h"
#include <registry/registry.h>

namespace dshow {
namespace {

// A loaded server library, closed with the process.
class ServerLibrary {
public:
    explicit ServerLibrary(void* handle) : handle_(handle) { }
    ServerLibrary(ServerLibrary&& other) noexcept : handle_(std::exchange(other.handle_, nullptr))
    {
    }
    ServerLibrary(const ServerLibrary&) = delete;
    ServerLibrary& operator=(const ServerLibrary&) = delete;
    ~ServerLibrary()
    {
        if (handle_)
            dlclose(handle_);
    }
    void* Symbol(const char* name) const { return dlsym(handle_, name); }

private:
    void* handle_;
};

struct Servers {
    std::mutex mutex;
    std::map<std::string, ServerLibrary> loaded; // by path
};

Servers& LoadedServers()
{
    static Servers servers;
    return servers;
}

// The registered server of `clsid`, loaded once.
HRESULT ServerEntry(const GUID& clsid, DllGetClassObjectProc* entry)
{
    const std::shared_ptr<registry::Registry> reg = registry::System();
    registry::HKEY key = 0;
    const std::string path = "CLSID\\" + GuidText(clsid) + "\\InprocServer32";
    if (reg->OpenKey(registry::kClassesRoot, path, registry::kKeyRead, &key) != win32::kSuccess)
        return REGDB_E_CLASSNOTREG;
    char file[4096];
    uint32_t size = sizeof file;
    registry::ValueType type = registry::ValueType::None;
    const registry::Status status = reg->QueryValue(key, "", &type, file, &size);
    reg->CloseKey(key);
    if (status != win32::kSuccess || type != registry::ValueType::Sz || size == 0)
        return REGDB_E_CLASSNOTREG;
    file[size - 1] = '\0';

    Servers& servers = LoadedServers();
    std::lock_guard guard(servers.mutex);
    auto it = servers.loaded.find(file);
    if (it == servers.loaded.end()) {
        void* handle = dlopen(file, RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return E_FAIL;
        it = servers.loaded.emplace(file, ServerLibrary(handle)).first;
    }
    *entry = reinterpret_cast<DllGetClassObjectProc>(it->second.Symbol("DllGetClassObject"));
    return *entry ? S_OK : E_FAIL;
}

ComPtr<IUnknown> MakeBuiltIn(const GUID& clsid)
{
    if (clsid == CLSID_FilterGraph)
        return MakeFilterGraph();
    if (clsid == CLSID_CaptureGraphBuilder2)
        return MakeCaptureGraphBuilder();
    if (clsid == CLSID_SystemDeviceEnum)
        return MakeSystemDeviceEnum();
    return {};
}

} // namespace

HRESULT CoInitialize(void*)
{
    thread_local bool initialised = false;
    return std::exchange(initialised, true) ? S_FALSE : S_OK;
}

HRESULT CoCreateInstance(const GUID& clsid, IUnknown* outer, uint32_t, const GUID& iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    if (const ComPtr<IUnknown> object = MakeBuiltIn(clsid))
        return object->QueryInterface(iid, out);
    DllGetClassObjectProc entry = nullptr;
    if (const HRESULT hr = ServerEntry(clsid, &entry); FAILED(hr))
        return hr;
    void* raw = nullptr;
    if (const HRESULT hr = entry(clsid, IClassFactory::kIid, &raw); FAILED(hr))
        return hr;
    const auto factory = ComPtr<IClassFactory>::Attach(static_cast<IClassFactory*>(raw));
    return factory->CreateInstance(nullptr, iid, out);
}

} // namespace dshow
