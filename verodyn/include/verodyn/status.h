// Status numbers of the imaging library, the error-check switch and the
// exception that a failing operator throws while errors are "given".
#pragma once

#include <stdexcept>
#include <string>

#include <verodyn/export.h>

// Every operator returns a Vstatus: V_OK (2) on success, else one of the numbers
// below (or, for frame-grabber operators, the plug-in's own 53xx-8600 number,
// whose text verror_text also knows).
using Vstatus = int;

// X(name, number, text): one table, so numbers and texts cannot drift apart.
#define VERODYN_STATUS_TABLE(X)                                                                    \
    X(V_OK, 2, "success")                                                                          \
    X(VERR_PARAM, 1301, "wrong value of a control parameter")                                      \
    X(VERR_NO_OBJECT, 1302, "input object is empty")                                               \
    X(VERR_PIXEL_TYPE, 1303, "pixel type not supported by this operator")                          \
    X(VERR_SIZE_MISMATCH, 1304, "images have different sizes")                                     \
    X(VERR_TYPE_MISMATCH, 1305, "images have different pixel types")                               \
    X(VERR_CHANNEL, 1306, "channel number out of range")                                           \
    X(VERR_CHANNEL_MISMATCH, 1307, "images have different channel counts")                         \
    X(VERR_OUTSIDE, 1308, "rectangle lies outside the image")                                      \
    X(VERR_NO_MEMORY, 1309, "not enough memory")                                                   \
    X(VERR_NULL_POINTER, 1310, "null plane address")                                               \
    X(VERR_WINDOW_HANDLE, 5100, "not a window handle")                                             \
    X(VERR_WINDOW_FATHER, 5101, "father is not a window of the library")                           \
    X(VERR_NO_DISPLAY, 5102, "no display: no GUI application on this thread")                      \
    X(VERR_WINDOW_MODE, 5103, "unknown window mode or machine")                                    \
    X(VERR_FILE_OPEN, 5200, "file cannot be opened")                                               \
    X(VERR_FILE_FORMAT, 5201, "unknown, truncated or corrupt image file")                          \
    X(VERR_FILE_WRITE, 5202, "file cannot be written")                                             \
    X(VERR_FILE_FORMAT_NAME, 5203, "unknown file format name")                                     \
    X(VERR_IMAGE_TOO_LARGE, 5204, "image larger than 32767 pixels a side")                         \
    X(VERR_FG_NO_PLUGIN, 5400, "frame-grabber plug-in not found")                                  \
    X(VERR_FG_LOAD, 5401, "frame-grabber plug-in cannot be loaded")                                \
    X(VERR_FG_NO_INIT, 5402, "frame-grabber plug-in exports no FGInit")                            \
    X(VERR_FG_INIT, 5403, "FGInit left the interface class unfilled")                              \
    X(VERR_FG_HANDLE, 5404, "no open frame grabber with this handle")                              \
    X(VERR_FG_NO_INSTANCE, 5405, "no free frame-grabber instance")                                 \
    X(VERR_FG_SLOT, 5406, "plug-in answered an invalid instance slot")                             \
    X(VERR_FG_IMAGE, 5407, "plug-in delivered no usable image")                                    \
    X(VERR_FG_PIXEL_KIND, 5408, "pixel kind not supported")                                        \
    X(VERR_FG_GLOBAL, 5409, "unknown host global or access mode")                                  \
    X(VERR_FG_FREE, 5410, "memory not allocated by this host function")                            \
    X(VERR_FG_ANSWER, 5411, "plug-in answered an invalid value list")                              \
    X(VERR_FG_EXCEPTION, 5412, "frame-grabber plug-in raised an exception")

enum VStatusCode : int {
#define VERODYN_STATUS_ENUM(name, number, text) name = number,
    VERODYN_STATUS_TABLE(VERODYN_STATUS_ENUM)
#undef VERODYN_STATUS_ENUM
};

// The text of a status number ("unknown error" for a number not in the table).
VERODYN_API const char* verror_text(Vstatus status);

// The last failure reported on this thread: "<operator>: <text>[: <detail>]".
VERODYN_API std::string vlast_error();

// Thrown by a failing operator while set_check("give_error") is in force.
class VERODYN_API VException : public std::runtime_error {
public:
    VException(Vstatus err, const std::string& message) : std::runtime_error(message), err_(err) { }
    Vstatus err() const { return err_; }

private:
    Vstatus err_;
};

// set_check(text) switches one flag of the library:
//   "give_error"  (the default) a failing operator throws VException;
//   "~give_error" a failing operator returns its status;
//   "father"      (the default) open_window accepts as father only a window of
//                 the library (its widget) or none, so windows nest in windows;
//   "~father"     open_window accepts any widget of the program as father, as a
//                 view that hosts a display window inside itself does.
// Any other text gives VERR_PARAM. The flags are process-wide.
VERODYN_API Vstatus set_check(const char* text);
VERODYN_API bool check_give_error();
VERODYN_API bool check_father();
