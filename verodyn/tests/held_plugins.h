// What the frame-grabber fuzz programs do before their first input.
#pragma once

// Holds loaded every plug-in and library beside the program: closing an
// interface's last grabber unloads its plug-in, and the fuzzer would then read
// the coverage counters of an unmapped module. Failing calls then answer their
// status instead of throwing; false when the host refuses that.
bool HoldPlugins();
