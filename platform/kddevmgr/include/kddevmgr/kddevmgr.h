// The device manager of the kdLyra USB cameras, as the camera access layer
// meets it: operations named by purpose, their ordinals in one table, integer
// handles for every object, results 0 or a negative error code. Behind it lies
// a simulated camera bus (kddevmgr/simulation.h); a V4L2 back end could sit
// behind the same header.
//
// Objects. The manager keeps a list of devices (one list entry per camera,
// holding the nine properties "DeviceID", "Family", "FirmwareVersion",
// "LoadSettings", "Product", "Serial", "State", "UserData",
// "HWUpdateResult"); the device handle is that entry's handle. Opening a
// device gives a driver handle, under which the camera's component tree lives
// until the device is closed: lists found by type (KdListType) and, inside
// them, lists and properties. A property holds values at indices 0, 1, ... and
// may hold its maximum, minimum and step at -1, -2 and -3; an integer or real
// property may have a translation dictionary (texts with their values).
//
// Requests. The camera's "System" list says how many requests it has
// ("RequestCount"). Queuing a request snapshots the setting that the first
// entry of the image request control list selects ("Setting" holds a setting's
// handle) and the camera exposes it "Expose_us" after it was queued or after
// the request before it finished, whichever is later. The wait hands over the
// oldest finished request, locked until it is unlocked, with its frame drawn
// then (the formula in simulation.h).
//
// Every operation may be called from several threads; a wait sleeps on the
// manager's clock without blocking the others.
#pragma once

#include <cstdint>

#include <clock/clock.h>

#define KDDEVMGR_API __attribute__((visibility("default")))

// X(name, ordinal): the manager's operations by ordinal, in one table.
#define KD_ORDINAL_TABLE(X)                                                                        \
    X(KD_ORD_INITIALISE, 1)                                                                        \
    X(KD_ORD_CLOSE, 2)                                                                             \
    X(KD_ORD_OPEN_DEVICE, 3)                                                                       \
    X(KD_ORD_CLOSE_DEVICE, 4)                                                                      \
    X(KD_ORD_GET_DEVICE, 6)                                                                        \
    X(KD_ORD_CREATE_SETTING, 50)                                                                   \
    X(KD_ORD_FIND_LIST, 53)                                                                        \
    X(KD_ORD_RESET_REQUEST_QUEUE, 54)                                                              \
    X(KD_ORD_QUEUE_REQUEST, 55)                                                                    \
    X(KD_ORD_UNLOCK_REQUEST, 56)                                                                   \
    X(KD_ORD_WAIT_FOR_REQUEST, 57)                                                                 \
    X(KD_ORD_GET_IMAGE_BUFFER, 66)                                                                 \
    X(KD_ORD_GET_REQUEST_RESULT, 68)                                                               \
    X(KD_ORD_CREATE_IMAGE_BUFFER, 70)                                                              \
    X(KD_ORD_FREE_IMAGE_BUFFER, 72)                                                                \
    X(KD_ORD_CHECK_HANDLE, 100)                                                                    \
    X(KD_ORD_CHANGE_COUNTER, 101)                                                                  \
    X(KD_ORD_ACCESS_FLAGS, 104)                                                                    \
    X(KD_ORD_TYPE_FLAGS, 106)                                                                      \
    X(KD_ORD_RESET_LIST, 108)                                                                      \
    X(KD_ORD_VALUE_COUNT, 109)                                                                     \
    X(KD_ORD_NEXT_SIBLING, 113)                                                                    \
    X(KD_ORD_FIRST_CHILD, 114)                                                                     \
    X(KD_ORD_WRITE_REAL, 116)                                                                      \
    X(KD_ORD_READ_REAL, 117)                                                                       \
    X(KD_ORD_READ_REAL_DICTIONARY, 118)                                                            \
    X(KD_ORD_WRITE_INT, 119)                                                                       \
    X(KD_ORD_READ_INT, 120)                                                                        \
    X(KD_ORD_READ_INT_DICTIONARY, 121)                                                             \
    X(KD_ORD_READ_INT64, 123)                                                                      \
    X(KD_ORD_WRITE_TEXT, 124)                                                                      \
    X(KD_ORD_READ_TEXT, 126)                                                                       \
    X(KD_ORD_HAS_VALUE, 128)                                                                       \
    X(KD_ORD_DICTIONARY_SIZE, 130)                                                                 \
    X(KD_ORD_LIST_COUNT, 132)                                                                      \
    X(KD_ORD_COMPONENT_TEXT, 135)                                                                  \
    X(KD_ORD_FIND_COMPONENT, 136)

