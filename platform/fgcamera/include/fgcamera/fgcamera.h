// The IEEE-1394 camera library as the IIDC plug-in uses it: module functions,
// the node list, the camera class CFGCamera with its operations in their slot
// order, parameter numbers and result codes. Behind it lies a simulated bus
// (fgcamera/simulation.h) whose cameras follow the IIDC (DCAM) formats.
//
// Every operation returns a result code: FCE_NOERROR (0) or an error code; no
// operation throws. The module must be initialised (FGInitModule) before any
// camera operation; the functions may be called from several threads.
#pragma once

#include <cstdint>

#include <clock/clock.h>

#define FGCAMERA_API __attribute__((visibility("default")))

// A 64-bit camera GUID as two halves. The upper 24 bits of High are the
// camera's vendor id.
struct UINT32HL {
    uint32_t Low;
    uint32_t High;
};

// A moment as 100-ns ticks since 1601-01-01 00:00 UTC, in two halves.
struct FILETIME {
    uint32_t dwLowDateTime;
    uint32_t dwHighDateTime;
};

// One camera on the bus, as FGGetNodeList reports it.
struct FGNODEINFO {
    UINT32HL Guid;
    uint8_t CardNumber; // the bus adapter the camera hangs on
    uint8_t NodeId;     // the camera's node on that bus
    uint8_t Busy;       // 1 while some CFGCamera is connected to it
};

// What GetParameterInfo reports about one parameter: seven 32-bit words.
struct FGPINFO {
    uint32_t IsValue;      // 0: the current value, as GetParameter answers it
    uint32_t MinValue;     // 1: the smallest value allowed
    uint32_t MaxValue;     // 2: the largest value allowed
    uint32_t Unit;         // 3: the step between allowed values
    uint32_t SpecificType; // 4: what words 5 and 6 hold (FGPSPECIFIC)
    // 5: for a camera feature its FGPF_* capabilities; for the trigger its
    // FGPT_* capabilities and state, and trigger source i available in bit 14 - i.
    uint32_t Specific;
    // 6: for the trigger, mode i available in bit 15 - i and the current trigger
    // parameter in bits 20-31; otherwise 0.
    uint32_t SpecificEx;
};

enum FGPSPECIFIC : uint32_t {
    FGPS_NONE = 0,    // words 5 and 6 are 0
    FGPS_FEATURE = 1, // a camera feature (brightness ... optical filter)
    FGPS_TRIGGER = 2, // FGP_TRIGGER
};

// Capabilities of a camera feature (FGPINFO word 5).
enum : uint32_t {
    FGPF_CANOFF = 2,     // can be switched off (PVAL_OFF)
    FGPF_CANAUTO = 8,    // can run automatically (PVAL_AUTO)
    FGPF_CANONEPUSH = 32 // can adjust itself once (PVAL_ONEPUSH)
};

// Capabilities and state of the trigger (FGPINFO word 5, with the sources).
enum : uint32_t {
    FGPT_CANONOFF = 2,    // the trigger can be switched on and off
    FGPT_ISON = 4,        // the trigger is on
    FGPT_CANPOLARITY = 8, // the polarity can be chosen
};

// The trigger word (FGP_TRIGGER): its fields.
enum : uint32_t {
    FGTRIG_PARAMETER_MASK = 0xFFF, // bits 0-11: the trigger parameter
    FGTRIG_MODE_SHIFT = 16,        // bits 16-19: the trigger mode
    FGTRIG_SOURCE_SHIFT = 21,      // bits 21-23: the trigger source
    FGTRIG_POLARITY_SHIFT = 24,    // bit 24: the polarity (1 high active)
    FGTRIG_ON_SHIFT = 25,          // bit 25: the trigger is on
};

// One delivered frame. GetFrame fills it; PutFrame gives the buffer back.
struct FGFRAME {
    uint8_t* pData;  // the frame's bytes, in the colour coding of the format
    uint32_t Length; // bytes at pData
    uint32_t Id;     // the frame's number: frames the camera filled since it was connected
    FILETIME Time;   // when the camera finished the frame
};

