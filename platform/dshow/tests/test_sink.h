#pragma once
// A sink filter for the tests: takes one video subtype and size and keeps
// the frame number of every sample it receives, and the last picture.
#include <cstdlib>
#include <mutex>
#include <vector>

#include <dshow/base_filter.h>
#include <dshow/frames.h>

class TestSink : public dshow::BaseFilter {
public:
    TestSink(const dshow::GUID& subtype, int32_t width, int32_t height) : pin_(*this)
    {
        dshow::VIDEOINFOHEADER info{};
        info.bmiHeader = {40,
                          width,
                          height,
                          1,
                          uint16_t(dshow::sim::BitsPerPixel(subtype)),
                          0,
                          uint32_t(dshow::sim::FrameBytes(subtype, width, height)),
                          0,
                          0,
                          0,
                          0};
        info.AvgTimePerFrame = 333333;
        wanted_ = dshow::MediaType::Video(subtype, info);
    }

    int PinCount() override { return 1; }
    dshow::BasePin* Pin(int n) override { return n == 0 ? &pin_ : nullptr; }
    dshow::IPin* Input() { return &pin_; }

    std::vector<uint32_t> Frames()
    {
        std::lock_guard guard(mutex_);
        return frames_;
    }

    dshow::sim::Picture LastPicture()
    {
        std::lock_guard guard(mutex_);
        return last_;
    }

private:
    class SinkPin : public dshow::BaseInputPin {
    public:
        explicit SinkPin(TestSink& sink) : BaseInputPin(sink, L"In"), sink_(sink) { }

        dshow::HRESULT CheckMediaType(const dshow::AM_MEDIA_TYPE& type) override
        {
            const auto* offered = dshow::VideoInfoOf(type);
            const auto* wanted = dshow::VideoInfoOf(sink_.wanted_);
            return offered && type.subtype == sink_.wanted_.subtype &&
                           offered->bmiHeader.biWidth == wanted->bmiHeader.biWidth &&
                           offered->bmiHeader.biHeight == wanted->bmiHeader.biHeight
                       ? dshow::S_OK
                       : dshow::S_FALSE;
        }

        dshow::HRESULT GetMediaType(int position, dshow::MediaType* type) override
        {
            if (position != 0)
                return dshow::VFW_S_NO_MORE_ITEMS;
            *type = sink_.wanted_;
            return dshow::S_OK;
        }

        dshow::HRESULT Receive(dshow::IMediaSample* sample) override
        {
            if (const dshow::HRESULT hr = BaseInputPin::Receive(sample); hr != dshow::S_OK)
                return hr;
            const auto* info = dshow::VideoInfoOf(sink_.wanted_);
            uint8_t* data = nullptr;
            sample->GetPointer(&data);
            dshow::sim::Picture picture;
            if (!dshow::sim::DecodePicture(sink_.wanted_.subtype, info->bmiHeader.biHeight > 0,
                                           info->bmiHeader.biWidth,
                                           std::abs(info->bmiHeader.biHeight), data,
                                           std::size_t(sample->GetActualDataLength()), &picture))
                return dshow::E_FAIL;
            uint8_t red[16];
            for (int x = 0; x < 16; ++x)
                red[x] = picture.rgb[3 * std::size_t(x)];
            std::lock_guard guard(sink_.mutex_);
            sink_.frames_.push_back(dshow::sim::FrameNumberOf(red));
            sink_.last_ = std::move(picture);
            return dshow::S_OK;
        }

    private:
        TestSink& sink_;
    };

    dshow::MediaType wanted_;
    SinkPin pin_;
    std::mutex mutex_;
    std::vector<uint32_t> frames_;
    dshow::sim::Picture last_;
};
