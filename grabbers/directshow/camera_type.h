#pragma once
// The camera_type parameter: the subtypes and video standards the plug-in
// knows, parsing the open's text into the wanted format, and writing the
// negotiated format back into the instance.
#include <cstdint>
#include <string>

#include "pixel_conversion.h"
#include <dshow/media_type.h>
#include <fgint/fgint.h>

namespace directshow {

struct SubtypeInfo {
    dshow::GUID guid;
    const char* upper; // keyword in camera_type
    const char* lower;
    const char* name; // written back and listed
    uint16_t bits;
    PixelFormat format;
};

// The nine subtypes in keyword search order.
extern const SubtypeInfo kSubtypes[9];

const SubtypeInfo* FindSubtype(const dshow::GUID& subtype);

// The name a capability list gives a subtype: the nine by name, others as
// "unsupported ..." of their family.
std::string SubtypeListName(const dshow::GUID& subtype);

// The camera_type prefix of an AnalogVideoStandard code ("" for 0); null for
// a code outside the table.
const char* StandardPrefix(int32_t standard);

// What camera_type asks for.
struct CameraTypeRequest {
    bool device_format = false; // "default": whatever the device offers
    int32_t video_standard = 0;
    const SubtypeInfo* subtype = nullptr; // a named subtype, with `format`
    dshow::VIDEOINFOHEADER format{};
    bool custom = false; // a four-character code, with custom_subtype/format
    dshow::GUID custom_subtype{};
    dshow::VIDEOINFOHEADER custom_format{};
    int32_t width = 0;
    int32_t height = 0;
};

// FG_SUCCESS, or FG_ERR_CAMERA_TYPE for ARGB32, a text of another shape, or a
// size without "(" or "x".
FGstatus ParseCameraType(const char* text, CameraTypeRequest* request);

// A video media type of `subtype` whose format block is `format` (not copied).
dshow::AM_MEDIA_TYPE VideoTypeOver(const dshow::GUID& subtype, dshow::VIDEOINFOHEADER* format);

// Bytes of a frame: bits x width x |height| / 8, saturated.
uint64_t FrameSize(uint16_t bits, int32_t width, int32_t height);

// The negotiated format into the sizes, bits_per_channel, color_space and
// camera_type ("%s%s (%dx%d)": standard prefix, subtype name, size) of `fginst`.
void WriteBackCameraType(const dshow::VIDEOINFOHEADER& format, const dshow::GUID& subtype,
                         int32_t standard, int32_t colour_mode, FGInstance* fginst);

} // namespace directshow
