// The board functions of the board library DVL: the application, the systems
// (one per board, found in the board catalogue by descriptor and number), their
// digitizers, image buffers and displays. Simulated boards stand behind them
// (simulated_boards.h). Every object is named by a non-zero identifier; an
// allocation that fails answers 0. A call on an unknown identifier does nothing
// and answers 0. Every call that fails leaves a text that DvlAppGetError gives
// to the same thread until its next call. Ordinals in dvl.h.
#pragma once

#include <cstdint>
#include <exception>

#include <clock/clock.h>
#include <dvl/dvl.h>
#include <dvl/export.h>

using DvlId = int32_t;

// The library's "default" for numbers and initialisation flags.
inline constexpr int32_t DVL_DEFAULT = 0x10000000;

// Application inquiry items (106).
inline constexpr int32_t DVL_APP_VERSION = 1;      // the library's version, a 64-bit real
inline constexpr int32_t DVL_APP_SYSTEM_COUNT = 8; // systems allocated
inline constexpr int32_t DVL_APP_BUFFER_COUNT = 9; // buffers allocated
inline constexpr double DVL_VERSION = 7.5;

// DvlAppGetError: the size of the text buffer and the text of "no error".
inline constexpr int32_t DVL_ERROR_TEXT_SIZE = 256;
inline constexpr char DVL_NO_ERROR_TEXT[] = "Null.";

// System inquiry items (276).
inline constexpr int32_t DVL_SYS_DIGITIZER_COUNT = 2004;
inline constexpr int32_t DVL_SYS_BOARD_TYPE = 2014;

// Digitizer inquiry items (147).
inline constexpr int32_t DVL_DIG_SIZE_X = 1002;
inline constexpr int32_t DVL_DIG_SIZE_Y = 1003;
inline constexpr int32_t DVL_DIG_SIZE_BAND = 1005;
inline constexpr int32_t DVL_DIG_SIZE_BIT = 1007;
inline constexpr int32_t DVL_DIG_GRAB_IN_PROGRESS = 4128; // 1 from grab start to grab end

// Digitizer controls (141); each but the abort and a fired trigger is also an
// inquiry item answering the value last set.
inline constexpr int32_t DVL_DIG_GRAB_MODE = 4016;
inline constexpr int32_t DVL_DIG_TRIGGER_SOURCE = 4053;
inline constexpr int32_t DVL_DIG_TRIGGER_SIGNAL = 4054;
inline constexpr int32_t DVL_DIG_GRAB_ABORT = 4072;
inline constexpr int32_t DVL_DIG_GRAB_TIMEOUT = 4127;
inline constexpr int32_t DVL_DIG_EXPOSURE_TIME = 4180;
inline constexpr int32_t DVL_DIG_EXPOSURE_DELAY = 4190;
inline constexpr int32_t DVL_DIG_GRAB_TRIGGER = 4200;
// Values of DVL_DIG_GRAB_TRIGGER: grabs wait for a trigger, grabs start at
// once, fire the software trigger (with trigger source DVL_TRIGGER_SOFTWARE).
inline constexpr double DVL_TRIGGER_ENABLE = -9997;
inline constexpr double DVL_TRIGGER_DISABLE = -9999;
inline constexpr double DVL_TRIGGER_FIRE = 1;
inline constexpr int32_t DVL_TRIGGER_SOFTWARE = 20;

// Hook events (801); DVL_UNHOOK, alone or added to the event, removes a hook.
inline constexpr int32_t DVL_GRAB_END = 5;
inline constexpr int32_t DVL_UNHOOK = 0x4000000;

// Display inquiry item (153) and its answer for a display that draws into windows.
inline constexpr int32_t DVL_DISP_MODE = 3029;
inline constexpr int32_t DVL_DISP_WINDOWED = 0x1000000;

