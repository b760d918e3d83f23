// The running object table of the process and item monikers.
#include <map>
#include <mutex>

#include <dshow/devices.h>

namespace dshow {
namespace {

struct Table {
    std::mutex mutex;
    std::map<uint32_t, std::pair<std::wstring, ComPtr<IUnknown>>> entries;
    uint32_t next_cookie = 1;
    int failed_revokes = 0;
};

Table& Running()
{
    static Table* table = new Table;
    return *table;
}

class ItemMoniker : public ComBase<IMoniker> {
public:
    explicit ItemMoniker(std::wstring name) : name_(std::move(name)) { }

    HRESULT BindToObject(const GUID&, void** out) override { return Nothing(out); }
    HRESULT BindToStorage(const GUID&, void** out) override { return Nothing(out); }
    HRESULT GetDisplayName(std::wstring* name) override
    {
        if (!name)
            return E_POINTER;
        *name = name_;
        return S_OK;
    }

private:
    static HRESULT Nothing(void** out)
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        return E_NOTIMPL;
    }

    std::wstring name_;
};

class RunningObjectTable : public ComBase<IRunningObjectTable> {
public:
    HRESULT Register(uint32_t, IUnknown* object, IMoniker* name, uint32_t* cookie) override
    {
        if (!object || !name || !cookie)
            return E_POINTER;
        std::wstring display;
        if (const HRESULT hr = name->GetDisplayName(&display); FAILED(hr))
            return hr;
        Table& table = Running();
        std::lock_guard guard(table.mutex);
        *cookie = table.next_cookie++;
        table.entries[*cookie] = {display, ComPtr<IUnknown>(object)};
        return S_OK;
    }

    HRESULT Revoke(uint32_t cookie) override
    {
        ComPtr<IUnknown> released;
        Table& table = Running();
        std::lock_guard guard(table.mutex);
        const auto it = table.entries.find(cookie);
        if (it == table.entries.end()) {
            ++table.failed_revokes;
            return E_INVALIDARG;
        }
        released = std::move(it->second.second);
        table.entries.erase(it);
        return S_OK;
    }
};

} // namespace

HRESULT GetRunningObjectTable(uint32_t, IRunningObjectTable** table)
{
    if (!table)
        return E_POINTER;
    *table = MakeCom<RunningObjectTable>().Detach();
    return S_OK;
}

HRESULT CreateItemMoniker(const wchar_t* delimiter, const wchar_t* item, IMoniker** moniker)
{
    if (!delimiter || !item || !moniker)
        return E_POINTER;
    *moniker = MakeCom<ItemMoniker>(std::wstring(delimiter) + item).Detach();
    return S_OK;
}

std::vector<std::wstring> RunningObjectNames()
{
    Table& table = Running();
    std::lock_guard guard(table.mutex);
    std::vector<std::wstring> names;
    for (const auto& [cookie, entry] : table.entries)
        names.push_back(entry.first);
    return names;
}

int FailedRevokes()
{
    Table& table = Running();
    std::lock_guard guard(table.mutex);
    return table.failed_revokes;
}

} // namespace dshow