enum KdOrdinal : int {
#define KD_ORDINAL_ENUM(name, ordinal) name = ordinal,
    KD_ORDINAL_TABLE(KD_ORDINAL_ENUM)
#undef KD_ORDINAL_ENUM
};

using HOBJ = int32_t; // a component: list or property
using HDEV = int32_t; // a device: its entry in the device list
using HDRV = int32_t; // an opened device
constexpr int32_t KD_INVALID_HANDLE = -1;

// Results. The codes -2000 to -2034 are the component errors every caller
// knows; the others are the manager's own.
enum KdResult : int32_t {
    KD_OK = 0,
    KD_ERR_NOT_A_LIST = -2000,
    KD_ERR_NOT_A_PROPERTY = -2001,
    KD_ERR_NO_READ_RIGHTS = -2003,
    KD_ERR_NO_WRITE_RIGHTS = -2004,
    KD_ERR_UNSUPPORTED_PARAMETER = -2008,
    KD_ERR_INVALID_VALUE = -2012,
    KD_ERR_VAL_ID_OUT_OF_BOUNDS = -2014,
    KD_ERR_TRANSLATION_TABLE_NOT_DEFINED = -2015,
    KD_ERR_INVALID_VALUE_TYPE = -2016,
    KD_ERR_VAL_TOO_LARGE = -2017,
    KD_ERR_VAL_TOO_SMALL = -2018,
    KD_ERR_INVALID_LIST_ID = -2020,
    KD_ERR_COMPONENT_ID_INVALID = -2021,
    KD_ERR_LIST_ENTRY_OCCUPIED = -2022,
    KD_ERR_INVALID_INPUT_PARAMETER = -2029,
    KD_ERR_INPUT_BUFFER_TOO_SMALL = -2031,
    KD_ERR_UNSUPPORTED_OPERATION = -2033,
    KD_ERR_NOT_INITIALISED = -2100, // the manager is not initialised
    KD_ERR_NO_FREE_REQUEST = -2101, // every request is queued or locked
    KD_ERR_REQUEST_STATE = -2102,   // the request is not locked (unlock, buffer, result)
    KD_ERR_INVALID_DRIVER = -2103,  // no open device has this driver handle
    KD_ERR_DEVICE_BUSY = -2104,     // the device is open already
    KD_ERR_WAIT_TIMEOUT = -2105,    // no request finished within the time-out
    KD_ERR_NO_SUCH_DEVICE = -2106,  // no device matches the search
    KD_ERR_CONFIGURATION = -2107,   // the camera configuration names an unknown product
};

// Component type flags: a list, or a property of one of four kinds.
enum : int32_t {
    KD_TYPE_PROPERTY = 0x10000,
    KD_TYPE_INT = 0x10001,
    KD_TYPE_REAL = 0x10002,
    KD_TYPE_INT64 = 0x10003,
    KD_TYPE_STRING = 0x10004,
    KD_TYPE_LIST = 0x20000,
};

// Component access flags.
enum : int32_t { KD_ACCESS_READ = 1, KD_ACCESS_WRITE = 2, KD_ACCESS_INVISIBLE = 0x10 };

// The lists of an opened device, found by type (kdFindList). The lists from
// "Info" on follow one another on the tree's first level in this order.
enum KdListType : int32_t {
    KD_LIST_SETTINGS = 0, // the settings, "Base" first
    KD_LIST_REQUESTS = 1, // one entry per request
    KD_LIST_IMAGE_REQUEST_CONTROL =
        2,                    // entries with "Mode", "ImageCount", "Setting", "ResultQueue"
    KD_LIST_INFO = 3,         // "Info": driver, firmware and sensor ("Camera")
    KD_LIST_STATISTICS = 4,   // "Statistics"
    KD_LIST_SYSTEM = 5,       // "System": "RequestCount"
    KD_LIST_IO_SUBSYSTEM = 6, // "IOSubSystem"
};

