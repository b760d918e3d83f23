// The decoder's failures, reported through the board library's error functions.
#pragma once

namespace digdec {

// Reports that memory ran out (ordinals 169, 172 and 1223, message 101).
void ReportOutOfMemory();

// Reports that a renamed text was cut to fit its buffer (message 102).
void ReportTextTruncated();

} // namespace digdec
