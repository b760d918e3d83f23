#pragma once
// Filters, pins, samples and allocators, and the filter graph that connects
// and runs them.
#include <cstdint>
#include <string>

#include <dshow/enumerator.h>
#include <dshow/media_type.h>
#include <dshow/unknown.h>

namespace dshow {

enum FILTER_STATE : int32_t { State_Stopped = 0, State_Paused = 1, State_Running = 2 };
enum PIN_DIRECTION : int32_t { PINDIR_INPUT = 0, PINDIR_OUTPUT = 1 };

struct IBaseFilter;
struct IFilterGraph;

struct PinInfo {
    ComPtr<IBaseFilter> filter;
    PIN_DIRECTION direction = PINDIR_INPUT;
    std::wstring name;
};

struct FilterInfo {
    std::wstring name;          // the name the graph gave the filter
    ComPtr<IFilterGraph> graph; // null while the filter is in no graph
};

struct IPin : Interface<IUnknown, 0x01000001> {
    // Output pins: connects to `receiver`, with `type` or with one of the
    // types both sides offer (the receiver's first) when `type` is null.
    virtual HRESULT Connect(IPin* receiver, const AM_MEDIA_TYPE* type) = 0;
    // Input pins: accepts a connection from `connector` with `type`.
    virtual HRESULT ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) = 0;
    // Breaks this side of a connection (S_FALSE when there is none).
    virtual HRESULT Disconnect() = 0;
    virtual HRESULT ConnectedTo(IPin** pin) = 0;
    virtual HRESULT ConnectionMediaType(MediaType* type) = 0;
    virtual HRESULT QueryPinInfo(PinInfo* info) = 0;
    virtual HRESULT QueryDirection(PIN_DIRECTION* direction) = 0;
    // S_OK when the pin would take `type`, else S_FALSE.
    virtual HRESULT QueryAccept(const AM_MEDIA_TYPE* type) = 0;
    // The pin's preferred type at `index`; VFW_S_NO_MORE_ITEMS past the last.
    virtual HRESULT EnumMediaType(int index, MediaType* type) = 0;
};

using IEnumPins = IEnum<IPin, 0x01000002>;

struct IMediaFilter : Interface<IUnknown, 0x01000003> {
    virtual HRESULT Stop() = 0;
    virtual HRESULT Run(REFERENCE_TIME start) = 0;
    // VFW_S_STATE_INTERMEDIATE while a change of state is still going on
    // after `timeout_ms`.
    virtual HRESULT GetState(uint32_t timeout_ms, FILTER_STATE* state) = 0;
};

struct IBaseFilter : Interface<IMediaFilter, 0x01000004> {
    virtual HRESULT EnumPins(IEnumPins** pins) = 0;
    virtual HRESULT FindPin(const wchar_t* id, IPin** pin) = 0;
    virtual HRESULT QueryFilterInfo(FilterInfo* info) = 0;
    // Called by the graph when the filter is added (graph and name) or
    // removed (null, null); the filter keeps no reference to the graph.
    virtual HRESULT JoinFilterGraph(IFilterGraph* graph, const wchar_t* name) = 0;
};

struct IMediaSample : Interface<IUnknown, 0x01000005> {
    virtual HRESULT GetPointer(uint8_t** data) = 0;
    virtual int32_t GetSize() = 0;
    virtual int32_t GetActualDataLength() = 0;
    virtual HRESULT SetActualDataLength(int32_t length) = 0;
};

struct ALLOCATOR_PROPERTIES {
    int32_t cBuffers;
    int32_t cbBuffer;
};

struct IMemAllocator : Interface<IUnknown, 0x01000006> {
    virtual HRESULT SetProperties(const ALLOCATOR_PROPERTIES& request,
                                  ALLOCATOR_PROPERTIES* actual) = 0;
    virtual HRESULT Commit() = 0;
    virtual HRESULT Decommit() = 0;
    // A free sample; VFW_E_NOT_COMMITTED while decommitted.
    virtual HRESULT GetBuffer(IMediaSample** sample) = 0;
};

struct IMemInputPin : Interface<IUnknown, 0x01000007> {
    virtual HRESULT GetAllocator(IMemAllocator** allocator) = 0;
    virtual HRESULT NotifyAllocator(IMemAllocator* allocator, bool read_only) = 0;
    virtual HRESULT Receive(IMediaSample* sample) = 0;
};

struct IFilterGraph : Interface<IUnknown, 0x01000008> {
    virtual HRESULT AddFilter(IBaseFilter* filter, const wchar_t* name) = 0;
    // Disconnects the filter's pins and removes it.
    virtual HRESULT RemoveFilter(IBaseFilter* filter) = 0;
    virtual HRESULT ConnectDirect(IPin* out, IPin* in, const AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT Disconnect(IPin* pin) = 0;
};

struct IGraphBuilder : Interface<IFilterGraph, 0x01000009> {
    // Breaks the connection of `pin` and makes it again, the types offered
    // anew (VFW_E_NOT_CONNECTED when it has none).
    virtual HRESULT Reconnect(IPin* pin) = 0;
};

struct IMediaControl : Interface<IUnknown, 0x0100000A> {
    virtual HRESULT Run() = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT GetState(int32_t timeout_ms, FILTER_STATE* state) = 0;
};

// Pin categories and the capture graph builder's search directions.
inline constexpr GUID PIN_CATEGORY_CAPTURE = StandInGuid(0x0C000001);
inline constexpr GUID PIN_CATEGORY_PREVIEW = StandInGuid(0x0C000002);
inline constexpr GUID PIN_CATEGORY_ANALOGVIDEOIN = StandInGuid(0x0C000003);
inline constexpr GUID LOOK_UPSTREAM_ONLY = StandInGuid(0x0C000010);

struct ICaptureGraphBuilder2 : Interface<IUnknown, 0x0100000B> {
    virtual HRESULT SetFiltergraph(IGraphBuilder* graph) = 0;
    // The `index`-th pin of `source` (a filter) with that direction, category
    // and major type (null: any), unconnected ones only when asked.
    virtual HRESULT FindPin(IUnknown* source, PIN_DIRECTION direction, const GUID* category,
                            const GUID* type, bool unconnected, int index, IPin** pin) = 0;
    // Interface `iid` on a filter upstream of `filter` (`category`
    // LOOK_UPSTREAM_ONLY), adding the device filters a capture filter needs
    // upstream to the graph on the way; or on the first output pin of
    // `filter` of pin category `category` and major type `type`.
    // E_NOINTERFACE when there is none.
    virtual HRESULT FindInterface(const GUID* category, const GUID* type, IBaseFilter* filter,
                                  const GUID& iid, void** out) = 0;
    // Connects `source` (a filter's first free output pin, or a pin) to the
    // first free input pin of `sink`: directly, else through a colour
    // converter; through a "Smart Tee" first where the source asks for one.
    virtual HRESULT RenderStream(const GUID* category, const GUID* type, IUnknown* source,
                                 IBaseFilter* intermediate, IBaseFilter* sink) = 0;
};

} // namespace dshow