// Parameter numbers of SetParameter, GetParameter and GetParameterInfo.
enum FGPARAMETER : uint16_t {
    // The image format: bits 16-23, 8-15 and 0-7 hold three numbers; with bit
    // 31 set they are DCAM format, mode and rate, without it FireGrab
    // resolution (FGRES_*), colour coding (CM_*) and rate; bits 24-30 are not
    // read. A number 0xFF takes the first offered format that matches the
    // others (0xFFFFFFFF: the first offered format). GetParameter answers
    // the chosen format in the notation it was set in (DCAM at first).
    FGP_IMAGEFORMAT = 0,
    // Setting restarts the list of the offered formats, bit 31 of the value
    // choosing the notation; each GetParameter answers the next one and fails
    // with FCE_NOTAVAILABLE after the last.
    FGP_ENUMIMAGEFORMAT = 1,
    // Camera features: a value in their range, or PVAL_OFF, PVAL_AUTO,
    // PVAL_ONEPUSH as their capabilities allow. GetParameter answers bit 31
    // set while a one-push adjustment runs.
    FGP_BRIGHTNESS = 2,
    FGP_AUTOEXPOSURE = 3,
    FGP_SHARPNESS = 4,
    FGP_WHITEBALCB = 5,
    FGP_WHITEBALCR = 6,
    FGP_HUE = 7,
    FGP_SATURATION = 8,
    FGP_GAMMA = 9,
    FGP_SHUTTER = 10,
    FGP_GAIN = 11,
    FGP_IRIS = 12,
    FGP_FOCUS = 13,
    FGP_TEMPERATURE = 14,
    FGP_TRIGGER = 15, // the trigger word (FGTRIG_*)
    FGP_TRIGGERDLY = 16,
    FGP_ZOOM = 19,
    FGP_PAN = 20,
    FGP_TILT = 21,
    FGP_OPTICALFILTER = 22,
    // Format 7 window: size and position in pixels, multiples of the unit.
    // Other formats report their fixed size and position 0.
    FGP_XSIZE = 26,
    FGP_YSIZE = 27,
    FGP_XPOSITION = 28,
    FGP_YPOSITION = 29,
    // Bytes a bus packet (one each 125 us); settable in format 7 only.
    FGP_PACKETSIZE = 30,
    // 1: buffers are filled in the order they were queued; a frame that finds
    // no empty queued buffer is lost. The only mode.
    FGP_DMAMODE = 31,
    // Frames delivered after each StartDevice; 0: no limit.
    FGP_BURSTCOUNT = 32,
    // Frame buffers OpenCapture makes: at most this many can be queued.
    FGP_FRAMEBUFFERCOUNT = 33,
    // 1: bandwidth is taken from the bus's resource manager. The only mode.
    FGP_USEIRMFORBW = 34,
    // 0: values off the allowed grid are refused, not adjusted. The only mode.
    FGP_ADJUSTPARAMETERS = 35,
    // 0: OpenCapture does not start the camera; StartDevice does. The only mode.
    FGP_STARTIMMEDIATELY = 36,
    FGP_FRAMEMEMORYSIZE = 37, // bytes a frame (read only)
    FGP_COLORFORMAT = 38,     // colour coding of the frames, CM_* (read only)
    // Setting either with any value is a software trigger: the camera (fast
    // trigger) or every capturing camera with its trigger on (bus trigger)
    // fills its oldest empty queued buffer at once.
    FGP_DO_FASTTRIGGER = 40,
    FGP_DO_BUSTRIGGER = 41,
    FGP_DORESET = 47, // setting with any value: features and trigger back to their defaults
};

// Special feature values.
enum : uint32_t {
    PVAL_OFF = 0xFFFFFFFF,
    PVAL_AUTO = 0xFFFFFFFE,
    PVAL_ONEPUSH = 0xFFFFFFFD,
};

// Colour codings of the frames (FGP_COLORFORMAT, FireGrab colour numbers).
enum FGCOLORCODING : uint32_t {
    CM_Y8 = 0,
    CM_YUV411 = 1, // U Y Y V Y Y for four pixels
    CM_YUV422 = 2, // U Y V Y for two pixels
    CM_YUV444 = 3, // U Y V
    CM_RGB8 = 4,   // R G B
    CM_Y16 = 5,    // two bytes, high byte first
    CM_RGB16 = 6,
    CM_RAW16 = 10,
};

// FireGrab resolution numbers, from 0 in the order of the sizes.
enum FGRESOLUTION : uint32_t {
    FGRES_160x120,
    FGRES_320x240,
    FGRES_640x480,
    FGRES_800x600,
    FGRES_1024x768,
    FGRES_1280x960,
    FGRES_1600x1200,
};
static_assert(FGRES_1600x1200 == 6);

