#include "lists.h"

#include <strings.h>

#include <cstdlib>

#include "device_list.h"
#include <dshow/com.h>
#include <dshow/controls.h>
#include <dshow/platform.h>
#include <fgint/values.h>

namespace directshow {
namespace {

using namespace dshow;

constexpr std::size_t kMaxPins = 500;

// Numbers (EnumPins order, every pin counted) and ANSI names of the output
// pins of `filter`.
void OutputPins(IBaseFilter* filter, std::vector<int32_t>* numbers, std::vector<std::string>* names)
{
    ComPtr<IEnumPins> pins;
    if (!filter || FAILED(filter->EnumPins(pins.put())))
        return;
    ComPtr<IPin> pin;
    for (int32_t n = 0; numbers->size() < kMaxPins && pins->Next(1, pin.put(), nullptr) == S_OK;
         ++n) {
        PinInfo info;
        if (FAILED(pin->QueryPinInfo(&info)) || info.direction != PINDIR_OUTPUT)
            continue;
        numbers->push_back(n);
        names->push_back(WideToAnsi(info.name, 1023));
    }
}

// The first stream capability with the wanted subtype and size: the one
// whose frame rates are listed. -1 when there is none.
int32_t CapsIndex(const CIODirectShow& r)
{
    const ComPtr<IAMStreamConfig> config = r.source_pin.As<IAMStreamConfig>();
    int32_t count = 0, size = 0;
    if (!config || FAILED(config->GetNumberOfCapabilities(&count, &size)))
        return -1;
    const BITMAPINFOHEADER& wanted = r.wanted_format.bmiHeader;
    for (int32_t i = 0; i < count; ++i) {
        MediaType type;
        VIDEO_STREAM_CONFIG_CAPS caps{};
        if (config->GetStreamCaps(i, &type, &caps) == S_OK &&
            type.subtype == r.wanted_type.subtype && caps.InputSize.cx == wanted.biWidth &&
            caps.InputSize.cy == std::abs(wanted.biHeight))
            return i;
    }
    return -1;
}

} // namespace

FGstatus GetList(const CIODirectShow& r, const char* name, std::vector<Vcpar>* answer,
                 std::vector<std::string>* texts)
{
    answer->clear();
    texts->clear();
    const bool numbers = strcasecmp(name, "available_pins") == 0;
    if (numbers || strcasecmp(name, "available_pin_names") == 0) {
        std::vector<int32_t> pins;
        OutputPins(r.source_filter.get(), &pins, texts);
        for (std::size_t i = 0; i < pins.size(); ++i) {
            answer->push_back(numbers ? fg::Int(pins[i]) : fg::Text((*texts)[i].c_str()));
        }
        return FG_SUCCESS;
    }
    if (strcasecmp(name, "available_media_types") == 0) {
        std::vector<CapsEntry> entries;
        try {
            if (const FGstatus status = ListStreamCaps(&entries); status != FG_SUCCESS)
                return status;
        } catch (const HardwareException&) {
            return FG_ERR_DEVICE_CALL;
        }
        for (const CapsEntry& e : entries)
            texts->push_back(e.text);
        for (const std::string& text : *texts)
            answer->push_back(fg::Text(text.c_str()));
        return FG_SUCCESS;
    }
    if (strcasecmp(name, "available_frame_rates") == 0) {
        if (!r.video_control)
            return FG_SUCCESS;
        const int32_t index = CapsIndex(r);
        if (index < 0)
            return FG_ERR_DEVICE_CALL;
        const BITMAPINFOHEADER& bmi = r.wanted_format.bmiHeader;
        int32_t count = 0;
        int64_t* periods = nullptr;
        if (FAILED(r.video_control->GetFrameRateList(r.source_pin.get(), index,
                                                     {bmi.biWidth, std::abs(bmi.biHeight)}, &count,
                                                     &periods)))
            return FG_SUCCESS;
        const TaskMemory<int64_t> owned(periods);
        for (int32_t i = 0; i < count; ++i)
            if (periods[i] != 0)
                answer->push_back(fg::Real(1e7 / double(periods[i])));
        return FG_SUCCESS;
    }
    return FG_ERR_PARAM_UNKNOWN;
}

} // namespace directshow
