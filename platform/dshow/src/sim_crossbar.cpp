// The crossbar of a simulated capture card: its input connectors, a video
// decoder output that feeds the card's analogue video input, and an audio
// decoder output.
#include <algorithm>
#include <memory>
#include <vector>

#include "device_state.h"
#include "dshow/base_filter.h"
#include "dshow/controls.h"
#include "property_page_list.h"

namespace dshow::sim {
namespace {

GUID MajorTypeOf(int32_t physical_type)
{
    return physical_type < PhysConn_Audio_Tuner ? MEDIATYPE_AnalogVideo : MEDIATYPE_AnalogAudio;
}

class CrossbarPin : public BasePin {
public:
    CrossbarPin(BaseFilter& filter, PIN_DIRECTION direction, int32_t physical_type)
        : BasePin(filter,
                  (direction == PINDIR_INPUT ? L"In " : L"Out ") + std::to_wstring(physical_type),
                  direction),
          major_(MajorTypeOf(physical_type))
    {
    }

    HRESULT CheckMediaType(const AM_MEDIA_TYPE& type) override
    {
        return type.majortype == major_ ? S_OK : S_FALSE;
    }

    HRESULT GetMediaType(int position, MediaType* type) override
    {
        if (position != 0)
            return VFW_S_NO_MORE_ITEMS;
        *type = MediaType();
        type->majortype = major_;
        return S_OK;
    }

private:
    GUID major_;
};

class Crossbar : public BaseFilter, public IAMCrossbar, public ISpecifyPropertyPages {
public:
    explicit Crossbar(std::vector<int32_t> inputs) : inputs_(std::move(inputs))
    {
        for (const int32_t type : inputs_)
            pins_.push_back(std::make_unique<CrossbarPin>(*this, PINDIR_INPUT, type));
        for (const int32_t type : kOutputs) {
            pins_.push_back(std::make_unique<CrossbarPin>(*this, PINDIR_OUTPUT, type));
            const auto first = std::find_if(inputs_.begin(), inputs_.end(), [&](int32_t in) {
                return MajorTypeOf(in) == MajorTypeOf(type);
            });
            routed_.push_back(first == inputs_.end() ? -1 : int32_t(first - inputs_.begin()));
        }
    }

    HRESULT QueryInterface(const GUID& iid, void** out) override
    {
        if (out && InterfaceMatches<IAMCrossbar>(iid))
            return Expose(static_cast<IAMCrossbar*>(this), out);
        if (out && iid == ISpecifyPropertyPages::kIid)
            return Expose(static_cast<ISpecifyPropertyPages*>(this), out);
        return BaseFilter::QueryInterface(iid, out);
    }
    uint32_t AddRef() override { return BaseFilter::AddRef(); }
    uint32_t Release() override { return BaseFilter::Release(); }

    int PinCount() override { return int(pins_.size()); }
    BasePin* Pin(int n) override
    {
        return n >= 0 && std::size_t(n) < pins_.size() ? pins_[std::size_t(n)].get() : nullptr;
    }

    HRESULT GetPages(CAUUID* pages) override
    {
        const GUID routing[] = {CLSID_CrossbarPropertyPage};
        return PageListOut(routing, pages);
    }

    HRESULT get_PinCounts(int32_t* outputs, int32_t* inputs) override
    {
        if (!outputs || !inputs)
            return E_POINTER;
        *outputs = int32_t(std::size(kOutputs));
        *inputs = int32_t(inputs_.size());
        return S_OK;
    }

    HRESULT get_CrossbarPinInfo(bool is_input, int32_t index, int32_t* related,
                                int32_t* physical_type) override
    {
        if (!related || !physical_type)
            return E_POINTER;
        const std::size_t count = is_input ? inputs_.size() : std::size(kOutputs);
        if (index < 0 || std::size_t(index) >= count)
            return E_INVALIDARG;
        *physical_type = is_input ? inputs_[std::size_t(index)] : kOutputs[index];
        *related = -1;
        return S_OK;
    }

    HRESULT CanRoute(int32_t output, int32_t input) override
    {
        if (output < 0 || std::size_t(output) >= std::size(kOutputs) || input < 0 ||
            std::size_t(input) >= inputs_.size())
            return E_INVALIDARG;
        return MajorTypeOf(inputs_[std::size_t(input)]) == MajorTypeOf(kOutputs[output]) ? S_OK
                                                                                         : S_FALSE;
    }

    HRESULT Route(int32_t output, int32_t input) override
    {
        if (CanRoute(output, input) != S_OK)
            return E_INVALIDARG;
        std::lock_guard guard(Lock());
        routed_[std::size_t(output)] = input;
        return S_OK;
    }

    HRESULT get_IsRoutedTo(int32_t output, int32_t* input) override
    {
        if (!input)
            return E_POINTER;
        if (output < 0 || std::size_t(output) >= std::size(kOutputs))
            return E_INVALIDARG;
        std::lock_guard guard(Lock());
        *input = routed_[std::size_t(output)];
        return S_OK;
    }

private:
    static constexpr int32_t kOutputs[] = {PhysConn_Video_VideoDecoder,
                                           PhysConn_Audio_AudioDecoder};
    std::vector<int32_t> inputs_;
    std::vector<std::unique_ptr<CrossbarPin>> pins_;
    std::vector<int32_t> routed_; // the input of each output
};

} // namespace

ComPtr<IBaseFilter> MakeCrossbar(const std::vector<int32_t>& inputs)
{
    return ComPtr<IBaseFilter>(new Crossbar(inputs));
}

} // namespace dshow::sim
