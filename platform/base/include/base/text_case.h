// Names compared without regard to case (ASCII letters), as the platform
// compares file, device and key names.
#pragma once

#include <string>
#include <string_view>

namespace ondula {

// `text` with its upper-case ASCII letters in lower case.
std::string lowered(std::string_view text);

// Whether `a` and `b` are the same but for the case of their ASCII letters.
bool equal_ignoring_case(std::string_view a, std::string_view b);

} // namespace ondula
