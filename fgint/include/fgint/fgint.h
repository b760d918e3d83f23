/*
 * The frame-grabber host interface. A plug-in is a shared object named
 * VFG<Interface>.so (any letter case) that exports one function, FGInit; the
 * host (libverodyn) calls it once, and from then on drives the interface through
 * the thirteen callbacks FGInit writes into the interface's FGClass. Plug-ins
 * import the host functions declared at the end of this header from libverodyn.
 * The host looks for the file in the folders of ONDULA_PLUGIN_PATH (separated
 * by ':'), then in the folder of the running program, where fg_add_plugin
 * (grabbers/CMakeLists.txt) builds it.
 *
 * Records keep their field order and names in the natural layout of the
 * platform. Every callback and FGInit return FG_SUCCESS (1) or an error number;
 * nothing is thrown across this interface. Text fields are fixed arrays of
 * FG_TEXT_LEN bytes and are always written with fg_copy_text (fghelpers.h).
 */
#ifndef FGINT_FGINT_H
#define FGINT_FGINT_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Status of every callback and host function: FG_SUCCESS or an error number. */
typedef int32_t FGstatus;

/* The host's handle of the calling operator; callbacks hand it on unchanged. */
typedef int64_t Vproc_handle;

/* X(name, number, text): the status numbers plug-ins return, with their texts. */
#define FG_STATUS_TABLE(X)                                                                         \
    X(FG_SUCCESS, 1, "success")                                                                    \
    X(FG_ERR_DEVICE_CALL, 5, "a call of the device's own library failed")                          \
    X(FG_ERR_NOT_OPEN, 5300, "frame grabber is not open")                                          \
    X(FG_ERR_BITS_PER_CHANNEL, 5301, "bits per channel not possible")                              \
    X(FG_ERR_DEVICE, 5302, "no such device")                                                       \
    X(FG_ERR_RESTART, 5303, "device cannot be started again")                                      \
    X(FG_ERR_GRAB, 5306, "grab failed")                                                            \
    X(FG_ERR_RESOLUTION, 5307, "resolution, sub-sampling or format not possible")                  \
    X(FG_ERR_IMAGE_PART, 5308, "image part lies outside the full image")                           \
    X(FG_ERR_OPEN, 5312, "device or device library cannot be opened")                              \
    X(FG_ERR_MODE, 5313, "trigger, acquisition or video mode not possible")                        \
    X(FG_ERR_COLOR_SPACE, 5315, "color space not supported")                                       \
    X(FG_ERR_PORT, 5316, "port not possible")                                                      \
    X(FG_ERR_CAMERA_TYPE, 5317, "camera type not possible")                                        \
    X(FG_ERR_DEVICE_BUSY, 5319, "device busy")                                                     \
    X(FG_ERR_PARAM_UNKNOWN, 5321, "parameter not supported")                                       \
    X(FG_ERR_TIMEOUT, 5322, "no image within the time-out or image too old")                       \
    X(FG_ERR_GAIN, 5323, "gain not possible")                                                      \
    X(FG_ERR_PARAM_TYPE, 5325, "wrong value type for the parameter")                               \
    X(FG_ERR_PARAM_VALUE, 5326, "parameter value out of range or not allowed")                     \
    X(FG_ERR_NOT_SUPPORTED, 5327, "operation not supported by this interface")                     \
    X(FG_ERR_SET_FAILED, 5329, "device refused to set the parameter")                              \
    X(FG_ERR_GET_FAILED, 5330, "device could not report the parameter")                            \
    X(FG_ERR_NO_MEMORY, 6001, "grab buffer cannot be allocated")                                   \
    X(FG_ERR_LIB_VERSION, 8600, "device library has the wrong version")

enum FGStatusCode {
#define FG_STATUS_ENUM(name, number, text) name = number,
    FG_STATUS_TABLE(FG_STATUS_ENUM)
#undef FG_STATUS_ENUM
};

/* Info query codes (argument `query` of FGInfo). Code 7 and codes outside
 * 0-12 are answered "Unsupported query!" with no values and FG_SUCCESS. */
enum FGInfoQuery {
    FG_INFO_PORT = 0,
    FG_INFO_CAMERA_TYPE = 1,
    FG_INFO_GENERAL = 2,
    FG_INFO_DEFAULTS = 3,
    FG_INFO_PARAMETERS = 4,
    FG_INFO_BOARDS = 5,
    FG_INFO_REVISION = 6,
    FG_INFO_FIELD = 8,
    FG_INFO_BITS_PER_CHANNEL = 9,
    FG_INFO_COLOR_SPACE = 10,
    FG_INFO_EXTERNAL_TRIGGER = 11,
    FG_INFO_DEVICE = 12
};

