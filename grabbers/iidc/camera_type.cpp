#include "camera_type.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace iidc {

bool ParseCameraType(const char* text, uint32_t* format)
{
    const auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    if (std::strlen(text) != 5 || !digit(text[0]) || !digit(text[2]) || !digit(text[4]) ||
        text[1] != text[3] || (text[1] != ':' && text[1] != '.'))
        return false;
    *format =
        uint32_t(text[0] - '0') << 16 | uint32_t(text[2] - '0') << 8 | uint32_t(text[4] - '0');
    if (text[1] == ':')
        *format |= kDcamNotation;
    return true;
}

std::string FormatText(uint32_t format, bool padded)
{
    const bool dcam = format & kDcamNotation;
    const char* pattern =
        padded ? (dcam ? "%02d:%02d:%02d" : "%02d.%02d.%02d") : (dcam ? "%d:%d:%d" : "%d.%d.%d");
    char text[16];
    std::snprintf(text, sizeof text, pattern, int((format >> 16) & 0xFF), int((format >> 8) & 0xFF),
                  int(format & 0xFF));
    return text;
}

int StandardResolution(int32_t width, int32_t height)
{
    static constexpr int32_t kSizes[][2] = {{160, 120},  {320, 240},  {640, 480},  {800, 600},
                                            {1024, 768}, {1280, 960}, {1600, 1200}};
    for (int i = 0; i < 7; ++i)
        if (kSizes[i][0] == width && kSizes[i][1] == height)
            return i;
    return -1;
}

} // namespace iidc
