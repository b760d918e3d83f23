// Filters with one input and one output pin that turn each sample they
// receive into one they deliver: the colour converter and the Smart Tee.
#include "transform_filters.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <dshow/base_filter.h>
#include <dshow/frames.h>

namespace dshow {
namespace {

class TransformFilter;

class TransformInputPin : public BaseInputPin {
public:
    TransformInputPin(TransformFilter& owner);
    HRESULT CheckMediaType(const AM_MEDIA_TYPE& type) override;
    HRESULT Receive(IMediaSample* sample) override;
    MediaType Type() { return ConnectionType(); }

private:
    TransformFilter& owner_;
};

class TransformOutputPin : public BaseOutputPin {
public:
    TransformOutputPin(TransformFilter& owner);
    HRESULT CheckMediaType(const AM_MEDIA_TYPE& type) override;
    HRESULT GetMediaType(int position, MediaType* type) override;
    MediaType Type() { return ConnectionType(); }

private:
    TransformFilter& owner_;
};

class TransformFilter : public BaseFilter {
public:
    int PinCount() override { return 2; }
    BasePin* Pin(int n) override
    {
        if (n == 0)
            return &input_;
        return n == 1 ? &output_ : nullptr;
    }

    virtual bool TakesInput(const AM_MEDIA_TYPE& type) = 0;
    // The output type at `position` for the connected input type.
    virtual bool OutputType(const MediaType& input, int position, MediaType* type) = 0;
    virtual bool TakesOutput(const MediaType& input, const AM_MEDIA_TYPE& type) = 0;
    // Fills `out` from `in`; the bytes written, 0 when the sample is dropped.
    virtual int32_t Transform(const MediaType& input, IMediaSample* in, const MediaType& output,
                              IMediaSample* out) = 0;

    bool InputConnected() { return input_.IsConnected(); }
    MediaType InputType() { return input_.Type(); }

    HRESULT Process(IMediaSample* in)
    {
        ComPtr<IMediaSample> out;
        if (const HRESULT hr = output_.GetDeliveryBuffer(&out); FAILED(hr))
            return hr;
        const int32_t length = Transform(input_.Type(), in, output_.Type(), out.get());
        if (length <= 0)
            return E_FAIL;
        out->SetActualDataLength(length);
        return output_.Deliver(out.get());
    }

protected:
    TransformFilter() : input_(*this), output_(*this) { }

private:
    TransformInputPin input_;
    TransformOutputPin output_;
};

TransformInputPin::TransformInputPin(TransformFilter& owner)
    : BaseInputPin(owner, L"Input"), owner_(owner)
{
}

HRESULT TransformInputPin::CheckMediaType(const AM_MEDIA_TYPE& type)
{
    return owner_.TakesInput(type) ? S_OK : S_FALSE;
}

HRESULT TransformInputPin::Receive(IMediaSample* sample)
{
    if (const HRESULT hr = BaseInputPin::Receive(sample); hr != S_OK)
        return hr;
    return owner_.Process(sample);
}

TransformOutputPin::TransformOutputPin(TransformFilter& owner)
    : BaseOutputPin(owner, L"Output"), owner_(owner)
{
}

HRESULT TransformOutputPin::CheckMediaType(const AM_MEDIA_TYPE& type)
{
    return owner_.InputConnected() && owner_.TakesOutput(owner_.InputType(), type) ? S_OK : S_FALSE;
}

HRESULT TransformOutputPin::GetMediaType(int position, MediaType* type)
{
    return owner_.InputConnected() && owner_.OutputType(owner_.InputType(), position, type)
               ? S_OK
               : VFW_S_NO_MORE_ITEMS;
}

constexpr GUID kConverterOutputs[] = {MEDIASUBTYPE_RGB24, MEDIASUBTYPE_RGB32, MEDIASUBTYPE_RGB565,
                                      MEDIASUBTYPE_RGB555};

class ColourConverter : public TransformFilter {
public:
    bool TakesInput(const AM_MEDIA_TYPE& type) override
    {
        return type.majortype == MEDIATYPE_Video && VideoInfoOf(type) &&
               sim::BitsPerPixel(type.subtype) > 0;
    }

