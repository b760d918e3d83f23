#include <dshow/base_filter.h>

#include <vector>

namespace dshow {
namespace {

// The pins of a filter as they were when the enumerator was made.
class PinEnumerator : public ComBase<IEnumPins> {
public:
    explicit PinEnumerator(std::vector<ComPtr<IPin>> pins) : pins_(std::move(pins)) { }

    HRESULT Next(uint32_t count, IPin** pins, uint32_t* fetched) override
    {
        if (!pins)
            return E_POINTER;
        uint32_t n = 0;
        for (; n < count && next_ < pins_.size(); ++n, ++next_)
            CopyOut(pins_[next_].get(), &pins[n]);
        if (fetched)
            *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }

    HRESULT Reset() override
    {
        next_ = 0;
        return S_OK;
    }

private:
    std::vector<ComPtr<IPin>> pins_;
    std::size_t next_ = 0;
};

} // namespace

BaseFilter::BaseFilter(ServerModule* module) : ComBase(module) { }

HRESULT BaseFilter::Stop()
{
    std::lock_guard guard(lock_);
    if (state_ != State_Stopped)
        for (int i = 0; i < PinCount(); ++i)
            if (BasePin* pin = Pin(i))
                pin->Inactive();
    state_ = State_Stopped;
    return S_OK;
}

HRESULT BaseFilter::Run(REFERENCE_TIME)
{
    std::lock_guard guard(lock_);
    if (state_ == State_Stopped)
        for (int i = 0; i < PinCount(); ++i) {
            BasePin* pin = Pin(i);
            const HRESULT hr = pin ? pin->Active() : S_OK;
            if (FAILED(hr)) {
                for (int j = 0; j < i; ++j)
                    if (BasePin* started = Pin(j))
                        started->Inactive();
                return hr;
            }
        }
    state_ = State_Running;
    return S_OK;
}

HRESULT BaseFilter::GetState(uint32_t, FILTER_STATE* state)
{
    if (!state)
        return E_POINTER;
    *state = State();
    return S_OK;
}

HRESULT BaseFilter::EnumPins(IEnumPins** pins)
{
    if (!pins)
        return E_POINTER;
    std::vector<ComPtr<IPin>> list;
    {
        std::lock_guard guard(lock_);
        for (int i = 0; i < PinCount(); ++i)
            if (BasePin* pin = Pin(i))
                list.emplace_back(pin);
    }
    *pins = MakeCom<PinEnumerator>(std::move(list)).Detach();
    return S_OK;
}

HRESULT BaseFilter::FindPin(const wchar_t* id, IPin** pin)
{
    if (!pin)
        return E_POINTER;
    *pin = nullptr;
    std::lock_guard guard(lock_);
    for (int i = 0; id && i < PinCount(); ++i)
        if (BasePin* candidate = Pin(i); candidate && candidate->Name() == id)
            return CopyOut<IPin>(candidate, pin);
    return VFW_E_NOT_FOUND;
}

HRESULT BaseFilter::QueryFilterInfo(FilterInfo* info)
{
    if (!info)
        return E_POINTER;
    std::lock_guard guard(lock_);
    info->name = name_;
    info->graph = ComPtr<IFilterGraph>(graph_);
    return S_OK;
}

HRESULT BaseFilter::JoinFilterGraph(IFilterGraph* graph, const wchar_t* name)
{
    std::lock_guard guard(lock_);
    graph_ = graph;
    name_ = name ? name : L"";
    return S_OK;
}

FILTER_STATE BaseFilter::State()
{
    std::lock_guard guard(lock_);
    return state_;
}

} // namespace dshow
