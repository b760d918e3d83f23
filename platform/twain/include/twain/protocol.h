// The part of the TWAIN protocol that Ondula speaks: the data source manager's
// entry, the triplets (data group, data argument type, message), the records
// they carry, capabilities with their containers and item types, and the
// return and condition codes. Records take the natural layout of the platform.
//
// An application loads the manager (twain_32.so) and calls DSM_Entry with its
// own identity, the identity of the source it addresses (null for the manager
// itself), a triplet and the triplet's record. A source tells the application
// that an image is ready, or that it wants to be closed, through the manager's
// event queue: the application waits on it with DSM_WaitEvent and hands each
// message to DG_CONTROL / DAT_EVENT / MSG_PROCESSEVENT.
#pragma once

#include <cstdint>

#include <twain/global_memory.h>

typedef uint8_t TW_UINT8;
typedef int8_t TW_INT8;
typedef uint16_t TW_UINT16;
typedef int16_t TW_INT16;
typedef uint32_t TW_UINT32;
typedef int32_t TW_INT32;
typedef uint16_t TW_BOOL;
typedef void* TW_MEMREF;
typedef HGLOBAL TW_HANDLE;
typedef char TW_STR32[34];   // 33 characters and the terminator
typedef char TW_STR255[256]; // 255 characters and the terminator

// ---- Return codes -----------------------------------------------------------
constexpr TW_UINT16 TWRC_SUCCESS = 0;
constexpr TW_UINT16 TWRC_FAILURE = 1;     // the condition code says why
constexpr TW_UINT16 TWRC_CHECKSTATUS = 2; // done, but not quite as asked
constexpr TW_UINT16 TWRC_CANCEL = 3;      // the user cancelled
constexpr TW_UINT16 TWRC_DSEVENT = 4;     // MSG_PROCESSEVENT: the source's message
constexpr TW_UINT16 TWRC_NOTDSEVENT = 5;  // MSG_PROCESSEVENT: not the source's
constexpr TW_UINT16 TWRC_XFERDONE = 6;    // the transfer is complete
constexpr TW_UINT16 TWRC_ENDOFLIST = 7;   // MSG_GETNEXT: no further source

// ---- Condition codes (DAT_STATUS) -----------------------------------------
constexpr TW_UINT16 TWCC_SUCCESS = 0;
constexpr TW_UINT16 TWCC_BUMMER = 1;         // failure of no named kind
constexpr TW_UINT16 TWCC_LOWMEMORY = 2;      // not enough memory
constexpr TW_UINT16 TWCC_NODS = 3;           // no data source
constexpr TW_UINT16 TWCC_MAXCONNECTIONS = 4; // the source is in use elsewhere
constexpr TW_UINT16 TWCC_OPERATIONERROR = 5; // the source or manager failed
constexpr TW_UINT16 TWCC_BADCAP = 6;         // unknown or read-only capability
constexpr TW_UINT16 TWCC_BADPROTOCOL = 7;    // unknown triplet
constexpr TW_UINT16 TWCC_BADVALUE = 8;       // value out of range or wrong
constexpr TW_UINT16 TWCC_SEQERROR = 9;       // triplet out of the protocol's order
constexpr TW_UINT16 TWCC_BADDEST = 10;       // unknown destination source

// ---- Data groups ------------------------------------------------------------
constexpr TW_UINT32 DG_CONTROL = 1;
constexpr TW_UINT32 DG_IMAGE = 2;

// ---- Data argument types ----------------------------------------------------
constexpr TW_UINT16 DAT_CAPABILITY = 1;       // TW_CAPABILITY
constexpr TW_UINT16 DAT_EVENT = 2;            // TW_EVENT
constexpr TW_UINT16 DAT_IDENTITY = 3;         // TW_IDENTITY
constexpr TW_UINT16 DAT_PARENT = 4;           // the parent window handle
constexpr TW_UINT16 DAT_PENDINGXFERS = 5;     // TW_PENDINGXFERS
constexpr TW_UINT16 DAT_SETUPMEMXFER = 6;     // TW_SETUPMEMXFER
constexpr TW_UINT16 DAT_SETUPFILEXFER = 7;    // TW_SETUPFILEXFER
constexpr TW_UINT16 DAT_STATUS = 8;           // TW_STATUS
constexpr TW_UINT16 DAT_USERINTERFACE = 9;    // TW_USERINTERFACE
constexpr TW_UINT16 DAT_IMAGEINFO = 10;       // TW_IMAGEINFO
constexpr TW_UINT16 DAT_IMAGELAYOUT = 11;     // TW_IMAGELAYOUT
constexpr TW_UINT16 DAT_IMAGEMEMXFER = 12;    // TW_IMAGEMEMXFER
constexpr TW_UINT16 DAT_IMAGENATIVEXFER = 13; // TW_HANDLE of a bitmap, out
constexpr TW_UINT16 DAT_IMAGEFILEXFER = 14;   // none
constexpr TW_UINT16 DAT_PALETTE8 = 15;        // TW_PALETTE8

