// The crossbars of a simulated capture card: the one whose video output
// feeds the card's analogue video input and, where the card has one, a
// second one upstream of it. The card keeps their routes, so every filter
// over a crossbar shares them, and each video output carries the picture of
// the source routed to it.
#include <algorithm>
#include <memory>
#include <vector>

#include "analog_pin.h"
#include "device_state.h"
#include "filter_with.h"
#include "graph_util.h"
#include "pin_hints.h"
#include "property_page_list.h"
#include "upstream_once.h"
#include <dshow/base_filter.h>
#include <dshow/controls.h>
#include <dshow/frames.h>

namespace dshow::sim {
namespace {

bool IsVideo(int32_t physical_type) { return physical_type < PhysConn_Audio_Tuner; }

GUID MajorTypeOf(int32_t physical_type)
{
    return IsVideo(physical_type) ? MEDIATYPE_AnalogVideo : MEDIATYPE_AnalogAudio;
}

// The physical types of the pins of crossbar `which`.
struct Layout {
    std::vector<int32_t> inputs;
    std::vector<int32_t> outputs;
};

Layout LayoutOf(const DeviceConfig& c, int which)
{
    if (which == 0)
        return {c.crossbar_inputs, c.crossbar_outputs};
    // The second crossbar's one output is of the kind of the input it feeds.
    const auto fed = std::size_t(c.second_crossbar_feeds);
    return {c.second_crossbar_inputs,
            {fed < c.crossbar_inputs.size() ? c.crossbar_inputs[fed] : PhysConn_Video_Composite}};
}

int32_t FirstOf(const std::vector<int32_t>& types, bool video)
{
    const auto found =
        std::find_if(types.begin(), types.end(), [&](int32_t t) { return IsVideo(t) == video; });
    return found == types.end() ? -1 : int32_t(found - types.begin());
}

std::vector<int32_t>& RoutesOf(DeviceConfig& c, int which)
{
    std::vector<int32_t>& routes = which == 0 ? c.crossbar_routes : c.second_crossbar_routes;
    const Layout layout = LayoutOf(c, which);
    if (routes.size() != layout.outputs.size()) {
        routes.clear();
        for (const int32_t type : layout.outputs)
            routes.push_back(FirstOf(layout.inputs, IsVideo(type)));
    }
    return routes;
}

enum class Feed { None, SecondCrossbar, Tuner };

// What feeds input `input` of crossbar `which`.
Feed FeedOf(const DeviceConfig& c, int which, int32_t input)
{
    if (which == 0 && !c.second_crossbar_inputs.empty() && input == c.second_crossbar_feeds)
        return Feed::SecondCrossbar;
    if (!c.tuner)
        return Feed::None;
    auto tuner_input = [&](int w) {
        const std::vector<int32_t> inputs = LayoutOf(c, w).inputs;
        const auto found = std::find(inputs.begin(), inputs.end(), PhysConn_Video_Tuner);
        return found == inputs.end() ? -1 : int32_t(found - inputs.begin());
    };
    const int holder = tuner_input(1) >= 0 ? 1 : 0;
    return which == holder && input == tuner_input(holder) ? Feed::Tuner : Feed::None;
}

int32_t SceneOfOutput(DeviceConfig& c, int which, int32_t output);

int32_t SceneOfInput(DeviceConfig& c, int which, int32_t input)
{
    switch (FeedOf(c, which, input)) {
    case Feed::SecondCrossbar:
        return SceneOfOutput(c, 1, 0);
    case Feed::Tuner:
        return c.tuner->channel;
    case Feed::None:
        break;
    }
    return LayoutOf(c, which).inputs[std::size_t(input)];
}

int32_t SceneOfOutput(DeviceConfig& c, int which, int32_t output)
{
    // A test may have changed the card under a filter made earlier.
    const std::vector<int32_t>& routes = RoutesOf(c, which);
    const Layout layout = LayoutOf(c, which);
    if (output < 0 || std::size_t(output) >= routes.size())
        return kNoSignal;
    const int32_t input = routes[std::size_t(output)];
    if (input < 0 || std::size_t(input) >= layout.inputs.size() ||
        !IsVideo(layout.outputs[std::size_t(output)]))
        return kNoSignal;
    return SceneOfInput(c, which, input);
}

class Crossbar;

class CrossbarPin : public AnalogPin, public IUpstreamDevice, public IAnalogSignal {
public:
    CrossbarPin(Crossbar& owner, PIN_DIRECTION direction, int32_t index, int32_t physical_type);

