#pragma once
// A simulated filter that offers interfaces of its own beside a filter's.
#include <dshow/base_filter.h>

namespace dshow::sim {

// QueryInterface answers `Added` (and their parents) first, then what any
// filter answers; every interface counts its references on the filter.
template <class... Added> class FilterWith : public BaseFilter, public Added... {
public:
    HRESULT QueryInterface(const GUID& iid, void** out) override
    {
        void* found = InterfaceOf<Added...>(this, iid);
        return found && out ? Expose(found, out) : BaseFilter::QueryInterface(iid, out);
    }
    uint32_t AddRef() override { return BaseFilter::AddRef(); }
    uint32_t Release() override { return BaseFilter::Release(); }
};

} // namespace dshow::sim
