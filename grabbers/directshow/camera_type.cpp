#include "camera_type.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <strings.h>

#include <dshow/controls.h>
#include <fgint/fghelpers.h>

namespace directshow {
namespace {

using dshow::VIDEOINFOHEADER;

constexpr dshow::REFERENCE_TIME kFrameTime = 666666;

struct Prefix {
    int32_t standard;
    const char* text;
};

constexpr Prefix kPrefixes[] = {
    {dshow::AnalogVideo_None, ""},
    {dshow::AnalogVideo_NTSC_M, "NTSC_M "},
    {dshow::AnalogVideo_NTSC_M_J, "NTSC_M_J "},
    {dshow::AnalogVideo_NTSC_433, "NTSC_433 "},
    {dshow::AnalogVideo_PAL_B, "PAL_B "},
    {dshow::AnalogVideo_PAL_D, "PAL_D "},
    {dshow::AnalogVideo_PAL_H, "PAL_H "},
    {dshow::AnalogVideo_PAL_I, "PAL_I "},
    {dshow::AnalogVideo_PAL_M, "PAL_M "},
    {dshow::AnalogVideo_PAL_N, "PAL_N "},
    {dshow::AnalogVideo_PAL_60, "PAL_60 "},
    {dshow::AnalogVideo_SECAM_B, "SECAM_B"},
    {dshow::AnalogVideo_SECAM_D, "SECAM_D"},
    {dshow::AnalogVideo_SECAM_G, "SECAM_G"},
    {dshow::AnalogVideo_SECAM_H, "SECAM_H"},
    {dshow::AnalogVideo_SECAM_K, "SECAM_K"},
    {dshow::AnalogVideo_SECAM_K1, "SECAM_K1"},
    {dshow::AnalogVideo_SECAM_L, "SECAM_L"},
    {dshow::AnalogVideo_SECAM_L1, "SECAM_L1"},
    {dshow::AnalogVideo_PAL_N_COMBO, "PAL_N_COMBO "},
};

// Only these standards are recognised in camera_type, in this order.
constexpr Prefix kParsedStandards[] = {{dshow::AnalogVideo_NTSC_M, "NTSC_M"},
                                       {dshow::AnalogVideo_NTSC_M, "ntsc_m"},
                                       {dshow::AnalogVideo_PAL_B, "PAL_B"},
                                       {dshow::AnalogVideo_PAL_B, "pal_b"}};

int32_t ToInt32(long value)
{
    return int32_t(std::clamp<long>(value, std::numeric_limits<int32_t>::min(),
                                    std::numeric_limits<int32_t>::max()));
}

// "(<width>...x<height>" from the first "(" at or after `from`.
bool ParseSize(const char* from, int32_t* width, int32_t* height)
{
    const char* open = std::strchr(from, '(');
    if (!open)
        return false;
    const char* x = std::strchr(open, 'x');
    if (!x)
        x = std::strchr(open, 'X');
    if (!x)
        return false;
    *width = ToInt32(std::strtol(open + 1, nullptr, 10));
    *height = ToInt32(std::strtol(x + 1, nullptr, 10));
    return true;
}

// biSize 40, the size, AvgTimePerFrame 666666, dwBitRate 120 x the image size.
VIDEOINFOHEADER FormatOf(int32_t width, int32_t height, uint32_t image_size)
{
    VIDEOINFOHEADER format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = height;
    format.bmiHeader.biSizeImage = image_size;
    format.dwBitRate = image_size * 120;
    format.AvgTimePerFrame = kFrameTime;
    return format;
}

struct Family {
    dshow::GUID subtype;
    const char* name;
};

const Family kUnsupported[] = {
    {dshow::MEDIASUBTYPE_RGB1, "unsupported RGB1"},
    {dshow::MEDIASUBTYPE_RGB4, "unsupported RGB4"},
    {dshow::MEDIASUBTYPE_ARGB32, "unsupported ARGB32"},
    {dshow::MEDIASUBTYPE_YUY2, "unsupported YUV"},
    {dshow::MEDIASUBTYPE_YVYU, "unsupported YUV"},
    {dshow::MEDIASUBTYPE_YV12, "unsupported YUV"},
    {dshow::MEDIASUBTYPE_I420, "unsupported YUV"},
    {dshow::MEDIASUBTYPE_NV12, "unsupported YUV"},
    {dshow::MEDIASUBTYPE_MJPG, "unsupported MJPG"},
    {dshow::MEDIASUBTYPE_Overlay, "unsupported hardware overlay"},
    {dshow::MEDIASUBTYPE_QTJpeg, "unsupported QuickTime format"},
    {dshow::MEDIASUBTYPE_dvsd, "unsupported digital video"},
    {dshow::MEDIASUBTYPE_MPEG1Video, "unsupported MPEG"},
    {dshow::MEDIASUBTYPE_MPEG2_VIDEO, "unsupported MPEG"},
    {dshow::MEDIASUBTYPE_VPVideo, "unsupported VideoPort format"},
};

uint32_t Magnitude(int32_t value) { return uint32_t(value < 0 ? -int64_t(value) : value); }

} // namespace

const SubtypeInfo kSubtypes[9] = {
    {dshow::MEDIASUBTYPE_RGB32, "RGB32", "rgb32", "RGB32", 32, PixelFormat::RGB32},
    {dshow::MEDIASUBTYPE_RGB24, "RGB24", "rgb24", "RGB24", 24, PixelFormat::RGB24},
    {dshow::MEDIASUBTYPE_RGB565, "RGB565", "rgb565", "RGB565", 16, PixelFormat::RGB565},
    {dshow::MEDIASUBTYPE_RGB555, "RGB555", "rgb555", "RGB555", 16, PixelFormat::RGB555},
    {dshow::MEDIASUBTYPE_RGB8, "RGB8", "rgb8", "RGB8", 8, PixelFormat::RGB8},
    {dshow::MEDIASUBTYPE_Y800, "Y800", "Y800", "Y800", 8, PixelFormat::Y800},
    {dshow::MEDIASUBTYPE_UYVY, "UYVY", "uyvy", "UYVY", 16, PixelFormat::UYVY},
    {dshow::MEDIASUBTYPE_Y411, "YUV411", "yuv411", "YUV411", 12, PixelFormat::Y411},
    {dshow::MEDIASUBTYPE_Y41P, "YUV41P", "yuv41p", "YUV41P", 12, PixelFormat::Y41P},
};

const SubtypeInfo* FindSubtype(const dshow::GUID& subtype)
{
    for (const SubtypeInfo& s : kSubtypes)
        if (s.guid == subtype)
            return &s;
    return nullptr;
}

std::string SubtypeListName(const dshow::GUID& subtype)
{
    if (const SubtypeInfo* s = FindSubtype(subtype))
        return s->name;
    for (const Family& f : kUnsupported)
        if (f.subtype == subtype)
            return f.name;
    return "unsupported format";
}

const char* StandardPrefix(int32_t standard)
{
    for (const Prefix& p : kPrefixes)
        if (p.standard == standard)
            return p.text;
    return nullptr;
}

FGstatus ParseCameraType(const char* text, CameraTypeRequest* request)
{
    *request = CameraTypeRequest{};
    if (strcasecmp(text, "default") == 0) {
        request->device_format = true;
        return FG_SUCCESS;
    }
    const char* start = text;
    for (const Prefix& s : kParsedStandards)
        if (const char* at = std::strstr(text, s.text)) {
            request->video_standard = s.standard;
            start = at;
            break;
        }
    if (std::strstr(start, "ARGB32") || std::strstr(start, "argb32"))
        return FG_ERR_CAMERA_TYPE;
    for (const SubtypeInfo& s : kSubtypes) {
        const char* at = std::strstr(start, s.upper);
        if (!at)
            at = std::strstr(start, s.lower);
        if (!at)
            continue;
        if (!ParseSize(at, &request->width, &request->height))
            return FG_ERR_CAMERA_TYPE;
        const uint64_t bits_times_area = uint64_t(s.bits) * uint64_t(int64_t(request->height)) *
                                         uint64_t(int64_t(request->width));
        request->subtype = &s;
        request->format = FormatOf(request->width, request->height, uint32_t(bits_times_area / 8));
        request->format.bmiHeader.biPlanes = 1;
        request->format.bmiHeader.biBitCount = s.bits;
        if (s.guid == dshow::MEDIASUBTYPE_Y800)
            request->format.bmiHeader.biCompression = dshow::FourCC("Y800");
        return FG_SUCCESS;
    }
    if (std::strlen(start) < 6 || start[4] != ' ' || start[5] != '(')
        return FG_ERR_CAMERA_TYPE;
    if (!ParseSize(start + 4, &request->width, &request->height))
        return FG_ERR_CAMERA_TYPE;
    const uint32_t code = uint32_t(uint8_t(start[0])) | uint32_t(uint8_t(start[1])) << 8 |
                          uint32_t(uint8_t(start[2])) << 16 | uint32_t(uint8_t(start[3])) << 24;
    request->custom = true;
    request->custom_subtype = dshow::FourCCGuid(code);
    request->custom_format = FormatOf(
        request->width, request->height,
        uint32_t(uint64_t(int64_t(request->width)) * uint64_t(int64_t(request->height)) * 4));
    return FG_SUCCESS;
}

dshow::AM_MEDIA_TYPE VideoTypeOver(const dshow::GUID& subtype, VIDEOINFOHEADER* format)
{
    dshow::AM_MEDIA_TYPE type{};
    type.majortype = dshow::MEDIATYPE_Video;
    type.subtype = subtype;
    type.bFixedSizeSamples = 1;
    type.bTemporalCompression = 0;
    type.lSampleSize = format->bmiHeader.biSizeImage;
    type.formattype = dshow::FORMAT_VideoInfo;
    type.cbFormat = sizeof *format;
    type.pbFormat = reinterpret_cast<uint8_t*>(format);
    return type;
}

uint64_t FrameSize(uint16_t bits, int32_t width, int32_t height)
{
    const uint64_t pixels = uint64_t(Magnitude(width)) * Magnitude(height);
    if (bits && pixels > std::numeric_limits<uint64_t>::max() / bits)
        return std::numeric_limits<uint64_t>::max();
    return pixels * bits / 8;
}

void WriteBackCameraType(const VIDEOINFOHEADER& format, const dshow::GUID& subtype,
                         int32_t standard, int32_t colour_mode, FGInstance* fginst)
{
    const dshow::BITMAPINFOHEADER& bmi = format.bmiHeader;
    fginst->horizontal_resolution = bmi.biWidth;
    fginst->image_width = bmi.biWidth;
    fginst->vertical_resolution = bmi.biHeight;
    fginst->image_height =
        int32_t(std::min<uint32_t>(Magnitude(bmi.biHeight), std::numeric_limits<int32_t>::max()));
    fginst->start_row = 0;
    fginst->start_column = 0;
    fginst->field = FG_FIELD_INTERLACED;
    const bool rgb = colour_mode == kColourRgb;
    const SubtypeInfo* s = FindSubtype(subtype);
    if (s) {
        const bool packed = s->format == PixelFormat::RGB565 || s->format == PixelFormat::RGB555;
        const bool colour = rgb && s->format != PixelFormat::RGB8;
        fginst->bits_per_channel = packed && colour ? 5 : 8;
        fg_copy_text(fginst->color_space, sizeof fginst->color_space, colour ? "rgb" : "gray");
    }
    const char* prefix = StandardPrefix(standard);
    std::snprintf(fginst->camera_type, sizeof fginst->camera_type, "%s%s (%dx%d)",
                  prefix ? prefix : "", s ? s->name : "", fginst->image_width,
                  fginst->image_height);
}

} // namespace directshow