    HRESULT QueryInterface(const GUID& iid, void** out) override;
    uint32_t AddRef() override { return AnalogPin::AddRef(); }
    uint32_t Release() override { return AnalogPin::Release(); }

    HRESULT MakeUpstream(ComPtr<IBaseFilter>* filter, std::wstring* name,
                         ComPtr<IPin>* output) override;
    int32_t Scene() override;

private:
    Crossbar& owner_;
    bool input_;
    int32_t index_; // among the inputs, or among the outputs
    UpstreamOnce upstream_;
};

class Crossbar : public FilterWith<IAMCrossbar, ISpecifyPropertyPages> {
public:
    Crossbar(std::shared_ptr<DeviceState> device, int which)
        : device_(std::move(device)),
          which_(which),
          layout_(device_->With([&](const DeviceConfig& c) { return LayoutOf(c, which); }))
    {
        for (std::size_t i = 0; i < layout_.inputs.size(); ++i)
            pins_.push_back(
                std::make_unique<CrossbarPin>(*this, PINDIR_INPUT, int32_t(i), layout_.inputs[i]));
        for (std::size_t i = 0; i < layout_.outputs.size(); ++i)
            pins_.push_back(std::make_unique<CrossbarPin>(*this, PINDIR_OUTPUT, int32_t(i),
                                                          layout_.outputs[i]));
    }

    int PinCount() override { return int(pins_.size()); }
    BasePin* Pin(int n) override
    {
        return n >= 0 && std::size_t(n) < pins_.size() ? pins_[std::size_t(n)].get() : nullptr;
    }

    HRESULT GetPages(CAUUID* pages) override
    {
        return PageListOut(CLSID_CrossbarPropertyPage, pages);
    }

    HRESULT get_PinCounts(int32_t* outputs, int32_t* inputs) override
    {
        if (!outputs || !inputs)
            return E_POINTER;
        *outputs = int32_t(layout_.outputs.size());
        *inputs = int32_t(layout_.inputs.size());
        return S_OK;
    }

    HRESULT get_CrossbarPinInfo(bool is_input, int32_t index, int32_t* related,
                                int32_t* physical_type) override
    {
        if (!related || !physical_type)
            return E_POINTER;
        const std::vector<int32_t>& types = is_input ? layout_.inputs : layout_.outputs;
        if (index < 0 || std::size_t(index) >= types.size())
            return E_INVALIDARG;
        *physical_type = types[std::size_t(index)];
        *related = -1;
        return S_OK;
    }

    HRESULT CanRoute(int32_t output, int32_t input) override
    {
        if (output < 0 || std::size_t(output) >= layout_.outputs.size() || input < 0 ||
            std::size_t(input) >= layout_.inputs.size())
            return E_INVALIDARG;
        return IsVideo(layout_.inputs[std::size_t(input)]) ==
                       IsVideo(layout_.outputs[std::size_t(output)])
                   ? S_OK
                   : S_FALSE;
    }

    HRESULT Route(int32_t output, int32_t input) override
    {
        if (device_->With([](const DeviceConfig& c) { return c.route_fails; }))
            return E_FAIL;
        if (CanRoute(output, input) != S_OK)
            return E_INVALIDARG;
        return device_->With([&](DeviceConfig& c) {
            std::vector<int32_t>& routes = RoutesOf(c, which_);
            if (std::size_t(output) >= routes.size())
                return E_INVALIDARG;
            routes[std::size_t(output)] = input;
            return S_OK;
        });
    }