// ---- Messages ---------------------------------------------------------------
constexpr TW_UINT16 MSG_NULL = 0;
constexpr TW_UINT16 MSG_GET = 1;
constexpr TW_UINT16 MSG_GETCURRENT = 2;
constexpr TW_UINT16 MSG_GETDEFAULT = 3;
constexpr TW_UINT16 MSG_GETFIRST = 4;
constexpr TW_UINT16 MSG_GETNEXT = 5;
constexpr TW_UINT16 MSG_SET = 6;
constexpr TW_UINT16 MSG_OPENDSM = 7;
constexpr TW_UINT16 MSG_CLOSEDSM = 8;
constexpr TW_UINT16 MSG_OPENDS = 9;
constexpr TW_UINT16 MSG_CLOSEDS = 10;
constexpr TW_UINT16 MSG_USERSELECT = 11;
constexpr TW_UINT16 MSG_DISABLEDS = 12;
constexpr TW_UINT16 MSG_ENABLEDS = 13;
constexpr TW_UINT16 MSG_PROCESSEVENT = 14;
constexpr TW_UINT16 MSG_ENDXFER = 15;
constexpr TW_UINT16 MSG_XFERREADY = 16;  // from a source: an image is ready
constexpr TW_UINT16 MSG_CLOSEDSREQ = 17; // from a source: please disable and close me

// ---- Capabilities -----------------------------------------------------------
constexpr TW_UINT16 ICAP_XFERMECH = 1;
constexpr TW_UINT16 ICAP_PIXELTYPE = 2;
constexpr TW_UINT16 ICAP_UNITS = 3;
constexpr TW_UINT16 ICAP_BITDEPTH = 4;
constexpr TW_UINT16 ICAP_XRESOLUTION = 5;
constexpr TW_UINT16 ICAP_YRESOLUTION = 6;
constexpr TW_UINT16 ICAP_XNATIVERESOLUTION = 7;
constexpr TW_UINT16 ICAP_YNATIVERESOLUTION = 8;
constexpr TW_UINT16 ICAP_XSCALING = 9;
constexpr TW_UINT16 ICAP_YSCALING = 10;
constexpr TW_UINT16 ICAP_PHYSICALWIDTH = 11;
constexpr TW_UINT16 ICAP_PHYSICALHEIGHT = 12;
constexpr TW_UINT16 ICAP_BRIGHTNESS = 13;
constexpr TW_UINT16 ICAP_CONTRAST = 14;
constexpr TW_UINT16 ICAP_GAMMA = 15;
constexpr TW_UINT16 ICAP_HIGHLIGHT = 16;
constexpr TW_UINT16 ICAP_SHADOW = 17;
constexpr TW_UINT16 ICAP_LIGHTPATH = 18;

// ---- Capability values ------------------------------------------------------
constexpr TW_UINT16 TWSX_NATIVE = 0; // ICAP_XFERMECH
constexpr TW_UINT16 TWSX_FILE = 1;
constexpr TW_UINT16 TWSX_MEMORY = 2;

constexpr TW_UINT16 TWPT_BW = 0; // ICAP_PIXELTYPE
constexpr TW_UINT16 TWPT_GRAY = 1;
constexpr TW_UINT16 TWPT_RGB = 2;
constexpr TW_UINT16 TWPT_PALETTE = 3;
constexpr TW_UINT16 TWPT_CMY = 4;
constexpr TW_UINT16 TWPT_CMYK = 5;
constexpr TW_UINT16 TWPT_YUV = 6;
constexpr TW_UINT16 TWPT_YUVK = 7;
constexpr TW_UINT16 TWPT_CIEXYZ = 8;

constexpr TW_UINT16 TWUN_INCHES = 0; // ICAP_UNITS
constexpr TW_UINT16 TWUN_CENTIMETERS = 1;
constexpr TW_UINT16 TWUN_PICAS = 2;
constexpr TW_UINT16 TWUN_POINTS = 3;
constexpr TW_UINT16 TWUN_TWIPS = 4;
constexpr TW_UINT16 TWUN_PIXELS = 5;

constexpr TW_UINT16 TWLP_REFLECTIVE = 0; // ICAP_LIGHTPATH
constexpr TW_UINT16 TWLP_TRANSMISSIVE = 1;

constexpr TW_UINT16 TWFF_BMP = 2; // TW_SETUPFILEXFER.Format: a bitmap file

constexpr TW_UINT16 TWCP_NONE = 0; // compression of image data
constexpr TW_UINT16 TWCP_PACKBITS = 1;

