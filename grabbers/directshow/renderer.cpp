#include "renderer.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>

#include "camera_type.h"
#include "wanted_type.h"

namespace directshow {

using namespace dshow;

class VerodynRendererInputPin : public BaseInputPin {
public:
    explicit VerodynRendererInputPin(VerodynRenderer& renderer)
        : BaseInputPin(renderer, L"VERODYN_FGI"), renderer_(renderer)
    {
    }

    HRESULT CheckMediaType(const AM_MEDIA_TYPE& type) override
    {
        std::lock_guard link(renderer_.link_);
        return renderer_.cur_inst_ ? Check(*renderer_.cur_inst_, type) : S_FALSE;
    }

    HRESULT GetMediaType(int position, MediaType* type) override
    {
        std::lock_guard link(renderer_.link_);
        const CIODirectShow* record = renderer_.cur_inst_;
        if (position != 0 || !record || record->use_device_format)
            return VFW_S_NO_MORE_ITEMS;
        *type = record->wanted_type;
        return S_OK;
    }

    // Copies the sample on the streaming thread. A sample that is refused,
    // too long for the buffers, shorter than a frame or unreadable is dropped
    // (frame_status 5306); the event is set either way and the graph never
    // stopped by it.
    HRESULT Receive(IMediaSample* sample) override
    {
        const HRESULT streaming = BaseInputPin::Receive(sample);
        std::lock_guard link(renderer_.link_);
        CIODirectShow* record = renderer_.cur_inst_;
        if (!record)
            return E_FAIL;
        {
            std::lock_guard guard(*record->lock);
            record->frame_status = Copy(*record, streaming, sample) ? FG_SUCCESS : FG_ERR_GRAB;
        }
        record->frame_event->Set();
        return S_OK;
    }

private:
    static bool Copy(CIODirectShow& record, HRESULT streaming, IMediaSample* sample)
    {
        if (streaming != S_OK)
            return false;
        const int32_t length = sample->GetActualDataLength();
        uint8_t* data = nullptr;
        if (length < 0 || uint32_t(length) > record.buffer_capacity ||
            uint32_t(length) < record.frame_size || FAILED(sample->GetPointer(&data)) || !data)
            return false;
        std::memcpy(record.frame_buffers[record.write_index], data, std::size_t(length));
        record.frame_ready = 1;
        return true;
    }

    static HRESULT Check(CIODirectShow& record, const AM_MEDIA_TYPE& type)
    {
        if (type.majortype != MEDIATYPE_Video)
            return S_FALSE;
        if (record.use_device_format ? !FindSubtype(type.subtype)
                                     : type.subtype != record.wanted_type.subtype)
            return S_FALSE;
        const VIDEOINFOHEADER* offered = VideoInfoOf(type);
        if (!offered)
            return S_FALSE;
        BITMAPINFOHEADER& wanted = record.wanted_format.bmiHeader;
        if (!record.use_device_format) {
            if (offered->bmiHeader.biWidth != wanted.biWidth)
                return S_FALSE;
            if (offered->bmiHeader.biHeight == wanted.biHeight)
                return S_OK;
            if (int64_t(offered->bmiHeader.biHeight) != -int64_t(wanted.biHeight))
                return S_FALSE;
            wanted.biHeight = offered->bmiHeader.biHeight;
            return S_OK;
        }
        AdoptMediaType(type, *offered, &record);
        int32_t standard = 0;
        if (record.decoder && FAILED(record.decoder->get_TVFormat(&standard)))
            return S_FALSE;
        record.video_standard = standard;
        record.use_device_format = 0;
        return S_OK;
    }

    VerodynRenderer& renderer_;
};

VerodynRenderer::VerodynRenderer(ServerModule* module) : BaseFilter(module) { }

VerodynRenderer::~VerodynRenderer() = default;

IUnknown* VerodynRenderer::Create(ServerModule* module, HRESULT* result)
{
    auto* renderer = new (std::nothrow) VerodynRenderer(module);
    *result = renderer ? S_OK : E_OUTOFMEMORY;
    return renderer ? static_cast<IBaseFilter*>(renderer) : nullptr;
}

BasePin* VerodynRenderer::Pin(int n)
{
    if (n != 0)
        return nullptr;
    std::lock_guard guard(Lock());
    if (!input_pin_)
        input_pin_.reset(new (std::nothrow) VerodynRendererInputPin(*this));
    return input_pin_.get();
}

HRESULT VerodynRenderer::FindPin(const wchar_t* id, IPin** pin)
{
    if (!pin)
        return E_POINTER;
    *pin = nullptr;
    if (!id || std::wcscmp(id, L"In") != 0)
        return VFW_E_NOT_FOUND;
    BasePin* input = Pin(0);
    return input ? CopyOut<IPin>(input, pin) : VFW_E_NOT_FOUND;
}

void VerodynRenderer::SetInstance(CIODirectShow* record)
{
    std::lock_guard link(link_);
    cur_inst_ = record;
}

} // namespace directshow
