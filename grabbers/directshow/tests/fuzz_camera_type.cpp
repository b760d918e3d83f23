// Fuzz entry of the camera_type texts that open parameters carry: the first
// byte picks the plug-in's notation (DirectShow's standard, media subtype and
// size; IEEE-1394's format codes), the rest is the text. Any text gives a
// request or a refusal, and an accepted DirectShow request is written back.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "grabbers/directshow/camera_type.h"
#include "grabbers/iidc/camera_type.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // A text of its own size, so that a read beyond its end is caught.
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    if (data[0] & 1) {
        uint32_t format = 0;
        if (iidc::ParseCameraType(text.c_str(), &format) &&
            iidc::FormatText(format, false) != text.substr(0, text.find('\0')))
            std::abort();
        return 0;
    }
    directshow::CameraTypeRequest request;
    if (directshow::ParseCameraType(text.c_str(), &request) != FG_SUCCESS || request.device_format)
        return 0;
    const dshow::VIDEOINFOHEADER& format = request.custom ? request.custom_format : request.format;
    const dshow::GUID& subtype = request.custom ? request.custom_subtype : request.subtype->guid;
    FGInstance instance{};
    directshow::WriteBackCameraType(format, subtype, request.video_standard, 0, &instance);
    return 0;
}