// ---- Containers and their items ---------------------------------------------
constexpr TW_UINT16 TWON_ONEVALUE = 1;    // TW_ONEVALUE
constexpr TW_UINT16 TWON_ENUMERATION = 2; // TW_ENUMERATION
constexpr TW_UINT16 TWON_RANGE = 3;       // TW_RANGE
constexpr TW_UINT16 TWON_ARRAY = 4;       // TW_ARRAY

constexpr TW_UINT16 TWTY_INT8 = 1;
constexpr TW_UINT16 TWTY_INT16 = 2;
constexpr TW_UINT16 TWTY_INT32 = 3;
constexpr TW_UINT16 TWTY_UINT8 = 4;
constexpr TW_UINT16 TWTY_UINT16 = 5;
constexpr TW_UINT16 TWTY_UINT32 = 6;
constexpr TW_UINT16 TWTY_FIX32 = 7;
constexpr TW_UINT16 TWTY_FRAME = 8;
constexpr TW_UINT16 TWTY_BOOL = 9;
constexpr TW_UINT16 TWTY_STR32 = 10;

// A real number as a signed whole part and a fraction of 65536ths.
struct TW_FIX32 {
    TW_INT16 Whole;
    TW_UINT16 Frac;
};

// A rectangle in the current units.
struct TW_FRAME {
    TW_FIX32 Left;
    TW_FIX32 Top;
    TW_FIX32 Right;
    TW_FIX32 Bottom;
};

// The bytes one item of `item_type` takes in a container; 0 for an unknown type.
inline TW_UINT32 TwainItemSize(TW_UINT16 item_type)
{
    switch (item_type) {
    case TWTY_INT8:
    case TWTY_UINT8:
        return 1;
    case TWTY_INT16:
    case TWTY_UINT16:
    case TWTY_BOOL:
        return 2;
    case TWTY_INT32:
    case TWTY_UINT32:
    case TWTY_FIX32:
        return 4;
    case TWTY_FRAME:
        return sizeof(TW_FRAME);
    case TWTY_STR32:
        return sizeof(TW_STR32);
    }
    return 0;
}

// The value of a capability that a container holds. Item starts the value;
// an item larger than four bytes (a TW_FRAME) runs on beyond it, in a block
// allocated larger.
struct TW_ONEVALUE {
    TW_UINT16 ItemType;
    TW_UINT32 Item;
};

// The values allowed and the current and default ones (indexes into ItemList,
// which holds NumItems items of ItemType back to back).
struct TW_ENUMERATION {
    TW_UINT16 ItemType;
    TW_UINT32 NumItems;
    TW_UINT32 CurrentIndex;
    TW_UINT32 DefaultIndex;
    TW_UINT8 ItemList[1];
};

// Values from MinValue to MaxValue in steps of StepSize, each a 32-bit word
// holding an item of ItemType (no frames).
struct TW_RANGE {
    TW_UINT16 ItemType;
    TW_UINT32 MinValue;
    TW_UINT32 MaxValue;
    TW_UINT32 StepSize;
    TW_UINT32 DefaultValue;
    TW_UINT32 CurrentValue;
};

// A list of NumItems items of ItemType back to back.
struct TW_ARRAY {
    TW_UINT16 ItemType;
    TW_UINT32 NumItems;
    TW_UINT8 ItemList[1];
};

// DAT_CAPABILITY: the capability, the kind of its container and the
// container's handle. On MSG_GET and MSG_GETCURRENT the source allocates the
// container and the application frees it; on MSG_SET the application's.
struct TW_CAPABILITY {
    TW_UINT16 Cap;
    TW_UINT16 ConType;
    TW_HANDLE hContainer;
};

// ---- Records of the triplets ------------------------------------------------

struct TW_VERSION {
    TW_UINT16 MajorNum;
    TW_UINT16 MinorNum;
    TW_UINT16 Language;
    TW_UINT16 Country;
    TW_STR32 Info;
};

// An application or a source. The manager gives Id: to an application at
// MSG_OPENDSM, to each source in its list.
struct TW_IDENTITY {
    TW_UINT32 Id;
    TW_VERSION Version;
    TW_UINT16 ProtocolMajor;
    TW_UINT16 ProtocolMinor;
    TW_UINT32 SupportedGroups; // DG_CONTROL | DG_IMAGE ...
    TW_STR32 Manufacturer;
    TW_STR32 ProductFamily;
    TW_STR32 ProductName;
};

struct TW_STATUS {
    TW_UINT16 ConditionCode;
    TW_UINT16 Reserved;
};

