#pragma once
// Base classes of filters and pins: reference counting, states, connection
// (each candidate type is offered to both pins' CheckMediaType), allocator
// agreement and delivery. A filter owns its pins; a pin's references are its
// filter's.
#include <memory>
#include <mutex>
#include <string>

#include <dshow/export.h>
#include <dshow/filters.h>

namespace dshow {

class BasePin;

class DSHOW_API BaseFilter : public ComBase<IBaseFilter> {
public:
    HRESULT Stop() override;
    HRESULT Run(REFERENCE_TIME start) override;
    HRESULT GetState(uint32_t timeout_ms, FILTER_STATE* state) override;
    HRESULT EnumPins(IEnumPins** pins) override;
    // The pin whose name is `id`.
    HRESULT FindPin(const wchar_t* id, IPin** pin) override;
    HRESULT QueryFilterInfo(FilterInfo* info) override;
    HRESULT JoinFilterGraph(IFilterGraph* graph, const wchar_t* name) override;

    virtual int PinCount() = 0;
    // Pin `n`, or null.
    virtual BasePin* Pin(int n) = 0;

    FILTER_STATE State();
    // The filter's state lock, shared by its pins.
    std::recursive_mutex& Lock() { return lock_; }

protected:
    explicit BaseFilter(ServerModule* module = nullptr);

private:
    std::recursive_mutex lock_;
    FILTER_STATE state_ = State_Stopped;
    IFilterGraph* graph_ = nullptr;
    std::wstring name_;
};

class DSHOW_API BasePin : public IPin {
public:
    BasePin(const BasePin&) = delete;
    BasePin& operator=(const BasePin&) = delete;
    virtual ~BasePin();

    HRESULT QueryInterface(const GUID& iid, void** out) override;
    uint32_t AddRef() override;
    uint32_t Release() override;

    HRESULT Connect(IPin* receiver, const AM_MEDIA_TYPE* type) override;
    HRESULT ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) override;
    HRESULT Disconnect() override;
    HRESULT ConnectedTo(IPin** pin) override;
    HRESULT ConnectionMediaType(MediaType* type) override;
    HRESULT QueryPinInfo(PinInfo* info) override;
    HRESULT QueryDirection(PIN_DIRECTION* direction) override;
    HRESULT QueryAccept(const AM_MEDIA_TYPE* type) override;
    HRESULT EnumMediaType(int index, MediaType* type) override;

    // S_OK when the pin takes `type`.
    virtual HRESULT CheckMediaType(const AM_MEDIA_TYPE& type) = 0;
    // The pin's preferred type at `position`; VFW_S_NO_MORE_ITEMS past them.
    virtual HRESULT GetMediaType(int position, MediaType* type);
    // Called once both sides agreed on the type; a failure undoes the connection.
    virtual HRESULT CompleteConnect(IPin* peer);
    virtual void BreakConnect();
    // The filter starts (Active) or stops (Inactive) streaming.
    virtual HRESULT Active();
    virtual void Inactive();

    bool IsConnected();
    const std::wstring& Name() const { return name_; }
    BaseFilter& Filter() { return filter_; }

protected:
    BasePin(BaseFilter& filter, std::wstring name, PIN_DIRECTION direction);

    // Hands out `found`, an interface of this pin, with one more reference.
    HRESULT Expose(void* found, void** out);

    // The connected pin and the type, read under the filter lock.
    ComPtr<IPin> Peer();
    MediaType ConnectionType();

private:
    // S_OK when the pin, of `direction`, may take a connection now (filter
    // lock held).
    HRESULT Connectable(PIN_DIRECTION direction);
    bool TryConnect(IPin* receiver, const AM_MEDIA_TYPE& type);

    BaseFilter& filter_;
    std::wstring name_;
    PIN_DIRECTION direction_;
    ComPtr<IPin> peer_;
    MediaType type_;
};

// An output pin that delivers samples from the allocator it agreed on with
// the input pin it is connected to.
class DSHOW_API BaseOutputPin : public BasePin {
public:
    HRESULT CompleteConnect(IPin* peer) override;
    void BreakConnect() override;
    HRESULT Active() override;
    void Inactive() override;

    // A free sample of the agreed allocator.
    HRESULT GetDeliveryBuffer(ComPtr<IMediaSample>* sample);
    // Hands `sample` to the connected input pin.
    HRESULT Deliver(IMediaSample* sample);

protected:
    BaseOutputPin(BaseFilter& filter, std::wstring name);
    // Bytes a sample of the connection needs (default: the type's sample size,
    // else the size of its bitmap).
    virtual int32_t BufferSize();

private:
    ComPtr<IMemAllocator> allocator_;
    ComPtr<IMemInputPin> input_;
};

// An input pin with IMemInputPin. Receive here checks that the pin may take
// a sample now: a filter's pin overrides it and calls it first.
class DSHOW_API BaseInputPin : public BasePin, public IMemInputPin {
public:
    HRESULT QueryInterface(const GUID& iid, void** out) override;
    uint32_t AddRef() override;
    uint32_t Release() override;

    HRESULT GetAllocator(IMemAllocator** allocator) override;
    HRESULT NotifyAllocator(IMemAllocator* allocator, bool read_only) override;
    // E_POINTER without a sample, VFW_E_NOT_CONNECTED, VFW_E_WRONG_STATE while
    // the filter is stopped, else S_OK.
    HRESULT Receive(IMediaSample* sample) override;
    void BreakConnect() override;

protected:
    BaseInputPin(BaseFilter& filter, std::wstring name);

private:
    ComPtr<IMemAllocator> allocator_;
};

// A new allocator of the stand-in.
DSHOW_API ComPtr<IMemAllocator> MakeMemAllocator();

} // namespace dshow
