// The capture graph builder: finds pins by category, looks for interfaces
// upstream and renders a capture stream into a sink.
#include "builtins.h"
#include "graph_util.h"
#include "pin_hints.h"
#include "transform_filters.h"
#include <dshow/com.h>

namespace dshow {
namespace {

bool HasCategory(IPin* pin, const GUID& category)
{
    const ComPtr<IPinCategory> hint = ComPtr<IPin>(pin).As<IPinCategory>();
    return hint && hint->Category() == category;
}

bool HasMajorType(IPin* pin, const GUID& major)
{
    MediaType type;
    if (SUCCEEDED(pin->ConnectionMediaType(&type)))
        return type.majortype == major;
    for (int i = 0; pin->EnumMediaType(i, &type) == S_OK; ++i)
        if (type.majortype == major)
            return true;
    return false;
}

ComPtr<IPin> FirstFreePin(IBaseFilter* filter, PIN_DIRECTION direction)
{
    for (const ComPtr<IPin>& pin : PinsOf(filter))
        if (DirectionOf(pin.get()) == direction && !ConnectedPin(pin.get()))
            return pin;
    return {};
}

class CaptureGraphBuilder : public ComBase<ICaptureGraphBuilder2> {
public:
    HRESULT SetFiltergraph(IGraphBuilder* graph) override
    {
        if (!graph)
            return E_POINTER;
        if (graph_)
            return E_UNEXPECTED;
        graph_ = ComPtr<IGraphBuilder>(graph);
        return S_OK;
    }

    HRESULT FindPin(IUnknown* source, PIN_DIRECTION direction, const GUID* category,
                    const GUID* type, bool unconnected, int index, IPin** pin) override
    {
        if (!source || !pin)
            return E_POINTER;
        *pin = nullptr;
        const ComPtr<IBaseFilter> filter = ComPtr<IUnknown>(source).As<IBaseFilter>();
        if (!filter)
            return E_INVALIDARG;
        for (const ComPtr<IPin>& candidate : PinsOf(filter.get())) {
            if (DirectionOf(candidate.get()) != direction ||
                (category && !HasCategory(candidate.get(), *category)) ||
                (type && !HasMajorType(candidate.get(), *type)) ||
                (unconnected && ConnectedPin(candidate.get())))
                continue;
            if (index-- == 0)
                return CopyOut(candidate.get(), pin);
        }
        return E_FAIL;
    }

    HRESULT FindInterface(const GUID* category, const GUID* type, IBaseFilter* filter,
                          const GUID& iid, void** out) override
    {
        if (!filter || !out)
            return E_POINTER;
        *out = nullptr;
        if (!category)
            return E_NOTIMPL;
        if (*category == LOOK_UPSTREAM_ONLY)
            return FindUpstream(filter, iid, out);
        for (const ComPtr<IPin>& pin : PinsOf(filter))
            if (DirectionOf(pin.get()) == PINDIR_OUTPUT && HasCategory(pin.get(), *category) &&
                (!type || HasMajorType(pin.get(), *type)))
                return pin->QueryInterface(iid, out);
        return E_NOINTERFACE;
    }

    HRESULT RenderStream(const GUID* category, const GUID* type, IUnknown* source,
                         IBaseFilter* intermediate, IBaseFilter* sink) override
    {
        if (!source || !sink)
            return E_POINTER;
        if (category || type || intermediate)
            return E_NOTIMPL;
        if (!graph_)
            return E_UNEXPECTED;
        ComPtr<IPin> out = ComPtr<IUnknown>(source).As<IPin>();
        if (!out) {
            const ComPtr<IBaseFilter> filter = ComPtr<IUnknown>(source).As<IBaseFilter>();
            if (!filter || !InGraph(filter.get()))
                return VFW_E_NOT_IN_GRAPH;
            out = FirstFreePin(filter.get(), PINDIR_OUTPUT);
        }
        if (!InGraph(sink))
            return VFW_E_NOT_IN_GRAPH;
        const ComPtr<IPin> in = FirstFreePin(sink, PINDIR_INPUT);
        if (!out || !in)
            return VFW_E_CANNOT_CONNECT;
        const ComPtr<ISmartTeeRequest> tee = out.As<ISmartTeeRequest>();
        if (tee && tee->NeedsSmartTee())
            return ConnectThroughTee(out.get(), in.get());
        return ConnectThroughConverter(out.get(), in.get());
    }

private:
    bool InGraph(IBaseFilter* filter)
    {
        FilterInfo info;
        return SUCCEEDED(filter->QueryFilterInfo(&info)) &&
               info.graph.get() == static_cast<IFilterGraph*>(graph_.get());
    }