// Device search (kdGetDevice): which fields the search compares.
enum : int32_t {
    KD_SEARCH_PRODUCT = 0x1,   // the pattern against "Product"
    KD_SEARCH_DEVICE_ID = 0x2, // the number against "DeviceID"
    KD_SEARCH_WILDCARD =
        0x8000 // the wildcard character in the pattern matches any run of characters
};

// Component search (kdFindComponent): which kinds of component may match.
enum : int32_t { KD_FIND_PROPERTIES = 0x4, KD_FIND_LISTS = 0x8 };

// Component texts (kdComponentText).
enum : int32_t { KD_TEXT_NAME = 0 };

// Pixel formats of a frame.
enum KdPixelFormat : int32_t {
    KD_PIXEL_MONO8 = 1,
    KD_PIXEL_MONO16 = 2, // little-endian 16-bit words
    KD_PIXEL_RGB32 = 3,  // bytes B, G, R and 255
    KD_PIXEL_RGB24 = 4,  // bytes B, G, R
    KD_PIXEL_PLANAR = 5, // three byte planes R, G, B at their channel offsets
};

// Results of a request (kdGetRequestResult).
enum : int32_t {
    KD_REQUEST_OK = 0,
    KD_REQUEST_AOI_OUTSIDE = 1, // the setting's "Aoi" does not fit the binned sensor
};

// One channel of a frame: 268 bytes, the plane's byte offset first.
struct KdChannelDesc {
    int32_t iChannelOffset; // byte offset of the channel's plane in vpData
    int32_t iLinePitch;     // bytes from one row to the next
    int32_t iPixelPitch;    // bytes from one pixel to the next
    char szChannelDesc[256];
};

// The frame of a request, as kdGetImageBuffer describes it. The memory stays
// the manager's: valid until the request is queued again or the device closes.
struct KdImageBuffer {
    int32_t iSize; // bytes at vpData
    int32_t iHeight;
    int32_t iWidth;
    int32_t pixelFormat; // KdPixelFormat
    int32_t iBytesPerPixel;
    const void* vpData;
    int32_t iChannelCount;
    const KdChannelDesc* pChannels;
};

// How component texts come back: the manager calls it with the text and its
// length (terminator included) and returns what it answers.
using KdCopyText = char* (*)(const char* text, int32_t length);

