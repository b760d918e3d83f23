// Where an instrument tells its user something: the program's message box, a
// recorder in tests.
#pragma once

#include <functional>
#include <string>

namespace instruments {

using MessageSink = std::function<void(const std::string& text)>;

} // namespace instruments
