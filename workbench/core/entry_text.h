// Numbers typed into dialog entries, read as the C library's "%f" and "%d" read
// them: leading blanks skipped, the leading number taken, the rest ignored.
#pragma once

#include <optional>
#include <string_view>

// "8.3", " 8.3 mm", "+8", "-1e3x" give their leading number; "abc", "", "."
// give nothing, and so do infinities, NaN and numbers out of float range.
std::optional<float> ParseLeadingFloat(std::string_view text);

// "12", " -3", "7.9" (7), "+4abc" give their leading integer; "abc", "",
// "-" and numbers out of int range give nothing.
std::optional<int> ParseLeadingInt(std::string_view text);
