#include "board_report.h"

#include <cstdint>

#include <dvl/dvl.h>

namespace digdec {

namespace {

constexpr int32_t kDefaultFlag = 0x10000000;

void report(int32_t code, const char* title, const char* text)
{
    const DvlErrorContext context = DvlOpenErrorContext("Internal", 0, 0, 0, 0, 0, kDefaultFlag, 0);
    DvlAddErrorMessage(context, code, title, text, 0, 0);
    DvlRaiseError(context);
}

} // namespace

void ReportOutOfMemory() { report(101, "Fatal memory error.", "Not enough memory to process."); }

void ReportTextTruncated()
{
    report(102, "Text truncated.", "The renamed text does not fit in its buffer and was cut.");
}

} // namespace digdec