// MSG_ENABLEDS: show the source's own dialog or not; hParent is the window the
// dialog belongs to (null here: there are no windows).
struct TW_USERINTERFACE {
    TW_BOOL ShowUI;
    TW_BOOL ModalUI;
    TW_MEMREF hParent;
};

// MSG_PROCESSEVENT: pEvent points to a DSM_MESSAGE the application waited for;
// TWMessage receives the source's message (MSG_NULL when none).
struct TW_EVENT {
    TW_MEMREF pEvent;
    TW_UINT16 TWMessage;
};

// A message in the manager's event queue.
struct DSM_MESSAGE {
    TW_UINT32 SourceId; // the source that posted it
    TW_UINT16 Message;  // MSG_XFERREADY or MSG_CLOSEDSREQ
};

struct TW_PENDINGXFERS {
    TW_UINT16 Count; // transfers still pending after MSG_ENDXFER
    TW_UINT32 Reserved;
};

struct TW_IMAGEINFO {
    TW_FIX32 XResolution; // dots a unit
    TW_FIX32 YResolution;
    TW_INT32 ImageWidth; // pixels
    TW_INT32 ImageLength;
    TW_INT16 SamplesPerPixel;
    TW_INT16 BitsPerSample[8];
    TW_INT16 BitsPerPixel;
    TW_BOOL Planar;
    TW_INT16 PixelType;
    TW_UINT16 Compression; // TWCP_*
};

struct TW_IMAGELAYOUT {
    TW_FRAME Frame; // the area to scan, in the current units
    TW_UINT32 DocumentNumber;
    TW_UINT32 PageNumber;
    TW_UINT32 FrameNumber;
};

struct TW_ELEMENT8 {
    TW_UINT8 Index;
    TW_UINT8 Channel1; // red
    TW_UINT8 Channel2; // green
    TW_UINT8 Channel3; // blue
};

struct TW_PALETTE8 {
    TW_UINT16 NumColors;
    TW_UINT16 PaletteType;
    TW_ELEMENT8 Colors[256];
};

// Buffer sizes, in bytes, that a memory transfer's strips may use.
struct TW_SETUPMEMXFER {
    TW_UINT32 MinBufSize;
    TW_UINT32 MaxBufSize;
    TW_UINT32 Preferred;
};

constexpr TW_UINT32 TWMF_APPOWNS = 1; // TW_MEMORY.Flags: the application's memory
constexpr TW_UINT32 TWMF_POINTER = 2; // TheMem is an address, not a handle

struct TW_MEMORY {
    TW_UINT32 Flags;
    TW_UINT32 Length; // bytes at TheMem
    TW_MEMREF TheMem;
};

// One strip of a memory transfer: Rows rows of Columns pixels placed at
// (XOffset, YOffset) of the image, BytesPerRow apart in Memory. The rows come
// top first, samples in the order red, green, blue; words little-endian.
struct TW_IMAGEMEMXFER {
    TW_UINT16 Compression;
    TW_UINT32 BytesPerRow;
    TW_UINT32 Columns;
    TW_UINT32 Rows;
    TW_UINT32 XOffset;
    TW_UINT32 YOffset;
    TW_UINT32 BytesWritten;
    TW_MEMORY Memory;
};

struct TW_SETUPFILEXFER {
    TW_STR255 FileName;
    TW_UINT16 Format; // TWFF_*
    TW_INT16 VRefNum;
};

// ---- Fixed-point conversions ------------------------------------------------

inline double TwainFix32ToReal(TW_FIX32 value) { return value.Whole + value.Frac / 65536.0; }

// n = trunc(65536 x + 0.5), held to 32 bits: the whole part is n shifted
// right by 16, the fraction its low 16 bits.
inline TW_FIX32 TwainRealToFix32(double x)
{
    const double scaled = x * 65536.0 + 0.5;
    const auto n = scaled >= 2147483647.0   ? TW_INT32(2147483647)
                   : scaled > -2147483648.0 ? static_cast<TW_INT32>(scaled)
                                            : TW_INT32(-2147483647 - 1);
    return {static_cast<TW_INT16>(n >> 16), static_cast<TW_UINT16>(n & 0xFFFF)};
}

// ---- The manager's entry points ---------------------------------------------

extern "C" {
// The manager's one entry: `origin` is the application, `dest` the source
// addressed or null for the manager. Returns a TWRC_* code; after
// TWRC_FAILURE, DAT_STATUS tells why.
typedef TW_UINT16 (*DSM_ENTRYPROC)(TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg,
                                   TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
// Takes the oldest message of the manager's event queue into `message`; waits
// for one up to `milliseconds` on the platform clock. TWRC_SUCCESS with a
// message, TWRC_FAILURE when none came.
typedef TW_UINT16 (*DSM_WAITEVENTPROC)(DSM_MESSAGE* message, TW_UINT32 milliseconds);
}
