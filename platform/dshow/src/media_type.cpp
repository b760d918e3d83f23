#include <dshow/media_type.h>

#include <cstring>

namespace dshow {
namespace {

uint8_t* CopyFormat(const AM_MEDIA_TYPE& type)
{
    if (!type.pbFormat || type.cbFormat == 0)
        return nullptr;
    auto* block = new uint8_t[type.cbFormat];
    std::memcpy(block, type.pbFormat, type.cbFormat);
    return block;
}

} // namespace

MediaType::MediaType() : AM_MEDIA_TYPE{} { }

MediaType::MediaType(const AM_MEDIA_TYPE& type) : AM_MEDIA_TYPE(type)
{
    pbFormat = CopyFormat(type);
    if (!pbFormat)
        cbFormat = 0;
}

MediaType::MediaType(const MediaType& other) : MediaType(static_cast<const AM_MEDIA_TYPE&>(other))
{
}

MediaType& MediaType::operator=(const MediaType& other)
{
    if (this != &other) {
        uint8_t* block = CopyFormat(other);
        delete[] pbFormat;
        static_cast<AM_MEDIA_TYPE&>(*this) = other;
        pbFormat = block;
        if (!pbFormat)
            cbFormat = 0;
    }
    return *this;
}

MediaType::~MediaType() { delete[] pbFormat; }

MediaType MediaType::Video(const GUID& subtype, const VIDEOINFOHEADER& format)
{
    AM_MEDIA_TYPE type{};
    type.majortype = MEDIATYPE_Video;
    type.subtype = subtype;
    type.bFixedSizeSamples = 1;
    type.lSampleSize = format.bmiHeader.biSizeImage;
    type.formattype = FORMAT_VideoInfo;
    type.cbFormat = sizeof format;
    type.pbFormat = reinterpret_cast<uint8_t*>(const_cast<VIDEOINFOHEADER*>(&format));
    return MediaType(type);
}

const VIDEOINFOHEADER* VideoInfoOf(const AM_MEDIA_TYPE& type)
{
    if (type.formattype != FORMAT_VideoInfo || !type.pbFormat ||
        type.cbFormat < sizeof(VIDEOINFOHEADER))
        return nullptr;
    return reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat);
}

} // namespace dshow
