// The filter graph: holds its filters, connects their pins, and runs and stops
// them downstream filters first (so that no sample finds its receiver stopped)
// and upstream filters first.
#include <algorithm>
#include <functional>
#include <mutex>
#include <vector>

#include "builtins.h"
#include "graph_util.h"

namespace dshow {
namespace {

// Breaks every connection of `filter`'s pins, on both sides.
void DisconnectAll(IBaseFilter* filter)
{
    for (const ComPtr<IPin>& pin : PinsOf(filter))
        if (const ComPtr<IPin> peer = ConnectedPin(pin.get())) {
            peer->Disconnect();
            pin->Disconnect();
        }
}

class FilterGraph : public ComBase<IGraphBuilder, IMediaControl> {
public:
    ~FilterGraph() override
    {
        for (const ComPtr<IBaseFilter>& filter : UpstreamFirst())
            filter->Stop();
        for (const ComPtr<IBaseFilter>& filter : filters_) {
            DisconnectAll(filter.get());
            filter->JoinFilterGraph(nullptr, nullptr);
        }
    }

    HRESULT AddFilter(IBaseFilter* filter, const wchar_t* name) override
    {
        if (!filter)
            return E_POINTER;
        std::lock_guard guard(mutex_);
        if (Contains(filter))
            return E_INVALIDARG;
        filters_.reserve(filters_.size() + 1);
        if (const HRESULT hr = filter->JoinFilterGraph(this, name); FAILED(hr))
            return hr;
        filters_.emplace_back(filter);
        return S_OK;
    }

    HRESULT RemoveFilter(IBaseFilter* filter) override
    {
        ComPtr<IBaseFilter> removed;
        {
            std::lock_guard guard(mutex_);
            const auto it = std::find_if(filters_.begin(), filters_.end(),
                                         [&](const auto& f) { return f.get() == filter; });
            if (it == filters_.end())
                return VFW_E_NOT_FOUND;
            removed = std::move(*it);
            filters_.erase(it);
        }
        DisconnectAll(removed.get());
        removed->JoinFilterGraph(nullptr, nullptr);
        return S_OK;
    }

    HRESULT ConnectDirect(IPin* out, IPin* in, const AM_MEDIA_TYPE* type) override
    {
        if (!out || !in)
            return E_POINTER;
        return out->Connect(in, type);
    }

    HRESULT Disconnect(IPin* pin) override { return pin ? pin->Disconnect() : E_POINTER; }

    HRESULT Run() override
    {
        const std::vector<ComPtr<IBaseFilter>> order = DownstreamFirst();
        for (std::size_t i = 0; i < order.size(); ++i)
            if (const HRESULT hr = order[i]->Run(0); FAILED(hr)) {
                for (std::size_t j = i; j-- > 0;)
                    order[j]->Stop();
                return hr;
            }
        SetTarget(State_Running);
        return S_OK;
    }

    HRESULT Stop() override
    {
        HRESULT result = S_OK;
        for (const ComPtr<IBaseFilter>& filter : UpstreamFirst())
            if (const HRESULT hr = filter->Stop(); FAILED(hr) && SUCCEEDED(result))
                result = hr;
        SetTarget(State_Stopped);
        return result;
    }

    // The state asked for last; VFW_S_STATE_INTERMEDIATE while a filter has
    // not reached it.
    HRESULT GetState(int32_t timeout_ms, FILTER_STATE* state) override
    {
        if (!state)
            return E_POINTER;
        HRESULT result = S_OK;
        FILTER_STATE target;
        {
            std::lock_guard guard(mutex_);
            target = target_;
        }
        for (const ComPtr<IBaseFilter>& filter : Filters()) {
            FILTER_STATE reached = State_Stopped;
            const HRESULT hr = filter->GetState(uint32_t(std::max(timeout_ms, 0)), &reached);
            if (FAILED(hr))
                return hr;
            if (hr == VFW_S_STATE_INTERMEDIATE || reached != target)
                result = VFW_S_STATE_INTERMEDIATE;
        }
        *state = target;
        return result;
    }

private:
    bool Contains(IBaseFilter* filter) const
    {
        return std::any_of(filters_.begin(), filters_.end(),
                           [&](const auto& f) { return f.get() == filter; });
    }

    std::vector<ComPtr<IBaseFilter>> Filters()
    {
        std::lock_guard guard(mutex_);
        return filters_;
    }

    void SetTarget(FILTER_STATE state)
    {
        std::lock_guard guard(mutex_);
        target_ = state;
    }

    // Each filter after every filter its output pins feed.
    std::vector<ComPtr<IBaseFilter>> DownstreamFirst()
    {
        const std::vector<ComPtr<IBaseFilter>> all = Filters();
        std::vector<ComPtr<IBaseFilter>> order;
        std::vector<IBaseFilter*> visited;
        std::function<void(const ComPtr<IBaseFilter>&)> visit = [&](const auto& filter) {
            if (std::find(visited.begin(), visited.end(), filter.get()) != visited.end())
                return;
            visited.push_back(filter.get());
            for (const ComPtr<IPin>& pin : PinsOf(filter.get()))
                if (DirectionOf(pin.get()) == PINDIR_OUTPUT)
                    if (const ComPtr<IBaseFilter> next = FilterOf(ConnectedPin(pin.get()).get()))
                        for (const ComPtr<IBaseFilter>& member : all)
                            if (member.get() == next.get())
                                visit(member);
            order.push_back(filter);
        };
        for (const ComPtr<IBaseFilter>& filter : all)
            visit(filter);
        return order;
    }

    std::vector<ComPtr<IBaseFilter>> UpstreamFirst()
    {
        std::vector<ComPtr<IBaseFilter>> order = DownstreamFirst();
        std::reverse(order.begin(), order.end());
        return order;
    }

    std::mutex mutex_;
    std::vector<ComPtr<IBaseFilter>> filters_;
    FILTER_STATE target_ = State_Stopped;
};

} // namespace

ComPtr<IUnknown> MakeFilterGraph()
{
    return ComPtr<IUnknown>(static_cast<IGraphBuilder*>(new FilterGraph));
}

} // namespace dshow
