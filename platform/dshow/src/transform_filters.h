#pragma once
// The filters the capture graph builder inserts between a device and a sink.
#include <dshow/filters.h>

namespace dshow {

// "Color Space Converter": takes the uncompressed subtypes of the simulated
// devices and delivers RGB24, RGB32, RGB565 or RGB555 of the same size.
ComPtr<IBaseFilter> MakeColourConverter();
// "Smart Tee": passes its input type and samples through.
ComPtr<IBaseFilter> MakeSmartTee();

} // namespace dshow