    HRESULT FindUpstream(IBaseFilter* filter, const GUID& iid, void** out)
    {
        for (const ComPtr<IPin>& pin : PinsOf(filter)) {
            if (DirectionOf(pin.get()) != PINDIR_INPUT)
                continue;
            ComPtr<IBaseFilter> upstream = FilterOf(ConnectedPin(pin.get()).get());
            if (!upstream)
                upstream = AddUpstreamDevice(pin.get());
            if (!upstream)
                continue;
            if (SUCCEEDED(upstream->QueryInterface(iid, out)) ||
                SUCCEEDED(FindUpstream(upstream.get(), iid, out)))
                return S_OK;
        }
        return E_NOINTERFACE;
    }

    ComPtr<IBaseFilter> AddUpstreamDevice(IPin* input)
    {
        const ComPtr<IUpstreamDevice> device = ComPtr<IPin>(input).As<IUpstreamDevice>();
        ComPtr<IBaseFilter> filter;
        std::wstring name;
        ComPtr<IPin> output;
        if (!device || !graph_ || FAILED(device->MakeUpstream(&filter, &name, &output)))
            return {};
        const bool added = !InGraph(filter.get());
        if (added && FAILED(graph_->AddFilter(filter.get(), name.c_str())))
            return {};
        if (output && FAILED(graph_->ConnectDirect(output.get(), input, nullptr))) {
            if (added)
                graph_->RemoveFilter(filter.get());
            return {};
        }
        return filter;
    }

    // `out` to `in` directly, else through a colour converter, trying each
    // type `out` offers for the converter's input.
    HRESULT ConnectThroughConverter(IPin* out, IPin* in)
    {
        if (SUCCEEDED(graph_->ConnectDirect(out, in, nullptr)))
            return S_OK;
        const ComPtr<IBaseFilter> converter = MakeColourConverter();
        if (FAILED(graph_->AddFilter(converter.get(), L"Color Space Converter")))
            return VFW_E_CANNOT_CONNECT;
        const std::vector<ComPtr<IPin>> pins = PinsOf(converter.get());
        MediaType type;
        for (int i = 0; out->EnumMediaType(i, &type) == S_OK; ++i) {
            if (FAILED(graph_->ConnectDirect(out, pins[0].get(), &type)))
                continue;
            if (SUCCEEDED(graph_->ConnectDirect(pins[1].get(), in, nullptr)))
                return S_OK;
            graph_->Disconnect(out);
            graph_->Disconnect(pins[0].get());
        }
        graph_->RemoveFilter(converter.get());
        return VFW_E_CANNOT_CONNECT;
    }

    // `out` into a Smart Tee with each type the sink or `out` offers, until
    // the tee's output reaches `in`.
    HRESULT ConnectThroughTee(IPin* out, IPin* in)
    {
        const ComPtr<IBaseFilter> tee = MakeSmartTee();
        if (FAILED(graph_->AddFilter(tee.get(), L"Smart Tee")))
            return VFW_E_CANNOT_CONNECT;
        const std::vector<ComPtr<IPin>> pins = PinsOf(tee.get());
        std::vector<MediaType> candidates;
        MediaType type;
        for (int i = 0; in->EnumMediaType(i, &type) == S_OK; ++i)
            candidates.push_back(type);
        for (int i = 0; out->EnumMediaType(i, &type) == S_OK; ++i)
            candidates.push_back(type);
        for (const MediaType& candidate : candidates) {
            if (FAILED(graph_->ConnectDirect(out, pins[0].get(), &candidate)))
                continue;
            if (SUCCEEDED(ConnectThroughConverter(pins[1].get(), in)))
                return S_OK;
            graph_->Disconnect(out);
            graph_->Disconnect(pins[0].get());
        }
        graph_->RemoveFilter(tee.get());
        return VFW_E_CANNOT_CONNECT;
    }

    ComPtr<IGraphBuilder> graph_;
};

} // namespace

ComPtr<IUnknown> MakeCaptureGraphBuilder()
{
    return ComPtr<IUnknown>(static_cast<ICaptureGraphBuilder2*>(new CaptureGraphBuilder));
}

} // namespace dshow