// Band selectors of a colour copy (127, 928); a band the buffer lacks reads as
// band 0. DVL_ALL_BANDS goes with DVL_PACKED_BGR24.
inline constexpr int32_t DVL_RED = 0x1000;
inline constexpr int32_t DVL_GREEN = 0x2000;
inline constexpr int32_t DVL_BLUE = 0x4000;
inline constexpr int32_t DVL_ALL_BANDS = -1;

// Formats of a colour copy: one band a plane, or three bytes a pixel in the
// order blue, green, red.
inline constexpr int32_t DVL_PLANAR = 0xFF00;
inline constexpr int32_t DVL_PACKED_BGR24 = 0x21000;

// A function hooked on a digitizer event (801), called on the library's own
// thread with the event, the digitizer and the user data; answers 0.
using DvlHookFn = int32_t (*)(int32_t hook_type, DvlId event_id, void* user_data);

// What the library throws from a digitizer allocation or a hook call when the
// board itself faults (the platform's structured exceptions stand behind it).
class DvlHardwareException : public std::exception {
public:
    explicit DvlHardwareException(uint32_t code) : code_(code) { }
    uint32_t code() const { return code_; }
    const char* what() const noexcept override { return "board hardware exception"; }

private:
    uint32_t code_;
};

namespace dvl {
// The time of the library and of its callers: the steady clock unless a test
// gives another (simulated_boards.h).
DVL_API ondula::Clock& LibraryClock();
} // namespace dvl

// A window handle: a number the program chose and registered (simulated_boards.h).
using DvlWindow = intptr_t;

