// The rules of the camera settings dialogs: which dialog a source opens, the
// IEEE-1394 ranges the camera reports, the USB camera's fixed ranges, their
// clamps and labels.
#pragma once

#include <string>

#include <verodyn/tuple.h>

enum class CameraDialog { None, Firewire, Usb };
// Source 5 the IEEE-1394 dialog, 6 and 7 the USB camera's, any other none.
CameraDialog CameraDialogFor(int source);

// An IEEE-1394 range: minimum, maximum and the value to start with.
struct CameraRange {
    int minimum = 0;
    int maximum = 0;
    int value = 0;
};
// The range of a "shutter_range" or "video_gain_range" answer (minimum,
// maximum, step, value); a value the answer lacks counts as 0.
CameraRange RangeOf(const VTuple& answer);
int Clamp(int value, const CameraRange& range);
// "Opturateur [%d, %d]:" and "Gain [%d, %d]:" of the range.
std::string FirewireShutterLabel(const CameraRange& range);
std::string FirewireGainLabel(const CameraRange& range);

// The USB camera: exposure 750..20000 us, gain 0..15 dB in tenths on its slider.
inline constexpr CameraRange kUsbExposure{750, 20000, 20000};
inline constexpr CameraRange kUsbGain{0, 15, 0};
int UsbClampExposure(int microseconds);
float UsbClampGain(float decibels);
// The gain slider's position: tenths of a decibel, truncated.
int UsbGainSliderPosition(float decibels);
// "Opturateur(µs) [750, 20000] :" and "Gain(dB) [0, 15] :".
std::string UsbExposureLabel();
std::string UsbGainLabel();