#define FG_INFO_UNSUPPORTED_TEXT "Unsupported query!"
#define FG_INFO_DEFAULTS_TEXT "Default values (as used for open_framegrabber)."

/* Pixel kinds passed to VNewImage and VNewImagePtr. */
enum FGPixelKind {
    BYTE_IMAGE = 1,    /* 8 bits a pixel */
    INT4_IMAGE = 2,    /* 32 bits a pixel */
    UINT2_IMAGE = 1024 /* 9 to 16 bits a pixel, one 16-bit word each */
};

/* The host's codes of the open parameter `field` (FGClass and FGInstance). */
enum FGFieldCode {
    FG_FIELD_FIRST = 0,      /* "first" */
    FG_FIELD_SECOND = 1,     /* "second" */
    FG_FIELD_INTERLACED = 2, /* "interlaced" */
    FG_FIELD_NEXT = 3,       /* "next" */
    FG_FIELD_PROGRESSIVE = 4 /* "progressive" */
};

/* Modes of VAccessGlVar. */
enum { GV_WRITE_INFO = 0, GV_READ_INFO = 1 };

/* Host global 64: while non-zero (the default, 1) VNewImage clears the plane
 * of a new image; plug-ins clear it around image creation because they fill
 * every pixel themselves, and restore it afterwards. Each thread has its own. */
#define FG_GLOBAL_INIT_NEW_IMAGE 64

/* The constant every plug-in passes to VXAlloc as its fifth argument. */
#define FG_ALLOC_ID (-112)

#define FG_TEXT_LEN 1024    /* size of every text field, terminator included */
#define FG_MAX_INSTANCES 32 /* slots of FGClass.instance */
#define FG_MAX_CHANNELS 16  /* VImageRecords in the array a grab callback gets */

/* Types of a Vcpar. */
enum { VPAR_INT = 1, VPAR_REAL = 2, VPAR_STRING = 4 };

/* One value of a value list crossing the interface. A text (VPAR_STRING) stays
 * owned by whoever made the list and must outlive the call that passes it. */
typedef struct Vcpar {
    union {
        int32_t l;     /* VPAR_INT */
        double f;      /* VPAR_REAL */
        const char* s; /* VPAR_STRING, zero-terminated */
    } par;
    int8_t type; /* VPAR_INT, VPAR_REAL or VPAR_STRING */
} Vcpar;

/* Host image record: one per channel of a grab. Plug-ins write only `pixel`
 * (through VNewImage/VNewImagePtr), `num_bits` and the two time-stamp fields. */
typedef struct VImageRecord {
    int32_t kind; /* host: pixel kind given to VNewImage */
    union {
        void* p;
        uint8_t* b;           /* BYTE_IMAGE */
        uint16_t* u;          /* UINT2_IMAGE */
        int32_t* i;           /* INT4_IMAGE */
    } pixel;                  /* the plane, valid after VNewImage */
    int32_t num_bits;         /* significant bits of a UINT2_IMAGE pixel (0: all 16) */
    int32_t width;            /* host */
    int32_t height;           /* host */
    void* owned;              /* host: memory the host allocated for the plane, or null */
    uint16_t timestamp_ms;    /* milliseconds (0-999) of the time the frame was taken */
    uint8_t timestamp_second; /* second (0-59) of that time */
} VImageRecord;

/* The host's run-time record: a plug-in traces its wrapped host calls with
 * IOSpyProcCall while both flags are non-zero. */
typedef struct VRunInfo {
    uint8_t spy_active;     /* tracing is switched on */
    uint8_t spy_proc_calls; /* host calls are traced */
} VRunInfo;

typedef void* Vkey;

typedef struct FGClass FGClass;
typedef struct FGInstance FGInstance;

/* One open frame grabber, owned by the host. The host fills the parameter
 * block from the open call before FGOpen; the plug-in may rewrite any of it to
 * tell what it really set up. */
struct FGInstance {
    FGClass* fgclass;              /* the interface's class */
    int32_t horizontal_resolution; /* may be replaced by the resulting width */
    int32_t vertical_resolution;   /* may be replaced by the resulting height */
    int32_t image_width;           /* image part width (0 = from the full width) */
    int32_t image_height;          /* image part height (0 = derived) */
    int32_t start_row;             /* first row of the image part */
    int32_t start_column;          /* first column of the image part */
    int32_t field;                 /* FGFieldCode */
    int32_t bits_per_channel;      /* -1: the plug-in chooses and writes it back */
    char color_space[FG_TEXT_LEN]; /* the plug-in may write back what "default" became */
    float gain;
    uint8_t external_trigger;      /* 0 false, 1 true */
    char camera_type[FG_TEXT_LEN]; /* plug-in syntax; may be rewritten to the resolved mode */
    char device[FG_TEXT_LEN];      /* plug-in syntax; may be rewritten to the resolved name */
    int32_t port;
    int32_t line_in;
    int32_t subsampling;   /* USB camera plug-in: sub-sampling code */
    int32_t full_width;    /* set by FGOpen: width of the full image */
    int32_t full_height;   /* set by FGOpen: height of the full image */
    int32_t num_channels;  /* set by FGOpen: channels of a grabbed image */
    uint8_t async_grab;    /* an asynchronous grab is pending */
    void* plugin_instance; /* the plug-in's own record, set by FGAllocInstance */
    uint8_t extra_flag;    /* USB camera plug-in: written on volatile changes */
    int32_t extra_word;    /* USB camera plug-in: written on volatile changes */
};

