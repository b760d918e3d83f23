#include <algorithm>
#include <cstdlib>
#include <limits>

#include <dshow/base_filter.h>

namespace dshow {
namespace {

bool IsComplete(const AM_MEDIA_TYPE& type)
{
    return type.majortype != GUID_NULL && type.subtype != GUID_NULL && type.formattype != GUID_NULL;
}

// Whether `candidate` has every field that the partial type `wanted` names.
bool Matches(const AM_MEDIA_TYPE* wanted, const AM_MEDIA_TYPE& candidate)
{
    if (!wanted)
        return true;
    auto same = [](const GUID& a, const GUID& b) { return a == GUID_NULL || a == b; };
    return same(wanted->majortype, candidate.majortype) &&
           same(wanted->subtype, candidate.subtype) &&
           same(wanted->formattype, candidate.formattype);
}

} // namespace

BasePin::BasePin(BaseFilter& filter, std::wstring name, PIN_DIRECTION direction)
    : filter_(filter), name_(std::move(name)), direction_(direction)
{
}

BasePin::~BasePin() = default;

HRESULT BasePin::QueryInterface(const GUID& iid, void** out)
{
    return QueryOnly<IPin>(this, iid, out);
}

uint32_t BasePin::AddRef() { return filter_.AddRef(); }
uint32_t BasePin::Release() { return filter_.Release(); }

HRESULT BasePin::Expose(void* found, void** out)
{
    AddRef();
    *out = found;
    return S_OK;
}

HRESULT BasePin::Connect(IPin* receiver, const AM_MEDIA_TYPE* type)
{
    if (!receiver)
        return E_POINTER;
    std::lock_guard guard(filter_.Lock());
    if (const HRESULT hr = Connectable(PINDIR_OUTPUT); hr != S_OK)
        return hr;
    if (type && IsComplete(*type))
        return TryConnect(receiver, *type) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    MediaType candidate;
    for (int i = 0; receiver->EnumMediaType(i, &candidate) == S_OK; ++i)
        if (Matches(type, candidate) && TryConnect(receiver, candidate))
            return S_OK;
    for (int i = 0; GetMediaType(i, &candidate) == S_OK; ++i)
        if (Matches(type, candidate) && TryConnect(receiver, candidate))
            return S_OK;
    return VFW_E_NO_ACCEPTABLE_TYPES;
}

HRESULT BasePin::Connectable(PIN_DIRECTION direction)
{
    if (direction_ != direction)
        return E_UNEXPECTED;
    if (peer_)
        return VFW_E_ALREADY_CONNECTED;
    if (filter_.State() != State_Stopped)
        return VFW_E_NOT_STOPPED;
    return S_OK;
}

bool BasePin::TryConnect(IPin* receiver, const AM_MEDIA_TYPE& type)
{
    if (CheckMediaType(type) != S_OK)
        return false;
    peer_ = ComPtr<IPin>(receiver);
    type_ = type;
    if (receiver->ReceiveConnection(this, &type) != S_OK) {
        peer_.Reset();
        type_ = MediaType();
        return false;
    }
    if (FAILED(CompleteConnect(receiver))) {
        receiver->Disconnect();
        BreakConnect();
        peer_.Reset();
        type_ = MediaType();
        return false;
    }
    return true;
}

HRESULT BasePin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type)
{
    if (!connector || !type)
        return E_POINTER;
    std::lock_guard guard(filter_.Lock());
    if (const HRESULT hr = Connectable(PINDIR_INPUT); hr != S_OK)
        return hr;
    if (CheckMediaType(*type) != S_OK)
        return VFW_E_TYPE_NOT_ACCEPTED;
    peer_ = ComPtr<IPin>(connector);
    type_ = *type;
    if (const HRESULT hr = CompleteConnect(connector); FAILED(hr)) {
        BreakConnect();
        peer_.Reset();
        type_ = MediaType();
        return hr;
    }
    return S_OK;
}

HRESULT BasePin::Disconnect()
{
    ComPtr<IPin> old;
    {
        std::lock_guard guard(filter_.Lock());
        if (!peer_)
            return S_FALSE;
        BreakConnect();
        old = std::move(peer_);
        type_ = MediaType();
    }
    return S_OK;
}

HRESULT BasePin::ConnectedTo(IPin** pin)
{
    if (!pin)
        return E_POINTER;
    std::lock_guard guard(filter_.Lock());
    *pin = nullptr;
    return peer_ ? CopyOut(peer_.get(), pin) : VFW_E_NOT_CONNECTED;
}

HRESULT BasePin::ConnectionMediaType(MediaType* type)
{
    if (!type)
        return E_POINTER;
    std::lock_guard guard(filter_.Lock());
    if (!peer_)
        return VFW_E_NOT_CONNECTED;
    *type = type_;
    return S_OK;
}

HRESULT BasePin::QueryPinInfo(PinInfo* info)
{
    if (!info)
        return E_POINTER;
    info->filter = ComPtr<IBaseFilter>(&filter_);
    info->direction = direction_;
    info->name = name_;
    return S_OK;
}

HRESULT BasePin::QueryDirection(PIN_DIRECTION* direction)
{
    if (!direction)
        return E_POINTER;
    *direction = direction_;
    return S_OK;
}

HRESULT BasePin::QueryAccept(const AM_MEDIA_TYPE* type)
{
    if (!type)
        return E_POINTER;
    return CheckMediaType(*type) == S_OK ? S_OK : S_FALSE;
}

