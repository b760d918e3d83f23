// The error reports the simulated board library has raised, for inspection.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include <dvl/export.h>

namespace dvl {

// One raised report: what was passed to the three error functions, and the
// ordinals called for it in order (169, 172 ..., 1223).
struct Report {
    std::string origin;
    std::array<int32_t, 7> open_args{}; // a1..a5, flags, reserved
    int32_t code = 0;
    std::string title;
    std::string text;
    std::array<int32_t, 2> message_args{};
    std::vector<int> ordinals;
};

// Every report raised since the last clear, oldest first.
DVL_API std::vector<Report> RecordedReports();

// Forgets the recorded reports.
DVL_API void ClearRecordedReports();

} // namespace dvl
