#pragma once

// What libdvl exports: the board library's functions and its simulation's controls.
#define DVL_API __attribute__((visibility("default")))
// What libDVLBRN exports: the generic digitizer module and its recording.
#define DVLBRN_API __attribute__((visibility("default")))
