#pragma once
// Creating objects by class id. The filter graph, the capture graph builder
// and the system device enumerator are built in; any other class is served
// by the in-process server that the registry names under
// "CLSID\{class id}\InprocServer32": the library is loaded once and asked
// for the class through its DllGetClassObject.
#include <cstddef>
#include <cstdint>
#include <memory>

#include <dshow/export.h>
#include <dshow/unknown.h>

namespace dshow {

inline constexpr uint32_t CLSCTX_INPROC_SERVER = 0x1;

inline constexpr GUID CLSID_FilterGraph = StandInGuid(0x0E000001);
inline constexpr GUID CLSID_CaptureGraphBuilder2 = StandInGuid(0x0E000002);
inline constexpr GUID CLSID_SystemDeviceEnum = StandInGuid(0x0E000003);

struct IClassFactory : Interface<IUnknown, 0x00000001> {
    virtual HRESULT CreateInstance(IUnknown* outer, const GUID& iid, void** out) = 0;
    virtual HRESULT LockServer(bool lock) = 0;
};

// What an in-process server exports under the name "DllGetClassObject".
using DllGetClassObjectProc = HRESULT (*)(const GUID& clsid, const GUID& iid, void** out);

// S_OK the first time on a thread, S_FALSE after.
DSHOW_API HRESULT CoInitialize(void* reserved);

// A new object of class `clsid` as interface `iid`. REGDB_E_CLASSNOTREG when
// the class is not registered, E_FAIL when its server cannot be loaded,
// CLASS_E_NOAGGREGATION for an outer object, else the server's answer.
DSHOW_API HRESULT CoCreateInstance(const GUID& clsid, IUnknown* outer, uint32_t context,
                                   const GUID& iid, void** out);

// Task memory: blocks that one side of a call allocates and the other frees.
// Null when memory is short.
DSHOW_API void* CoTaskMemAlloc(std::size_t bytes);
// Frees a block of CoTaskMemAlloc; null is ignored.
DSHOW_API void CoTaskMemFree(void* block);
// Blocks of task memory not freed yet, so tests can see that nothing leaked.
DSHOW_API long LiveTaskMemory();

struct TaskMemFree {
    void operator()(void* block) const { CoTaskMemFree(block); }
};
// A block of task memory freed at the end of its scope.
template <class T> using TaskMemory = std::unique_ptr<T, TaskMemFree>;

template <class T> HRESULT CoCreateInstance(const GUID& clsid, ComPtr<T>* out)
{
    return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, T::kIid, PutVoid(out));
}

} // namespace dshow
