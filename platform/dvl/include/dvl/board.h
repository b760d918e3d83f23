// The board functions of the board library DVL: the application, the systems
// (one per board, found in the board catalogue by descriptor and number), their
// digitizers, image buffers and displays. Simulated boards stand behind them
// (simulated_boards.h). Every object is named by a non-zero identifier; an
// allocation that fails answers 0. A call on an unknown identifier does nothing
// and answers 0. Ordinals in dvl.h.
#pragma once

#include <cstdint>

#include "dvl/dvl.h"

using DvlId = int32_t;

// The library's "default" for numbers and initialisation flags.
inline constexpr int32_t DVL_DEFAULT = 0x10000000;

// Application inquiry items (106).
inline constexpr int32_t DVL_APP_VERSION = 1;      // the library's version, a 64-bit real
inline constexpr int32_t DVL_APP_SYSTEM_COUNT = 8; // systems allocated
inline constexpr int32_t DVL_APP_BUFFER_COUNT = 9; // buffers allocated
inline constexpr double DVL_VERSION = 7.5;

// System inquiry items (276).
inline constexpr int32_t DVL_SYS_DIGITIZER_COUNT = 2004;
inline constexpr int32_t DVL_SYS_BOARD_TYPE = 2014;

// Digitizer inquiry items (147).
inline constexpr int32_t DVL_DIG_SIZE_X = 1002;
inline constexpr int32_t DVL_DIG_SIZE_Y = 1003;
inline constexpr int32_t DVL_DIG_SIZE_BAND = 1005;

// Display inquiry item (153) and its answer for a display that draws into windows.
inline constexpr int32_t DVL_DISP_MODE = 3029;
inline constexpr int32_t DVL_DISP_WINDOWED = 0x1000000;

// Band selectors of a colour copy (928); a band the buffer lacks reads as band 0.
inline constexpr int32_t DVL_RED = 0x1000;
inline constexpr int32_t DVL_GREEN = 0x2000;
inline constexpr int32_t DVL_BLUE = 0x4000;

// A window handle: a number the program chose and registered (simulated_boards.h).
using DvlWindow = intptr_t;

extern "C" {

// 100: takes a reference on the application (the same identifier while it
// lives); `init_flag` is DVL_DEFAULT or 0.
DvlId DvlAppAlloc(int32_t init_flag, DvlId* app);
// 101: application control; accepted, no effect on the simulated boards.
void DvlAppControl(int32_t item, int32_t value);
// 102: drops a reference; the last one frees every system left.
void DvlAppFree(DvlId app);
// 106: `item`'s value, also written to `result` (a double for DVL_APP_VERSION,
// else an int32) when not null; unknown items answer 0.
int32_t DvlAppInquire(int32_t item, void* result);

// 273: the board of `descriptor` and `number` (DVL_DEFAULT: 0) in the catalogue;
// 0 when there is none, when it is allocated already, or without application.
DvlId DvlSysAlloc(const char* descriptor, int32_t number, int32_t init_flag, DvlId* system);
// 274: system control; accepted, no effect on the simulated boards.
void DvlSysControl(DvlId system, int32_t item, int32_t value);
// 275: frees the system and whatever is still allocated on it.
void DvlSysFree(DvlId system);
// 276: DVL_SYS_DIGITIZER_COUNT or DVL_SYS_BOARD_TYPE (int32, also to `result`).
int32_t DvlSysInquire(DvlId system, int32_t item, void* result);

// 138: digitizer `number` (DVL_DEFAULT: 0) of the system with the format
// `format` (a format file the board knows); 0 for a format it does not know.
DvlId DvlDigAlloc(DvlId system, int32_t number, const char* format, int32_t init_flag,
                  DvlId* digitizer);
// 142: halts its grab and frees it.
void DvlDigFree(DvlId digitizer);
// 144: grabs into `buffer` continuously, on the library's own thread, at the
// board's frame rate, until halted; each frame goes to the window the buffer is
// selected into.
void DvlDigGrabContinuous(DvlId digitizer, DvlId buffer);
// 146: stops the continuous grab; no frame is written once it returns.
void DvlDigHalt(DvlId digitizer);
// 147: DVL_DIG_SIZE_X, _Y or _BAND of the digitizer's format (int32, also to `result`).
int32_t DvlDigInquire(DvlId digitizer, int32_t item, void* result);

// 110: a buffer of `bands` planes of width x height, 8 bits; 0 for sizes or
// bands outside 1..8192 and 1..3.
DvlId DvlBufAllocColor(DvlId system, int32_t bands, int32_t width, int32_t height, int32_t bits,
                       int32_t attribute, DvlId* buffer);
// 114: sets every pixel of every band to `value`.
void DvlBufClear(DvlId buffer, int32_t value, int32_t reserved);
// 123: frees the buffer, halting a grab into it and taking it off its display.
void DvlBufFree(DvlId buffer);
// 928: copies band `band` (DVL_RED, DVL_GREEN or DVL_BLUE) of the region at
// (x, y) of width x height into `destination`, width bytes a row. Rows and
// columns outside the buffer are not written.
void DvlBufGetColor2d(DvlId buffer, int32_t format, int32_t band, int32_t x, int32_t y,
                      int32_t width, int32_t height, void* destination);

// 150: a display of the system; `format` "D_DEFAULT".
DvlId DvlDispAlloc(DvlId system, int32_t number, const char* format, int32_t init_flag,
                   DvlId* display);
// 151: the display no longer shows `buffer`.
void DvlDispDeselect(DvlId display, DvlId buffer);
// 152: frees the display.
void DvlDispFree(DvlId display);
// 153: DVL_DISP_MODE (int32, also to `result`).
int32_t DvlDispInquire(DvlId display, int32_t item, void* result);
// 912: the display shows `buffer` in `window`: the buffer as it stands now,
// then each frame grabbed into it.
void DvlDispSelectWindow(DvlId display, DvlId buffer, DvlWindow window);

} // extern "C"