    bool OutputType(const MediaType& input, int position, MediaType* type) override
    {
        const VIDEOINFOHEADER* in = VideoInfoOf(input);
        if (!in || position < 0 || position >= int(std::size(kConverterOutputs)))
            return false;
        const GUID& subtype = kConverterOutputs[position];
        VIDEOINFOHEADER info{};
        info.AvgTimePerFrame = in->AvgTimePerFrame;
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = in->bmiHeader.biWidth;
        info.bmiHeader.biHeight = std::abs(in->bmiHeader.biHeight);
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = uint16_t(sim::BitsPerPixel(subtype));
        info.bmiHeader.biSizeImage =
            uint32_t(sim::FrameBytes(subtype, info.bmiHeader.biWidth, info.bmiHeader.biHeight));
        if (in->AvgTimePerFrame > 0)
            info.dwBitRate = uint32_t(uint64_t(info.bmiHeader.biSizeImage) * 8 * 10000000 /
                                      uint64_t(in->AvgTimePerFrame));
        *type = MediaType::Video(subtype, info);
        return true;
    }

    bool TakesOutput(const MediaType& input, const AM_MEDIA_TYPE& type) override
    {
        const VIDEOINFOHEADER* in = VideoInfoOf(input);
        const VIDEOINFOHEADER* out = VideoInfoOf(type);
        return in && out && type.majortype == MEDIATYPE_Video &&
               std::find(std::begin(kConverterOutputs), std::end(kConverterOutputs),
                         type.subtype) != std::end(kConverterOutputs) &&
               out->bmiHeader.biWidth == in->bmiHeader.biWidth &&
               std::abs(out->bmiHeader.biHeight) == std::abs(in->bmiHeader.biHeight);
    }

    int32_t Transform(const MediaType& input, IMediaSample* in, const MediaType& output,
                      IMediaSample* out) override
    {
        const VIDEOINFOHEADER* from = VideoInfoOf(input);
        const VIDEOINFOHEADER* to = VideoInfoOf(output);
        uint8_t* source = nullptr;
        uint8_t* target = nullptr;
        if (!from || !to || FAILED(in->GetPointer(&source)) || FAILED(out->GetPointer(&target)))
            return 0;
        const int32_t width = from->bmiHeader.biWidth;
        const int32_t height = std::abs(from->bmiHeader.biHeight);
        sim::Picture picture;
        if (!sim::DecodePicture(input.subtype, from->bmiHeader.biHeight > 0, width, height, source,
                                std::size_t(in->GetActualDataLength()), &picture) ||
            !sim::EncodePicture(picture, output.subtype, to->bmiHeader.biHeight > 0, target,
                                std::size_t(out->GetSize())))
            return 0;
        return int32_t(sim::FrameBytes(output.subtype, width, height));
    }
};

class SmartTee : public TransformFilter {
public:
    bool TakesInput(const AM_MEDIA_TYPE& type) override
    {
        return type.majortype == MEDIATYPE_Video && VideoInfoOf(type);
    }

    bool OutputType(const MediaType& input, int position, MediaType* type) override
    {
        if (position != 0)
            return false;
        *type = input;
        return true;
    }

    bool TakesOutput(const MediaType& input, const AM_MEDIA_TYPE& type) override
    {
        const VIDEOINFOHEADER* in = VideoInfoOf(input);
        const VIDEOINFOHEADER* out = VideoInfoOf(type);
        return in && out && type.subtype == input.subtype &&
               out->bmiHeader.biWidth == in->bmiHeader.biWidth &&
               out->bmiHeader.biHeight == in->bmiHeader.biHeight;
    }

    int32_t Transform(const MediaType&, IMediaSample* in, const MediaType&,
                      IMediaSample* out) override
    {
        uint8_t* source = nullptr;
        uint8_t* target = nullptr;
        const int32_t length = in->GetActualDataLength();
        if (FAILED(in->GetPointer(&source)) || FAILED(out->GetPointer(&target)) ||
            length > out->GetSize())
            return 0;
        std::memcpy(target, source, std::size_t(length));
        return length;
    }
};

} // namespace

ComPtr<IBaseFilter> MakeColourConverter() { return ComPtr<IBaseFilter>(new ColourConverter); }
ComPtr<IBaseFilter> MakeSmartTee() { return ComPtr<IBaseFilter>(new SmartTee); }

} // namespace dshow
