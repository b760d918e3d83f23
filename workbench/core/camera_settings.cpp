#include "camera_settings.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string RangeLabel(const char* pattern, const CameraRange& range)
{
    char text[100];
    std::snprintf(text, sizeof text, pattern, range.minimum, range.maximum);
    return text;
}

int ValueAt(const VTuple& answer, std::size_t i)
{
    return i < answer.length() ? int(answer[i].L()) : 0;
}

} // namespace

CameraDialog CameraDialogFor(int source)
{
    if (source == 5)
        return CameraDialog::Firewire;
    if (source == 6 || source == 7)
        return CameraDialog::Usb;
    return CameraDialog::None;
}

CameraRange RangeOf(const VTuple& answer)
{
    return {ValueAt(answer, 0), ValueAt(answer, 1), ValueAt(answer, 3)};
}

int Clamp(int value, const CameraRange& range)
{
    return std::max(range.minimum, std::min(value, range.maximum));
}

std::string FirewireShutterLabel(const CameraRange& range)
{
    return RangeLabel("Opturateur [%d, %d]:", range);
}

std::string FirewireGainLabel(const CameraRange& range)
{
    return RangeLabel("Gain [%d, %d]:", range);
}

int UsbClampExposure(int microseconds) { return Clamp(microseconds, kUsbExposure); }

float UsbClampGain(float decibels)
{
    return std::max(float(kUsbGain.minimum), std::min(decibels, float(kUsbGain.maximum)));
}

int UsbGainSliderPosition(float decibels) { return int(decibels * 10); }

std::string UsbExposureLabel() { return RangeLabel("Opturateur(µs) [%d, %d] :", kUsbExposure); }

std::string UsbGainLabel() { return RangeLabel("Gain(dB) [%d, %d] :", kUsbGain); }