/* Callbacks, in their slot order. Each takes proc_id first. */
typedef FGInstance** (*FGAllocInstanceProc)(Vproc_handle proc_id, FGInstance* fginst);
typedef FGstatus (*FGOpenProc)(Vproc_handle proc_id, FGInstance* fginst);
typedef FGstatus (*FGCloseProc)(Vproc_handle proc_id, FGInstance* fginst);
/* `image` holds FG_MAX_CHANNELS zeroed records: one VNewImage (or VNewImagePtr)
 * a channel, all of one kind and size, and `*num_image` the channel count. The
 * host releases every image made, whatever the status. */
typedef FGstatus (*FGGrabProc)(Vproc_handle proc_id, FGInstance* fginst, VImageRecord* image,
                               int32_t* num_image);
typedef FGstatus (*FGGrabStartAsyncProc)(Vproc_handle proc_id, FGInstance* fginst,
                                         double max_delay);
typedef FGstatus (*FGGrabAsyncProc)(Vproc_handle proc_id, FGInstance* fginst, double max_delay,
                                    VImageRecord* image, int32_t* num_image);
/* Reserved: the host never calls the two extra grabs; plug-ins answer 5327. */
typedef FGstatus (*FGGrabExtraProc)(Vproc_handle proc_id, FGInstance* fginst, void* args);
typedef FGstatus (*FGGrabExtraAsyncProc)(Vproc_handle proc_id, FGInstance* fginst, double max_delay,
                                         void* args);
/* `info` receives a static text; `values` an array made with VXAlloc that the
 * host takes over (null with *numValues 0). */
typedef FGstatus (*FGInfoProc)(Vproc_handle proc_id, int32_t query, const char** info,
                               Vcpar** values, int32_t* numValues);
typedef FGstatus (*FGSetParamProc)(Vproc_handle proc_id, FGInstance* fginst, const char* name,
                                   const Vcpar* values, int32_t num);
/* `*num` is in/out: on entry the capacity of `values` (entries the host
 * supplies), on return the number written. An answer with more entries than
 * the capacity writes nothing, sets `*num` to the entries needed and returns
 * FG_ERR_PARAM_VALUE (5326); the host then asks again with room enough.
 * Text values point to memory the plug-in keeps until its next call. */
typedef FGstatus (*FGGetParamProc)(Vproc_handle proc_id, FGInstance* fginst, const char* name,
                                   Vcpar* values, int32_t* num);
typedef FGstatus (*FGSetLutProc)(Vproc_handle proc_id, FGInstance* fginst, const int32_t* red,
                                 const int32_t* green, const int32_t* blue, int32_t num);
/* The last argument receives the table length (0: no table). */
typedef FGstatus (*FGGetLutProc)(Vproc_handle proc_id, FGInstance* fginst, int32_t* red,
                                 int32_t* green, int32_t* blue, int32_t* num);

/* One interface, owned by the host; FGInit fills everything after the host's
 * own fields. */
struct FGClass {
    char interface_name[FG_TEXT_LEN];       /* host: the name the interface was loaded under */
    int32_t init_mark;                      /* FGInit writes 2 */
    uint8_t init_flag;                      /* FGInit writes 1 */
    int32_t init_zero;                      /* FGInit writes 0 */
    int32_t max_instances;                  /* instances open at once, at most FG_MAX_INSTANCES */
    FGInstance* instance[FG_MAX_INSTANCES]; /* an open instance's slot points to it */
    FGAllocInstanceProc FGAllocInstance;
    FGOpenProc FGOpen;
    FGCloseProc FGClose;
    FGGrabProc FGGrab;
    FGGrabStartAsyncProc FGGrabStartAsync;
    FGGrabAsyncProc FGGrabAsync;
    FGGrabExtraProc FGGrabExtra;
    FGGrabExtraAsyncProc FGGrabExtraAsync;
    FGInfoProc FGInfo;
    FGSetParamProc FGSetParam;
    FGGetParamProc FGGetParam;
    FGSetLutProc FGSetLut;
    FGGetLutProc FGGetLut;
    /* Defaults of the open parameters, in the open call's order. */
    int32_t horizontal_resolution;
    int32_t vertical_resolution;
    int32_t image_width;  /* 0 = whole width */
    int32_t image_height; /* 0 = whole height */
    int32_t start_row;
    int32_t start_column;
    int32_t field;            /* FGFieldCode */
    int32_t bits_per_channel; /* -1 = as the device delivers */
    char color_space[FG_TEXT_LEN];
    float gain;
    uint8_t external_trigger; /* 0 false, 1 true */
    char camera_type[FG_TEXT_LEN];
    char device[FG_TEXT_LEN];
    int32_t port;
    int32_t line_in;
};