// Result codes.
enum FGRESULT : uint32_t {
    FCE_NOERROR = 0,
    FCE_NOTINITIALIZED = 1, // the module is not initialised
    FCE_NOTCONNECTED = 2,   // the camera object is not connected
    FCE_BADPARAMETER = 3,   // unknown parameter, or a value outside its range or grid
    FCE_NOTAVAILABLE = 4,   // the camera does not offer it (format, feature, register)
    FCE_TIMEOUT = 5,        // no frame within the time-out
    FCE_BUSY = 6,           // the camera is in use, or capture is open for a transfer setting
    FCE_NOBUFFER = 7,       // no free frame buffer to queue
    FCE_DISCARDED = 8,      // DiscardFrames ended the wait
    FCE_WRONGSTATE = 9,     // capture not open, or already open
    FCE_NOTFOUND = 10,      // no camera with that GUID on the bus
};

extern "C" {

// Initialises the module; `reserved` must be null. Each success needs one
// FGExitModule.
FGCAMERA_API uint32_t FGInitModule(const void* reserved);

// Ends one FGInitModule; the last one disconnects every camera.
FGCAMERA_API uint32_t FGExitModule();

// Copies up to `capacity` cameras of the bus into `nodes` and their number
// into `count`.
FGCAMERA_API uint32_t FGGetNodeList(FGNODEINFO* nodes, uint32_t capacity, uint32_t* count);

} // extern "C"

// One camera. Connect binds the object to the camera with a GUID; the camera
// then belongs to it until Disconnect or deletion.
class FGCAMERA_API CFGCamera {
public:
    CFGCamera();
    CFGCamera(const CFGCamera&) = delete;
    CFGCamera& operator=(const CFGCamera&) = delete;
    // Disconnects a connected camera.
    virtual ~CFGCamera();

    // The library's record of the connected camera (opaque); null when not connected.
    virtual void* GetPtrDCam();
    // IIDC registers of the camera by address.
    virtual uint32_t WriteRegister(uint32_t address, uint32_t value);
    virtual uint32_t ReadRegister(uint32_t address, uint32_t* value);
    // `context` is kept for GetContext.
    virtual uint32_t Connect(const UINT32HL* guid, void* context);
    // Closes capture and frees the camera.
    virtual uint32_t Disconnect();
    virtual uint32_t SetParameter(uint16_t id, uint32_t value);
    virtual uint32_t GetParameter(uint16_t id, uint32_t* value);
    virtual uint32_t GetParameterInfo(uint16_t id, FGPINFO* info);
    // Makes FGP_FRAMEBUFFERCOUNT free buffers of a frame each; the transfer
    // settings (image format, window, packet size, burst and buffer count) are
    // refused with FCE_BUSY until CloseCapture.
    virtual uint32_t OpenCapture();
    // Stops the camera and frees every buffer, also those GetFrame gave out.
    virtual uint32_t CloseCapture();
    // Starts the frames at the format's rate; on a started camera whose
    // trigger is on, a software trigger.
    virtual uint32_t StartDevice();
    virtual uint32_t StopDevice();
    // Takes the oldest queued buffer once it is filled, waiting up to
    // `timeout_ms` (FCE_TIMEOUT). With `frame` null it only tells whether that
    // buffer is filled, without taking it. DiscardFrames during the wait ends
    // it with FCE_DISCARDED.
    virtual uint32_t GetFrame(FGFRAME* frame, uint32_t timeout_ms);
    // With `frame` null queues a free buffer to be filled (FCE_NOBUFFER when
    // none is free); otherwise gives the buffer GetFrame delivered back to the
    // free ones.
    virtual uint32_t PutFrame(const FGFRAME* frame);
    // Empties the queue, filled or not, and ends a waiting GetFrame.
    virtual uint32_t DiscardFrames();
    // The model into `model`, the vendor into `vendor`, each cut to `length`
    // bytes with its terminator.
    virtual uint32_t GetDeviceName(char* model, uint32_t length, char* vendor);
    // The context given to Connect.
    virtual void* GetContext();

private:
    int camera_ = -1;         // index on the bus while connected
    uint64_t generation_ = 0; // the bus configuration it was connected in
    void* context_ = nullptr;

    friend struct FGCameraLink;
};

// Time on the bus: the clock frames are stamped with, and a moment on it as a
// FILETIME (UTC). Whoever compares a frame's time with now takes now from here.
FGCAMERA_API ondula::Clock& FGClock();
FGCAMERA_API FILETIME FGFileTime(ondula::Clock::Duration moment);
