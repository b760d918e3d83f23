// The TV tuner of a simulated capture card: one analogue video output, and
// the channel, which the card keeps.
#include <memory>

#include "analog_pin.h"
#include "device_state.h"
#include "filter_with.h"
#include "property_page_list.h"
#include <dshow/base_filter.h>
#include <dshow/controls.h>

namespace dshow::sim {
namespace {

class TvTunerFilter : public FilterWith<IAMTVTuner, ISpecifyPropertyPages> {
public:
    explicit TvTunerFilter(std::shared_ptr<DeviceState> device) : device_(std::move(device)) { }

    int PinCount() override { return 1; }
    BasePin* Pin(int n) override { return n == 0 ? &output_ : nullptr; }

    HRESULT GetPages(CAUUID* pages) override
    {
        return PageListOut(CLSID_TVTunerPropertyPage, pages);
    }

    HRESULT ChannelMinMax(int32_t* min, int32_t* max) override
    {
        if (!min || !max)
            return E_POINTER;
        return device_->With([&](const DeviceConfig& c) {
            if (!c.tuner)
                return E_FAIL;
            *min = c.tuner->min_channel;
            *max = c.tuner->max_channel;
            return S_OK;
        });
    }

    HRESULT put_Channel(int32_t channel, int32_t, int32_t) override
    {
        return device_->With([&](DeviceConfig& c) {
            if (!c.tuner)
                return E_FAIL;
            if (channel < c.tuner->min_channel || channel > c.tuner->max_channel)
                return E_INVALIDARG;
            c.tuner->channel = channel;
            return S_OK;
        });
    }

    HRESULT get_Channel(int32_t* channel, int32_t* video_subchannel,
                        int32_t* audio_subchannel) override
    {
        if (!channel || !video_subchannel || !audio_subchannel)
            return E_POINTER;
        return device_->With([&](const DeviceConfig& c) {
            if (!c.tuner)
                return E_FAIL;
            *channel = c.tuner->channel;
            *video_subchannel = *audio_subchannel = -1;
            return S_OK;
        });
    }

private:
    std::shared_ptr<DeviceState> device_;
    AnalogPin output_{*this, L"Analog Video", PINDIR_OUTPUT, MEDIATYPE_AnalogVideo};
};

} // namespace

ComPtr<IBaseFilter> MakeTvTuner(std::shared_ptr<DeviceState> device)
{
    return ComPtr<IBaseFilter>(new TvTunerFilter(std::move(device)));
}

} // namespace dshow::sim