/* The one function a plug-in exports. It fills `fgClass` (the marks 2, 1, 0,
 * max_instances, the callbacks it offers and the defaults), keeps the pointer
 * for FGInfo and FGAllocInstance, and returns FG_SUCCESS or FG_ERR_OPEN. */
typedef FGstatus (*FGInitProc)(Vproc_handle proc_id, FGClass* fgClass);

#if defined(__cplusplus)
#define FG_EXPORT extern "C" __attribute__((visibility("default")))
#else
#define FG_EXPORT __attribute__((visibility("default")))
#endif

/* ---- Host functions (libverodyn) -------------------------------------- */

/* libverodyn hides its internals: what it offers the plug-ins is marked. */
#define FG_HOST __attribute__((visibility("default")))

/* Makes the host image of one channel: a plane of width x height pixels of
 * `kind` that `image->pixel` then points to. The plane is cleared while host
 * global 64 is non-zero. Calling it again on the same record replaces the image. */
FG_HOST FGstatus VNewImage(Vproc_handle proc_id, VImageRecord* image, int32_t kind, int32_t width,
                           int32_t height);

/* Like VNewImage over pixel memory `data` of the plug-in. With `copy` 0 the
 * record only points to it, and the host copies the pixels when the grab
 * returns; otherwise they are copied now. */
FG_HOST FGstatus VNewImagePtr(Vproc_handle proc_id, VImageRecord* image, int32_t kind,
                              int32_t width, int32_t height, void* data, int32_t copy);

/* Allocates `size` bytes and stores their address in the pointer at
 * `pointer_address`. `file` and `line` name the call for the host's records
 * of live allocations; `id` is FG_ALLOC_ID. */
FG_HOST FGstatus VXAlloc(Vproc_handle proc_id, size_t size, const char* file, int32_t line,
                         int32_t id, void* pointer_address);

/* Frees what VXAlloc gave (null is accepted). A pointer VXAlloc did not give
 * is refused with a status and left alone. */
FG_HOST FGstatus VXFree(Vproc_handle proc_id, void* pointer, const char* file, int32_t line,
                        int32_t id);

/* Temporary memory; note the argument order, unlike VXAlloc. */
FG_HOST FGstatus VXAllocTmp(Vproc_handle proc_id, void* pointer_address, size_t size,
                            const char* file, int32_t line);
FG_HOST FGstatus VXFreeTmp(Vproc_handle proc_id, void* pointer, const char* file, int32_t line);

/* Reads (GV_READ_INFO, into *read_value) or writes (GV_WRITE_INFO, `value`)
 * host global `id`; only FG_GLOBAL_INIT_NEW_IMAGE (64) exists. `text`, `key`
 * and `index` are unused and passed as null, null, 0. */
FG_HOST FGstatus VAccessGlVar(Vproc_handle proc_id, int32_t id, int32_t mode, double* read_value,
                              double value, const char* text, Vkey key, int32_t index);

/* The 15 defaults of `fgClass` in the open call's order, as one VXAlloc block
 * the caller frees with one VXFree: integers, field and external_trigger as
 * their texts ("interlaced", "false" ...), the texts, gain as a real. */
FG_HOST FGstatus VFgGetDefaults(Vproc_handle proc_id, const FGClass* fgClass, Vcpar** values,
                                int32_t* numValues);

/* Prints one low-level error text on the host's error output. */
FG_HOST FGstatus IOPrintErrorMessage(const char* text);

/* Non-zero (default 0): plug-ins print low-level error texts. */
extern FG_HOST int32_t VDoLowError;

/* The host's run-time record (tracing flags). */
extern FG_HOST VRunInfo VROInfo;

/* Reports that the wrapped call `text` at file:line failed with `err`: the
 * host keeps it as the detail of the operator's error and prints it while
 * VDoLowError is set. Returns FG_SUCCESS: the caller returns `err` itself. */
FG_HOST FGstatus VProcessErr(const char* text, FGstatus err, int32_t line, const char* file);

/* Traces the wrapped call `text` at file:line on the host's error output. */
FG_HOST FGstatus IOSpyProcCall(const char* text, int32_t line, const char* file);

#ifdef __cplusplus
}
#endif

#endif
