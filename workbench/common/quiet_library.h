// Switches the imaging library's error exceptions off for one scope: its
// failures arrive as status numbers, which the caller checks.
#pragma once

#include <verodyn/status.h>

class QuietLibrary {
public:
    QuietLibrary() { set_check("~give_error"); }
    ~QuietLibrary() { set_check("give_error"); }
    QuietLibrary(const QuietLibrary&) = delete;
    QuietLibrary& operator=(const QuietLibrary&) = delete;
};
