// What the plug-in's parts share in meeting the board library: its error
// check, the application's references and the version check.
#pragma once

#include <dvl/board.h>
#include <fgint/fgint.h>

namespace zephon {

// The name the host's allocation records show for this plug-in.
inline constexpr char kSourceFile[] = "CIOZephon2.cpp";

// True when the board library's last call on this thread succeeded; otherwise
// its error text is printed, whether VDoLowError is set or not.
bool LibraryOk();

// Prints `text` while VDoLowError is set.
void LowError(const char* text);

// A reference on the board library's application, allocated with the first
// reference and freed with the last; 0 when it cannot be allocated.
DvlId TakeApplication();
void ReleaseApplication();

// The board library loads and has version 7.5; otherwise "Wrong version of
// dvl.dll found: ..." (while VDoLowError) and FG_ERR_LIB_VERSION.
FGstatus CheckLibraryVersion();

} // namespace zephon
