#pragma once
// The debug output that HwTrace writes to: standard error, or a sink that a
// test installs.
#include <functional>
#include <string_view>

namespace hw {

void WriteDebugOutput(std::string_view text);
/// Replaces the sink; an empty function restores standard error.
void SetDebugSink(std::function<void(std::string_view)> sink);

} // namespace hw
