#pragma once
// The classes CoCreateInstance makes without a server.
#include <dshow/unknown.h>

namespace dshow {

ComPtr<IUnknown> MakeFilterGraph();
ComPtr<IUnknown> MakeCaptureGraphBuilder();
ComPtr<IUnknown> MakeSystemDeviceEnum();

} // namespace dshow
