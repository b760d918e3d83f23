// Names compared without regard to case, as the platform compares file,
// device and key names.
#pragma once

#include <string>
#include <string_view>

namespace ondula {

// `text` with its upper-case ASCII letters in lower case.
std::string lowered(std::string_view text);

// `text`, read as UTF-8, with the capitals of the Latin (ASCII, Latin-1,
// Latin Extended-A), Greek and Cyrillic alphabets in small letters, as the
// platform folds registry names whatever the locale. Every other byte, and
// those of a sequence that is no UTF-8, stays as it is: the length is kept.
std::string lowered_utf8(std::string_view text);

// Whether `a` and `b` are the same but for the case of their ASCII letters.
bool equal_ignoring_case(std::string_view a, std::string_view b);

} // namespace ondula