extern "C" {

// ---- Manager and devices ----------------------------------------------------

// 1: initialises the manager (each call is paired with one kdClose) and answers
// the device list.
KDDEVMGR_API int32_t kdInitialise(HOBJ* device_list);
// 2: ends one initialisation; the last closes every device still open.
KDDEVMGR_API int32_t kdClose();
// 3: opens a device: its camera tree appears under the driver handle.
KDDEVMGR_API int32_t kdOpenDevice(HDEV device, HDRV* driver);
// 4: closes it; every handle of its tree becomes invalid.
KDDEVMGR_API int32_t kdCloseDevice(HDEV device, HDRV driver);
// 6: the first device that matches `mode` (KD_SEARCH_*); KD_ERR_NO_SUCH_DEVICE when none.
KDDEVMGR_API int32_t kdGetDevice(int32_t mode, const char* pattern, int32_t number, char wildcard,
                                 HDEV* device);
// 50: a new setting `name` in the settings list, a copy of the setting `parent`.
KDDEVMGR_API int32_t kdCreateSetting(HDRV driver, const char* name, const char* parent);
// 53: the list of `type`, with that name unless `name` is null.
KDDEVMGR_API int32_t kdFindList(HDRV driver, int32_t type, const char* name, HOBJ* list);

// ---- Requests ---------------------------------------------------------------

// 54: every queued request goes back unused, finished or not; the camera stops,
// and a wait in progress ends with none.
KDDEVMGR_API int32_t kdResetRequestQueue(HDRV driver, int32_t control);
// 55: queues a free request with the setting that control entry `control` selects.
KDDEVMGR_API int32_t kdQueueRequest(HDRV driver, int32_t control);
// 56: gives a locked request back.
KDDEVMGR_API int32_t kdUnlockRequest(HDRV driver, int32_t request);
// 57: the number of the oldest finished request, locked now, waiting up to
// `timeout_ms`; a negative result when none finished (KD_ERR_WAIT_TIMEOUT).
KDDEVMGR_API int32_t kdWaitForRequest(HDRV driver, int32_t timeout_ms);
// 66: fills `buffer` (from kdCreateImageBuffer) with the frame of a locked request.
KDDEVMGR_API int32_t kdGetImageBuffer(HDRV driver, int32_t request, KdImageBuffer* buffer);
// 68: the result of a locked request (KD_REQUEST_*).
KDDEVMGR_API int32_t kdGetRequestResult(HDRV driver, int32_t request, int32_t* result);
// 70, 72: an image-buffer object, and its end.
KDDEVMGR_API int32_t kdCreateImageBuffer(HDRV driver, KdImageBuffer** buffer);
KDDEVMGR_API int32_t kdFreeImageBuffer(KdImageBuffer* buffer);

// ---- Components -------------------------------------------------------------

// 100: KD_OK for a live handle, KD_ERR_INVALID_LIST_ID otherwise; `mode` is not looked at.
KDDEVMGR_API int32_t kdCheckHandle(HOBJ component, int32_t mode);
// 101: a number that changes whenever the list gains or loses an entry.
KDDEVMGR_API int32_t kdChangeCounter(HOBJ list, int32_t* counter);
// 104, 106: KD_ACCESS_* and KD_TYPE_* flags.
KDDEVMGR_API int32_t kdAccessFlags(HOBJ component, int32_t* flags);
KDDEVMGR_API int32_t kdTypeFlags(HOBJ component, int32_t* flags);
// 108: a setting gets the values of "Base" again.
KDDEVMGR_API int32_t kdResetList(HOBJ list);
// 109: values of a property (indices 0 .. count - 1).
KDDEVMGR_API int32_t kdValueCount(HOBJ property, int32_t* count);
// 113, 114: the next component on the same level, the first of a list;
// KD_INVALID_HANDLE after the last and in an empty list.
KDDEVMGR_API int32_t kdNextSibling(HOBJ component, HOBJ* next);
KDDEVMGR_API int32_t kdFirstChild(HOBJ list, HOBJ* child);
// 116 to 126: values at an index. Writes are checked against the access
// rights, the kind, the limits and the dictionary; a text is translated
// through the dictionary where there is one. Texts and dictionary texts come
// into buffers of `size` bytes, KD_ERR_INPUT_BUFFER_TOO_SMALL when one is short.
KDDEVMGR_API int32_t kdWriteReal(HOBJ property, double value, int32_t index);
KDDEVMGR_API int32_t kdReadReal(HOBJ property, double* value, int32_t index);
KDDEVMGR_API int32_t kdReadRealDictionary(HOBJ property, char** texts, int32_t size, double* values,
                                          int32_t count);
KDDEVMGR_API int32_t kdWriteInt(HOBJ property, int32_t value, int32_t index);
KDDEVMGR_API int32_t kdReadInt(HOBJ property, int32_t* value, int32_t index);
KDDEVMGR_API int32_t kdReadIntDictionary(HOBJ property, char** texts, int32_t size, int32_t* values,
                                         int32_t count);
KDDEVMGR_API int32_t kdReadInt64(HOBJ property, int64_t* value, int32_t index);
KDDEVMGR_API int32_t kdWriteText(HOBJ property, const char* text, int32_t index);
KDDEVMGR_API int32_t kdReadText(HOBJ property, char* buffer, int32_t size, int32_t index);
// 128: whether the property holds a value at `index` (limits at -1 to -3).
KDDEVMGR_API int32_t kdHasValue(HOBJ property, int32_t index, int32_t* has);
// 130: entries of the property's translation dictionary (0: none).
KDDEVMGR_API int32_t kdDictionarySize(HOBJ property, int32_t* size);
// 132: entries of a list.
KDDEVMGR_API int32_t kdListCount(HOBJ list, int32_t* count);
// 135: the component's name (KD_TEXT_NAME), handed to `copy`; its answer
// comes back in `text`.
KDDEVMGR_API int32_t kdComponentText(HOBJ component, int32_t mode, KdCopyText copy, char** text);
// 136: the entry `name` of a list, among the kinds `mode` allows (KD_FIND_*).
KDDEVMGR_API int32_t kdFindComponent(HOBJ list, const char* name, int32_t mode, HOBJ* found);

} // extern "C"

// The clock requests finish on; whoever measures the age of a frame takes now from here.
KDDEVMGR_API ondula::Clock& kdClock();