extern "C" {

// 100: takes a reference on the application (the same identifier while it
// lives); `init_flag` is DVL_DEFAULT or 0.
DVL_API DvlId DvlAppAlloc(int32_t init_flag, DvlId* app);
// 101: application control; accepted, no effect on the simulated boards.
DVL_API void DvlAppControl(int32_t item, int32_t value);
// 102: drops a reference; the last one frees every system left.
DVL_API void DvlAppFree(DvlId app);
// 103: the text of the failure of this thread's last call, or "Null.", into
// `text` (DVL_ERROR_TEXT_SIZE bytes); answers 1 for a failure, else 0.
// `mode` is recorded as given.
DVL_API int32_t DvlAppGetError(int32_t mode, char* text);
// 106: `item`'s value, also written to `result` (a double for DVL_APP_VERSION,
// else an int32) when not null; unknown items answer 0.
DVL_API int32_t DvlAppInquire(int32_t item, void* result);

// 273: the board of `descriptor` and `number` (DVL_DEFAULT: 0) in the catalogue;
// 0 when there is none, when it is allocated already, or without application.
DVL_API DvlId DvlSysAlloc(const char* descriptor, int32_t number, int32_t init_flag, DvlId* system);
// 274: system control; accepted, no effect on the simulated boards.
DVL_API void DvlSysControl(DvlId system, int32_t item, int32_t value);
// 275: frees the system and whatever is still allocated on it.
DVL_API void DvlSysFree(DvlId system);
// 276: DVL_SYS_DIGITIZER_COUNT or DVL_SYS_BOARD_TYPE (int32, also to `result`).
DVL_API int32_t DvlSysInquire(DvlId system, int32_t item, void* result);

// 138: digitizer `number` (DVL_DEFAULT: 0) of the system with the format
// `format` (a format file the board knows); 0 for a format it does not know.
// A board with a digitizer module has it loaded and tells it the digitizer's
// number and asks its name; 0 when the module cannot be loaded.
DVL_API DvlId DvlDigAlloc(DvlId system, int32_t number, const char* format, int32_t init_flag,
                          DvlId* digitizer);
// 140: selects the input channel (a channel code, DVL_DEFAULT among them).
DVL_API void DvlDigChannel(DvlId digitizer, int32_t channel);
// 141: sets control `item` (DVL_DIG_*) to `value`.
DVL_API void DvlDigControl(DvlId digitizer, int32_t item, double value);
// 142: halts its grab and frees it.
DVL_API void DvlDigFree(DvlId digitizer);
// 144: grabs into `buffer` continuously, on the library's own thread, at the
// board's frame rate, until halted; each frame goes to the window the buffer is
// selected into.
DVL_API void DvlDigGrabContinuous(DvlId digitizer, DvlId buffer);
// 143: starts one grab into `buffer` and returns at once. One frame period
// later (after the trigger when grabs wait for one) the library's own thread
// fills the buffer and calls the DVL_GRAB_END hooks. A grab started while
// another runs replaces it.
DVL_API void DvlDigGrab(DvlId digitizer, DvlId buffer);
// 146: stops the continuous grab; no frame is written once it returns.
DVL_API void DvlDigHalt(DvlId digitizer);
// 147: an item of the digitizer's format (size, bands, bits), a control's
// value, DVL_DIG_GRAB_IN_PROGRESS or a camera feature (int32, also to `result`).
DVL_API int32_t DvlDigInquire(DvlId digitizer, int32_t item, void* result);
// 801: calls `function` with `user_data` at each `hook_type` event; a
// `hook_type` with DVL_UNHOOK removes that function with that user data and
// returns once a hook call in flight on another thread has ended.
DVL_API void DvlDigHookFunction(DvlId digitizer, int32_t hook_type, DvlHookFn function,
                                void* user_data);

// 110: a buffer of `bands` planes of width x height, 8 or 16 bits a pixel; 0
// for sizes, bands or bits outside 1..8192, 1..3 and {8, 16}.
DVL_API DvlId DvlBufAllocColor(DvlId system, int32_t bands, int32_t width, int32_t height,
                               int32_t bits, int32_t attribute, DvlId* buffer);
// 114: sets every pixel of every band to `value`.
DVL_API void DvlBufClear(DvlId buffer, int32_t value, int32_t reserved);
// 123: frees the buffer, halting a grab into it and taking it off its display.
DVL_API void DvlBufFree(DvlId buffer);
// 125: copies the region at (x, y) of width x height of the first band into
// `destination`, width pixels a row (1 or 2 bytes a pixel as the buffer).
// Rows and columns outside the buffer are not written.
DVL_API void DvlBufGet2d(DvlId buffer, int32_t x, int32_t y, int32_t width, int32_t height,
                         void* destination);
// 126: copies every band of the buffer into `destination`, plane after plane.
DVL_API void DvlBufGet(DvlId buffer, void* destination);
// 127: DvlBufGetColor2d of the whole buffer.
DVL_API void DvlBufGetColor(DvlId buffer, int32_t format, int32_t band, void* destination);
// 928: copies the region at (x, y) of width x height of an 8-bit buffer into
// `destination`: with DVL_PLANAR band `band` (DVL_RED, DVL_GREEN or DVL_BLUE),
// width bytes a row; with DVL_PACKED_BGR24 and DVL_ALL_BANDS three bytes a
// pixel. Rows and columns outside the buffer are not written.
DVL_API void DvlBufGetColor2d(DvlId buffer, int32_t format, int32_t band, int32_t x, int32_t y,
                              int32_t width, int32_t height, void* destination);

// 150: a display of the system; `format` "D_DEFAULT".
DVL_API DvlId DvlDispAlloc(DvlId system, int32_t number, const char* format, int32_t init_flag,
                           DvlId* display);
// 151: the display no longer shows `buffer`.
DVL_API void DvlDispDeselect(DvlId display, DvlId buffer);
// 152: frees the display.
DVL_API void DvlDispFree(DvlId display);
// 153: DVL_DISP_MODE (int32, also to `result`).
DVL_API int32_t DvlDispInquire(DvlId display, int32_t item, void* result);
// 912: the display shows `buffer` in `window`: the buffer as it stands now,
// then each frame grabbed into it.
DVL_API void DvlDispSelectWindow(DvlId display, DvlId buffer, DvlWindow window);

} // extern "C"
