// Renaming the sister board in the texts the generic module returned.
#pragma once

#include <cstdint>

namespace digdec {

inline constexpr const char* kSisterName = "Brenna";
inline constexpr const char* kOwnName = "Zephon II Dig";
inline constexpr uint32_t kWorkingTextSize = 128;

enum class RenameResult { kUnchanged, kRenamed, kTruncated };

// Replaces the first "Brenna" of the text in `buffer` (`capacity` bytes) by
// "Zephon II Dig", building the new text in a 128-byte working text. A result
// that does not fit the working text or the buffer is cut at the capacity and
// answers kTruncated. A text with no terminator inside the buffer is left alone.
RenameResult RenameSisterBoard(char* buffer, uint32_t capacity);

} // namespace digdec
