// The board library DVL as this system meets it: the functions it offers by
// ordinal (named here by purpose; the board functions are in board.h), its
// status numbers, its text buffers and its error reports. A simulated library:
// every report is recorded for inspection.
#pragma once

#include <cstdint>

#include <dvl/export.h>

// X(name, ordinal): the board library's functions by ordinal, in one table.
// Its digitizer modules number their exports in spaces of their own (dvlbrn.h).
#define DVL_ORDINAL_TABLE(X)                                                                       \
    X(DVL_ORD_APP_ALLOC, 100)                                                                      \
    X(DVL_ORD_APP_CONTROL, 101)                                                                    \
    X(DVL_ORD_APP_FREE, 102)                                                                       \
    X(DVL_ORD_APP_GET_ERROR, 103)                                                                  \
    X(DVL_ORD_APP_INQUIRE, 106)                                                                    \
    X(DVL_ORD_BUF_ALLOC_COLOR, 110)                                                                \
    X(DVL_ORD_BUF_CLEAR, 114)                                                                      \
    X(DVL_ORD_BUF_FREE, 123)                                                                       \
    X(DVL_ORD_BUF_GET_2D, 125)                                                                     \
    X(DVL_ORD_BUF_GET, 126)                                                                        \
    X(DVL_ORD_BUF_GET_COLOR, 127)                                                                  \
    X(DVL_ORD_DIG_ALLOC, 138)                                                                      \
    X(DVL_ORD_DIG_CHANNEL, 140)                                                                    \
    X(DVL_ORD_DIG_CONTROL, 141)                                                                    \
    X(DVL_ORD_DIG_FREE, 142)                                                                       \
    X(DVL_ORD_DIG_GRAB, 143)                                                                       \
    X(DVL_ORD_DIG_GRAB_CONTINUOUS, 144)                                                            \
    X(DVL_ORD_DIG_HALT, 146)                                                                       \
    X(DVL_ORD_DIG_INQUIRE, 147)                                                                    \
    X(DVL_ORD_DISP_ALLOC, 150)                                                                     \
    X(DVL_ORD_DISP_DESELECT, 151)                                                                  \
    X(DVL_ORD_DISP_FREE, 152)                                                                      \
    X(DVL_ORD_DISP_INQUIRE, 153)                                                                   \
    X(DVL_ORD_OPEN_ERROR_CONTEXT, 169)                                                             \
    X(DVL_ORD_ADD_ERROR_MESSAGE, 172)                                                              \
    X(DVL_ORD_SYS_ALLOC, 273)                                                                      \
    X(DVL_ORD_SYS_CONTROL, 274)                                                                    \
    X(DVL_ORD_SYS_FREE, 275)                                                                       \
    X(DVL_ORD_SYS_INQUIRE, 276)                                                                    \
    X(DVL_ORD_DIG_HOOK_FUNCTION, 801)                                                              \
    X(DVL_ORD_DISP_SELECT_WINDOW, 912)                                                             \
    X(DVL_ORD_BUF_GET_COLOR_2D, 928)                                                               \
    X(DVL_ORD_RAISE_ERROR, 1223)

enum DvlOrdinal : int {
#define DVL_ORDINAL_ENUM(name, ordinal) name = ordinal,
    DVL_ORDINAL_TABLE(DVL_ORDINAL_ENUM)
#undef DVL_ORDINAL_ENUM
};

// Status numbers returned by the library's own functions.
enum DvlStatus : int32_t {
    DVL_OK = 0,
    DVL_UNKNOWN_CONTEXT = 1,  // an error context that was never opened or is already raised
    DVL_MODULE_NOT_FOUND = 2, // the module file cannot be loaded
    DVL_MODULE_NO_ENTRY = 3,  // the module has no module entry
    DVL_MODULE_REFUSED = 4,   // the module entry did not answer 1
    DVL_MODULE_NO_EXPORT = 5, // the module lacks the command export asked for
};

// Text handles. Command packets carry 32-bit words, so a text parameter (kind
// 5, dvl::kKindText) cannot hold a pointer on this platform: its 32-bit value
// is a DvlText handle, and a value of any other kind is never taken for one. The
// library owns the buffer behind each handle and knows its capacity (bytes,
// terminator included); whoever reads or writes a text parameter resolves the
// handle and stays within that capacity. Handle 0 is never valid.
using DvlText = uint32_t;

// Error contexts returned by DvlOpenErrorContext; 0 is never valid.
using DvlErrorContext = int32_t;

extern "C" {

// Ordinal 169: opens an error context for a report from `origin` ("Internal"
// for a module's own failures); a1..a5, `flags` and `reserved` are recorded as given.
DVL_API DvlErrorContext DvlOpenErrorContext(const char* origin, int32_t a1, int32_t a2, int32_t a3,
                                            int32_t a4, int32_t a5, int32_t flags,
                                            int32_t reserved);

// Ordinal 172: attaches message `code` with its title and text to the context.
// The last two arguments are recorded as given.
DVL_API DvlStatus DvlAddErrorMessage(DvlErrorContext context, int32_t code, const char* title,
                                     const char* text, int32_t a1, int32_t a2);

// Ordinal 1223: raises the context's report (recorded) and closes the context.
DVL_API DvlStatus DvlRaiseError(DvlErrorContext context);

// A new text buffer of `capacity` bytes holding `initial` (truncated to fit, always
// terminated; null for empty). Returns 0 when capacity is 0 or memory is short.
DVL_API DvlText DvlTextCreate(uint32_t capacity, const char* initial);

// The buffer behind `text` and its capacity, or null (capacity 0) for an unknown
// handle. The address stays valid until the handle is freed.
DVL_API char* DvlTextResolve(DvlText text, uint32_t* capacity);

// Frees the buffer behind `text`; unknown handles are ignored.
DVL_API void DvlTextFree(DvlText text);

} // extern "C"
