#pragma once
// Media types: the record that pins agree on, the video format block and the
// identifiers of the major types, subtypes and format types.
#include <cstdint>

#include <dshow/export.h>
#include <dshow/guid.h>

namespace dshow {

using REFERENCE_TIME = int64_t; // units of 100 ns

struct RECT {
    int32_t left, top, right, bottom;
};

struct BITMAPINFOHEADER {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight; // > 0: rows stored bottom-up
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression; // 0, or a four-character code
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct VIDEOINFOHEADER {
    RECT rcSource;
    RECT rcTarget;
    uint32_t dwBitRate;
    uint32_t dwBitErrorRate;
    REFERENCE_TIME AvgTimePerFrame;
    BITMAPINFOHEADER bmiHeader;
};
static_assert(sizeof(VIDEOINFOHEADER) == 88);

struct AM_MEDIA_TYPE {
    GUID majortype;
    GUID subtype;
    int32_t bFixedSizeSamples;
    int32_t bTemporalCompression;
    uint32_t lSampleSize;
    GUID formattype;
    uint32_t cbFormat;
    uint8_t* pbFormat; // cbFormat bytes, owned by whoever made the record
};

// An AM_MEDIA_TYPE that owns a copy of its format block.
class DSHOW_API MediaType : public AM_MEDIA_TYPE {
public:
    MediaType();
    MediaType(const AM_MEDIA_TYPE& type);
    MediaType(const MediaType& other);
    MediaType& operator=(const MediaType& other);
    ~MediaType();

    // A video type with `format` as its VIDEOINFOHEADER block.
    static MediaType Video(const GUID& subtype, const VIDEOINFOHEADER& format);
};

// The VIDEOINFOHEADER of a video-info type, or null when the type has none.
DSHOW_API const VIDEOINFOHEADER* VideoInfoOf(const AM_MEDIA_TYPE& type);

// Major types.
inline constexpr GUID MEDIATYPE_Video = FourCCGuid(FourCC("vids"));
inline constexpr GUID MEDIATYPE_Interleaved = FourCCGuid(FourCC("iavs"));
inline constexpr GUID MEDIATYPE_AnalogVideo = StandInGuid(0x0A000001);
inline constexpr GUID MEDIATYPE_AnalogAudio = StandInGuid(0x0A000002);

// Format types.
inline constexpr GUID FORMAT_VideoInfo = StandInGuid(0x0F000001);

// Video subtypes. The uncompressed RGB ones and a few families have ids of
// their own; the others are four-character-code ids.
inline constexpr GUID MEDIASUBTYPE_RGB1 = StandInGuid(0x05000001);
inline constexpr GUID MEDIASUBTYPE_RGB4 = StandInGuid(0x05000004);
inline constexpr GUID MEDIASUBTYPE_RGB8 = StandInGuid(0x05000008);
inline constexpr GUID MEDIASUBTYPE_RGB555 = StandInGuid(0x05000555);
inline constexpr GUID MEDIASUBTYPE_RGB565 = StandInGuid(0x05000565);
inline constexpr GUID MEDIASUBTYPE_RGB24 = StandInGuid(0x05000024);
inline constexpr GUID MEDIASUBTYPE_RGB32 = StandInGuid(0x05000032);
inline constexpr GUID MEDIASUBTYPE_ARGB32 = StandInGuid(0x05000A32);
inline constexpr GUID MEDIASUBTYPE_Overlay = StandInGuid(0x05000F01);
inline constexpr GUID MEDIASUBTYPE_QTJpeg = StandInGuid(0x05000F02);
inline constexpr GUID MEDIASUBTYPE_MPEG1Video = StandInGuid(0x05000F03);
inline constexpr GUID MEDIASUBTYPE_MPEG2_VIDEO = StandInGuid(0x05000F04);
inline constexpr GUID MEDIASUBTYPE_VPVideo = StandInGuid(0x05000F05);
inline constexpr GUID MEDIASUBTYPE_Y800 = FourCCGuid(FourCC("Y800"));
inline constexpr GUID MEDIASUBTYPE_UYVY = FourCCGuid(FourCC("UYVY"));
inline constexpr GUID MEDIASUBTYPE_YUY2 = FourCCGuid(FourCC("YUY2"));
inline constexpr GUID MEDIASUBTYPE_YVYU = FourCCGuid(FourCC("YVYU"));
inline constexpr GUID MEDIASUBTYPE_YV12 = FourCCGuid(FourCC("YV12"));
inline constexpr GUID MEDIASUBTYPE_I420 = FourCCGuid(FourCC("I420"));
inline constexpr GUID MEDIASUBTYPE_NV12 = FourCCGuid(FourCC("NV12"));
inline constexpr GUID MEDIASUBTYPE_Y411 = FourCCGuid(FourCC("Y411"));
inline constexpr GUID MEDIASUBTYPE_Y41P = FourCCGuid(FourCC("Y41P"));
inline constexpr GUID MEDIASUBTYPE_MJPG = FourCCGuid(FourCC("MJPG"));
inline constexpr GUID MEDIASUBTYPE_dvsd = FourCCGuid(FourCC("dvsd"));

} // namespace dshow