HRESULT BasePin::EnumMediaType(int index, MediaType* type)
{
    if (!type)
        return E_POINTER;
    if (index < 0)
        return E_INVALIDARG;
    return GetMediaType(index, type) == S_OK ? S_OK : VFW_S_NO_MORE_ITEMS;
}

HRESULT BasePin::GetMediaType(int, MediaType*) { return VFW_S_NO_MORE_ITEMS; }
HRESULT BasePin::CompleteConnect(IPin*) { return S_OK; }
void BasePin::BreakConnect() { }
HRESULT BasePin::Active() { return S_OK; }
void BasePin::Inactive() { }

bool BasePin::IsConnected()
{
    std::lock_guard guard(filter_.Lock());
    return bool(peer_);
}

ComPtr<IPin> BasePin::Peer()
{
    std::lock_guard guard(filter_.Lock());
    return peer_;
}

MediaType BasePin::ConnectionType()
{
    std::lock_guard guard(filter_.Lock());
    return type_;
}

// ---- Output pin -----------------------------------------------------------

BaseOutputPin::BaseOutputPin(BaseFilter& filter, std::wstring name)
    : BasePin(filter, std::move(name), PINDIR_OUTPUT)
{
}

HRESULT BaseOutputPin::CompleteConnect(IPin* peer)
{
    const auto input = ComPtr<IPin>(peer).As<IMemInputPin>();
    if (!input)
        return VFW_E_NO_ALLOCATOR;
    ComPtr<IMemAllocator> allocator;
    if (const HRESULT hr = input->GetAllocator(allocator.put()); FAILED(hr))
        return hr;
    ALLOCATOR_PROPERTIES actual{};
    if (const HRESULT hr = allocator->SetProperties({1, BufferSize()}, &actual); FAILED(hr))
        return hr;
    if (const HRESULT hr = input->NotifyAllocator(allocator.get(), false); FAILED(hr))
        return hr;
    std::lock_guard guard(Filter().Lock());
    allocator_ = std::move(allocator);
    input_ = input;
    return S_OK;
}

void BaseOutputPin::BreakConnect()
{
    std::lock_guard guard(Filter().Lock());
    allocator_.Reset();
    input_.Reset();
}

HRESULT BaseOutputPin::Active()
{
    std::lock_guard guard(Filter().Lock());
    return allocator_ ? allocator_->Commit() : S_OK;
}

void BaseOutputPin::Inactive()
{
    std::lock_guard guard(Filter().Lock());
    if (allocator_)
        allocator_->Decommit();
}

HRESULT BaseOutputPin::GetDeliveryBuffer(ComPtr<IMediaSample>* sample)
{
    ComPtr<IMemAllocator> allocator;
    {
        std::lock_guard guard(Filter().Lock());
        allocator = allocator_;
    }
    if (!allocator)
        return VFW_E_NO_ALLOCATOR;
    return allocator->GetBuffer(sample->put());
}

HRESULT BaseOutputPin::Deliver(IMediaSample* sample)
{
    ComPtr<IMemInputPin> input;
    {
        std::lock_guard guard(Filter().Lock());
        input = input_;
    }
    return input ? input->Receive(sample) : VFW_E_NOT_CONNECTED;
}

int32_t BaseOutputPin::BufferSize()
{
    const MediaType type = ConnectionType();
    if (type.lSampleSize)
        return int32_t(std::min<uint64_t>(type.lSampleSize, std::numeric_limits<int32_t>::max()));
    const VIDEOINFOHEADER* info = VideoInfoOf(type);
    if (!info)
        return 0;
    const BITMAPINFOHEADER& bmi = info->bmiHeader;
    uint64_t bytes = bmi.biSizeImage;
    if (!bytes)
        bytes = uint64_t(bmi.biBitCount) * uint64_t(std::abs(int64_t(bmi.biWidth))) *
                uint64_t(std::abs(int64_t(bmi.biHeight))) / 8;
    return int32_t(std::min<uint64_t>(bytes, std::numeric_limits<int32_t>::max()));
}

// ---- Input pin ------------------------------------------------------------

BaseInputPin::BaseInputPin(BaseFilter& filter, std::wstring name)
    : BasePin(filter, std::move(name), PINDIR_INPUT)
{
}

HRESULT BaseInputPin::QueryInterface(const GUID& iid, void** out)
{
    if (out && InterfaceMatches<IMemInputPin>(iid))
        return Expose(static_cast<IMemInputPin*>(this), out);
    return BasePin::QueryInterface(iid, out);
}

uint32_t BaseInputPin::AddRef() { return BasePin::AddRef(); }
uint32_t BaseInputPin::Release() { return BasePin::Release(); }

HRESULT BaseInputPin::GetAllocator(IMemAllocator** allocator)
{
    if (!allocator)
        return E_POINTER;
    std::lock_guard guard(Filter().Lock());
    if (!allocator_)
        allocator_ = MakeMemAllocator();
    return CopyOut(allocator_.get(), allocator);
}

HRESULT BaseInputPin::NotifyAllocator(IMemAllocator* allocator, bool)
{
    if (!allocator)
        return E_POINTER;
    std::lock_guard guard(Filter().Lock());
    allocator_ = ComPtr<IMemAllocator>(allocator);
    return S_OK;
}

HRESULT BaseInputPin::Receive(IMediaSample* sample)
{
    if (!sample)
        return E_POINTER;
    if (!IsConnected())
        return VFW_E_NOT_CONNECTED;
    if (Filter().State() == State_Stopped)
        return VFW_E_WRONG_STATE;
    return S_OK;
}

void BaseInputPin::BreakConnect()
{
    std::lock_guard guard(Filter().Lock());
    allocator_.Reset();
}

} // namespace dshow
