// The simulated bus behind the camera library: which cameras it holds, the
// clock it runs on, the faults tests inject and the counters they read.
//
// Without a configuration the bus takes its cameras from the environment
// variable ONDULA_FGCAMERA when the module is first initialised: a list of
// "mono" and "colour" separated by ',' (camera i at card 0, node i; an empty
// value: no camera; empty entries are skipped, and another word is reported on
// the standard error and left out). Unset, the bus holds MonoCamera(0) and
// ColourCamera(1).
//
// Frames. A started camera ends a frame every 1 / rate seconds of the bus
// clock after StartDevice (format 7: one packet each 125 us, ceil(bytes a
// frame / packet size) packets a frame). The oldest empty queued buffer takes
// the first frame that ends after it was queued and after the buffer before it
// was filled; the frame's time is that end. With the trigger on, frames come
// only from software triggers, at the moment of the trigger. Pixel (x, y) of
// the frame numbered f (FGFRAME::Id), with shutter value s (the shutter's
// current value, 0 without one) on the camera of index c on the bus, holds,
// with b = x + 3 y + 7 f + s + 50 c:
//   Y8      Y = b mod 256
//   Y16     (256 b + x) mod 65536, high byte first
//   YUV     Y = b mod 256; the pixel's group (4, 2 or 1 pixels from column g,
//           g a multiple of the group size) holds
//           U = (g + 2 y + f + 64) mod 256 and V = (g + y + 2 f + 192) mod 256
//   RGB8    R = b mod 256, G = (b + 85) mod 256, B = (b + 170) mod 256
// in the byte order of fgcamera.h's colour codings. Each Y, R, G and B sample
// is then multiplied by s / 500 (500 without a shutter) and by g / 100, g the
// gain's current value (100 without one), truncated and clipped to 255
// (65535 for Y16).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <fgcamera/fgcamera.h>

namespace fgsim {

// A camera feature: its parameter number, range, value at power-up and
// capabilities (FGPF_*).
struct FeatureConfig {
    uint16_t id;
    uint32_t min;
    uint32_t max;
    uint32_t value;
    uint32_t flags;
};

// The format 7 window of a camera: its largest size, the unit of sizes and
// positions, the colour coding and the packet sizes allowed.
struct Format7Config {
    uint32_t max_width = 0;
    uint32_t max_height = 0;
    uint32_t unit_x = 1;
    uint32_t unit_y = 1;
    uint32_t coding = CM_Y8;
    uint32_t packet_min = 4;
    uint32_t packet_max = 4096;
    uint32_t packet_unit = 4;
};

struct RegisterConfig {
    uint32_t address;
    uint32_t value;
};

struct CameraConfig {
    UINT32HL guid{};
    uint8_t card = 0;
    uint8_t node = 0;
    std::string vendor;
    std::string model;
    // DCAM codes with bit 31 (0x80FFMMRR: format, mode, rate) in the order the
    // camera offers them; format 7 mode m is 0x8007mm00 and uses `format7`.
    // The first is the format at power-up.
    std::vector<uint32_t> formats;
    Format7Config format7;
    std::vector<FeatureConfig> features;
    uint32_t trigger_caps = 0;  // FGPINFO word 5 of the trigger, without FGPT_ISON
    uint32_t trigger_modes = 0; // FGPINFO word 6 of the trigger, without the parameter
    std::vector<RegisterConfig> registers;
};

// A monochrome camera: 0:5:4 (640x480 Y8, the first), 0:5:2, 3 and 5,
// 0:6:2-4 (Y16), 1:2:2-4 (800x600 Y8), 1:5:2-4 (1024x768 Y8), format 7 Y8 up to
// 1280x1024 in steps of 8 x 2 with packets of 4 to 4096 bytes; shutter 1..4095 at 500 with auto and
// one-push, gain with off and auto, brightness, sharpness, gamma, trigger delay; a trigger (on/off,
// polarity, sources 0 and 7, modes 0, 1 and 15); three registers.
// `index` numbers the GUID, card 0 and node `index`.
FGCAMERA_API CameraConfig MonoCamera(int index);
// A colour camera: 0:3:4 (640x480 YUV422, the first), 0:3:2 and 3,
// 0:0:3-4 (160x120 YUV444), 0:1:2-4 (320x240 YUV422), 0:2:3-4 (YUV411),
// 0:4:3-4 (RGB8), format 7 YUV422 up to 1280x1024; the features and trigger
// of the mono camera, plus white balance and saturation.
FGCAMERA_API CameraConfig ColourCamera(int index);

// A new bus with these cameras: every connection and capture of the old one
// ends, the module is not initialised (a plug-in already initialised on the
// old bus must initialise again), faults and counters start afresh.
FGCAMERA_API void Configure(const std::vector<CameraConfig>& cameras);
// Back to no configuration: the environment decides at the next FGInitModule.
FGCAMERA_API void ConfigureFromEnvironment();

// The bus runs on `clock` (not owned: it must outlive its use), `clock` time
// 0 being FILETIME `filetime_at_zero`. By default it runs on the steady clock,
// stamped in real UTC.
FGCAMERA_API void UseClock(ondula::Clock& clock, uint64_t filetime_at_zero);
FGCAMERA_API void UseSteadyClock();

// Calls that tests can make fail.
enum class Call {
    InitModule,
    GetNodeList,
    Connect,
    Disconnect,
    SetParameter,
    GetParameter,
    GetParameterInfo,
    OpenCapture,
    CloseCapture,
    StartDevice,
    StopDevice,
    GetFrame,
    PutFrame,
    DiscardFrames,
    WriteRegister,
    ReadRegister,
    GetDeviceName,
};

// The `nth` call of `call` from now on (1: the next), on any camera, does
// nothing and returns `code`.
FGCAMERA_API void FailCall(Call call, int nth, uint32_t code);
// Whether the camera of index `camera` fills buffers at all (true at first).
FGCAMERA_API void SetDelivering(int camera, bool delivering);
// From now on GetParameter(`id`) on camera `camera` answers `value`, as a
// camera that misreports; its GetParameterInfo's current value too.
FGCAMERA_API void ReportParameter(int camera, uint16_t id, uint32_t value);

struct Counters {
    int module_users; // FGInitModule successes not yet ended
    int connected;    // cameras connected
    int capturing;    // cameras with capture open
    int buffers;      // frame buffers made by OpenCapture and not freed
    int queued;       // buffers queued, filled or not
    int connects;     // Connect successes since the configuration
    int captures;     // OpenCapture successes since the configuration
};
FGCAMERA_API Counters Count();
// The values written to FGP_IMAGEFORMAT on camera `camera` since the configuration.
FGCAMERA_API std::vector<uint32_t> FormatRequests(int camera);

} // namespace fgsim