    HRESULT get_IsRoutedTo(int32_t output, int32_t* input) override
    {
        if (!input)
            return E_POINTER;
        if (output < 0 || std::size_t(output) >= layout_.outputs.size())
            return E_INVALIDARG;
        return device_->With([&](DeviceConfig& c) {
            const std::vector<int32_t>& routes = RoutesOf(c, which_);
            if (c.routed_to_fails)
                return E_FAIL;
            if (std::size_t(output) >= routes.size())
                return E_INVALIDARG;
            *input = routes[std::size_t(output)];
            return S_OK;
        });
    }

    int32_t Scene(int32_t output)
    {
        return device_->With([&](DeviceConfig& c) { return SceneOfOutput(c, which_, output); });
    }

    // The filter that feeds input `input`, null for a plain connector.
    ComPtr<IBaseFilter> MakeFeed(int32_t input, std::wstring* name, ComPtr<IPin>* output)
    {
        const Feed feed =
            device_->With([&](const DeviceConfig& c) { return FeedOf(c, which_, input); });
        if (feed == Feed::SecondCrossbar) {
            *name = L"Upstream Crossbar";
            return MakeCrossbar(device_, 1, output);
        }
        if (feed == Feed::Tuner) {
            *name = L"TV Tuner";
            ComPtr<IBaseFilter> tuner = MakeTvTuner(device_);
            *output = PinsOf(tuner.get()).at(0);
            return tuner;
        }
        return {};
    }

    bool Fed(int32_t input)
    {
        return device_->With(
            [&](const DeviceConfig& c) { return FeedOf(c, which_, input) != Feed::None; });
    }

private:
    std::shared_ptr<DeviceState> device_;
    int which_;
    Layout layout_;
    std::vector<std::unique_ptr<CrossbarPin>> pins_;
};

CrossbarPin::CrossbarPin(Crossbar& owner, PIN_DIRECTION direction, int32_t index,
                         int32_t physical_type)
    : AnalogPin(owner,
                (direction == PINDIR_INPUT ? L"In " : L"Out ") + std::to_wstring(physical_type),
                direction, MajorTypeOf(physical_type)),
      owner_(owner),
      input_(direction == PINDIR_INPUT),
      index_(index)
{
}

HRESULT CrossbarPin::QueryInterface(const GUID& iid, void** out)
{
    void* found = nullptr;
    if (!input_)
        found = InterfaceOf<IAnalogSignal>(this, iid);
    else if (owner_.Fed(index_))
        found = InterfaceOf<IUpstreamDevice>(this, iid);
    return found && out ? Expose(found, out) : AnalogPin::QueryInterface(iid, out);
}

HRESULT CrossbarPin::MakeUpstream(ComPtr<IBaseFilter>* filter, std::wstring* name,
                                  ComPtr<IPin>* output)
{
    const Upstream feed = upstream_.Get([this] {
        Upstream made;
        made.filter = owner_.MakeFeed(index_, &made.name, &made.output);
        return made;
    });
    *filter = feed.filter;
    *name = feed.name;
    *output = feed.output;
    return *filter ? S_OK : E_FAIL;
}

int32_t CrossbarPin::Scene() { return input_ ? kNoSignal : owner_.Scene(index_); }

} // namespace

ComPtr<IBaseFilter> MakeCrossbar(std::shared_ptr<DeviceState> device, int which,
                                 ComPtr<IPin>* video_output)
{
    const Layout layout = device->With([&](const DeviceConfig& c) { return LayoutOf(c, which); });
    ComPtr<IBaseFilter> crossbar(new Crossbar(std::move(device), which));
    video_output->Reset();
    // Pins are numbered inputs first.
    if (const int32_t first = FirstOf(layout.outputs, true); first >= 0)
        *video_output = PinsOf(crossbar.get()).at(layout.inputs.size() + std::size_t(first));
    return crossbar;
}

} // namespace dshow::sim
