#include "crossbar.h"

#include <strings.h>

#include <algorithm>
#include <iterator>

#include "capture_graph.h"
#include "low_error.h"
#include <fgint/values.h>

namespace directshow {
namespace {

using namespace dshow;

FGstatus Fail(const char* message)
{
    LowError("%s", message);
    return FG_ERR_DEVICE_CALL;
}

ComPtr<IPin> AnalogInput(const CIODirectShow& r)
{
    ComPtr<IPin> pin;
    r.capture_builder->FindPin(r.source_filter.get(), PINDIR_INPUT, &PIN_CATEGORY_ANALOGVIDEOIN,
                               nullptr, false, 0, pin.put());
    return pin;
}

const char* ConnectorName(int32_t type)
{
    static const char* const kNames[] = {"video tuner",
                                         "composite video",
                                         "s-video",
                                         "rgb video",
                                         "y-ry-by video",
                                         "serial digital video",
                                         "parallel digital video",
                                         "scsi",
                                         "aux",
                                         "ieee 1394",
                                         "usb",
                                         "video decoder",
                                         "video encoder",
                                         "scart"};
    return type >= 1 && type <= int32_t(std::size(kNames)) ? kNames[type - 1] : "unknown type";
}

} // namespace

FGstatus GetPhysicalConnector(const CIODirectShow& r, int32_t* input)
{
    if (!r.crossbar)
        return Fail("Error in GetPhysicalConnector(): No crossbar specified.");
    const ComPtr<IPin> in = AnalogInput(r);
    if (!in)
        return Fail("Error in GetPhysicalConnector(): could not find input pin in source filter!");
    ComPtr<IPin> peer;
    if (FAILED(in->ConnectedTo(peer.put())) || !peer) {
        *input = -1;
        return FG_SUCCESS;
    }
    PinInfo info;
    if (FAILED(peer->QueryPinInfo(&info)))
        return Fail("Error in GetPhysicalConnector(): QueryPinInfo() failed!");
    int32_t outputs = 0, inputs = 0;
    if (info.filter.get() != r.crossbar.As<IBaseFilter>().get() ||
        FAILED(r.crossbar->get_PinCounts(&outputs, &inputs)))
        return FG_ERR_DEVICE_CALL;
    for (int32_t out = 0; out < outputs; ++out) {
        ComPtr<IPin> pin;
        if (GetPin(info.filter.get(), inputs + out, &pin) == FG_SUCCESS && pin.get() == peer.get())
            return SUCCEEDED(r.crossbar->get_IsRoutedTo(out, input)) ? FG_SUCCESS
                                                                     : FG_ERR_DEVICE_CALL;
    }
    return FG_ERR_DEVICE_CALL;
}

FGstatus SetPhysicalConnector(CIODirectShow& r, int32_t input)
{
    if (!r.crossbar)
        return Fail("Error in SetPhysicalConnector(): No crossbar specified.");
    int32_t routed = -1;
    if (GetPhysicalConnector(r, &routed) == FG_SUCCESS && routed == input)
        return FG_SUCCESS;
    int32_t outputs = 0, inputs = 0;
    r.crossbar->get_PinCounts(&outputs, &inputs);
    int32_t output = 0;
    if (outputs >= 2) {
        std::vector<int32_t> candidates;
        for (int32_t out = 0; out < outputs; ++out)
            if (r.crossbar->CanRoute(out, input) == S_OK)
                candidates.push_back(out);
        const ComPtr<IBaseFilter> filter = r.crossbar.As<IBaseFilter>();
        if (!filter)
            return Fail("Error in SetPhysicalConnector(): QueryInterface failed!");
        output = -1;
        for (const int32_t out : candidates) {
            ComPtr<IPin> pin;
            if (GetPin(filter.get(), inputs + out, &pin) != FG_SUCCESS || !pin)
                return Fail("Error in SetPhysicalConnector(): could not retrieve output pin from "
                            "crossbar filter(1)!");
            ComPtr<IPin> peer;
            PinInfo info;
            if (SUCCEEDED(pin->ConnectedTo(peer.put())) && peer &&
                SUCCEEDED(peer->QueryPinInfo(&info)) &&
                info.filter.get() == r.source_filter.get()) {
                output = out;
                break;
            }
        }
        if (output < 0) {
            if (r.media_control)
                StopGrabbing(r);
            ComPtr<IPin> pin;
            if (candidates.empty() ||
                GetPin(filter.get(), inputs + candidates[0], &pin) != FG_SUCCESS || !pin)
                return Fail("Error in SetPhysicalConnector(): could not retrieve output pin from "
                            "crossbar filter(2)!");
            const ComPtr<IPin> in = AnalogInput(r);
            if (!in)
                return Fail(
                    "Error in SetPhysicalConnector(): could not find input pin in source filter!");
            if (FAILED(r.graph->ConnectDirect(pin.get(), in.get(), nullptr)))
                return Fail("Error in SetPhysicalConnector(): could not connect source filter to "
                            "crossbar!");
            output = candidates[0];
        }
    }
    return SUCCEEDED(r.crossbar->Route(output, input)) ? FG_SUCCESS : FG_ERR_DEVICE_CALL;
}

FGstatus SetConnector(CIODirectShow& r, const Vcpar* values, int32_t num)
{
    if (num < 1 || values[0].type != VPAR_INT)
        return FG_ERR_PARAM_TYPE;
    if (!r.crossbar)
        return Fail("Error in SetPhysicalConnector(): No crossbar specified.");
    const int32_t index = values[0].par.l;
    if (index < 0 || index >= r.connector_count)
        return FG_ERR_PARAM_VALUE;
    return SetPhysicalConnector(r, r.connector_list[index]);
}

FGstatus GetCrossbarParameter(const CIODirectShow& r, const char* name, std::vector<Vcpar>* answer)
{
    answer->clear();
    if (strcasecmp(name, "connector_range") == 0) {
        if (r.connector_count > 0)
            *answer = {fg::Int(0), fg::Int(r.connector_count - 1), fg::Int(1), fg::Int(0)};
        return FG_SUCCESS;
    }
    if (strcasecmp(name, "available_connectors") == 0) {
        int32_t outputs = 0, inputs = 0;
        if (!r.crossbar || FAILED(r.crossbar->get_PinCounts(&outputs, &inputs)))
            return FG_SUCCESS;
        for (int32_t i = 0; i < inputs; ++i) {
            int32_t related = 0, type = 0;
            if (SUCCEEDED(r.crossbar->get_CrossbarPinInfo(true, i, &related, &type)) &&
                type < PhysConn_Audio_Tuner) {
                answer->push_back(fg::Text(ConnectorName(type)));
            }
        }
        return FG_SUCCESS;
    }
    if (strcasecmp(name, "connector") == 0) {
        int32_t input = -1;
        if (GetPhysicalConnector(r, &input) != FG_SUCCESS)
            return FG_SUCCESS;
        const int32_t* begin = r.connector_list;
        const int32_t* end = begin ? begin + r.connector_count : begin;
        const int32_t* found = std::find(begin, end, input);
        answer->push_back(fg::Int(found == end ? -1 : int32_t(found - begin)));
        return FG_SUCCESS;
    }
    return FG_ERR_PARAM_UNKNOWN;
}

} // namespace directshow
