// The simulated cameras behind the device manager: which cameras it holds, the
// clock it runs on, the faults tests inject and the counters they read.
//
// Without a configuration the manager takes its cameras from the environment
// variable ONDULA_KDCAMERAS when it is first initialised, and again at an
// initialisation after every user has left when the variable changed
// meanwhile (a new manager, as Configure makes): products separated
// by ',' ("kdLyra-A1G,kdLyra-A2C"), camera i with DeviceID i; an empty value:
// no camera; empty entries are skipped, and an unknown product is reported on
// the standard error and left out.
// Unset, it holds DeviceID 0 "kdLyra-A1G" (1280 x 1024, mono 8) and DeviceID 1
// "kdLyra-A2C" (640 x 480, RGB32). Sensors: A1 1280 x 1024, A2 640 x 480,
// B4 2048 x 1536, B5 2592 x 1944; G models deliver mono 8, C models RGB32.
//
// Frames. The image of a request is the setting's "Aoi" (W x H from column X,
// row Y) of the sensor binned by "BinningMode" (16 x vertical factor +
// horizontal factor, each 1, 2 or 4). Pixel (x, y), counted on the binned
// sensor, of frame number f (frames handed over by the device since it was
// opened, from 0) exposed with e = "Expose_us" has
//   b = x + 3 y + 7 f + e / 100   (integer division)
//   mono 8   b mod 256
//   mono 16  (256 b + x) mod 65536
//   colour   R = b mod 256, G = (b + 85) mod 256, B = (b + 170) mod 256
// and the first 8 bytes of the frame's data are its stamp instead: the frame
// number and the number of the setting that made it (its position in the
// settings list, "Base" 0), each a little-endian 32-bit word.
// The samples are these while the exposure times the gain (the setting's
// "Gain_dB" taken as 10^(dB/20), to three decimals) lies from 5000 to 200000 us
// at unit gain; below and above, each is scaled by that product over the
// nearer bound, truncated and clipped to 255 (65535 in mono 16). The alpha
// byte of RGB32 stays 255. The camera's defaults, 20000 us at 0 dB, deliver
// the pattern as is.
#pragma once

#include <string>
#include <vector>

#include <kddevmgr/kddevmgr.h>

namespace kdsim {

struct CameraConfig {
    std::string product; // "kdLyra-A1G" ...
    int32_t device_id = 0;
    std::string serial;
    int32_t width = 0; // sensor
    int32_t height = 0;
    int32_t format = KD_PIXEL_MONO8; // any number: formats outside KdPixelFormat give mono 8 data
    // Planar frames: the byte offset of each plane (R, G, B); empty: one after another.
    std::vector<int32_t> plane_offsets;
};

// The camera of `product` (a kdLyra name), with serial "KDL1000" + `device_id`;
// false for an unknown product.
KDDEVMGR_API bool Camera(const std::string& product, int32_t device_id, CameraConfig* camera);

// A new manager with these cameras: every initialisation, open device and
// handle of the old one ends; faults and counters start afresh.
KDDEVMGR_API void Configure(const std::vector<CameraConfig>& cameras);
// Back to no configuration: the environment decides at the next kdInitialise.
KDDEVMGR_API void ConfigureFromEnvironment();
// Connects one more camera: the device list grows (its change counter moves).
KDDEVMGR_API void AddCamera(const CameraConfig& camera);

// The manager runs on `clock` (not owned: it must outlive its use); by default
// on the steady clock.
KDDEVMGR_API void UseClock(ondula::Clock& clock);
KDDEVMGR_API void UseSteadyClock();

// The `nth` call of operation `ordinal` from now on (1: the next) does
// nothing and returns `code`.
KDDEVMGR_API void FailCall(KdOrdinal ordinal, int nth, int32_t code);
// The next `count` reads into text buffers (kdReadText, the dictionaries)
// answer KD_ERR_INPUT_BUFFER_TOO_SMALL whatever the buffer.
KDDEVMGR_API void AnswerTooSmall(int count);
// The `nth` request queued from now on the camera `device_id` never finishes,
// and holds back those queued after it, until the queue is reset.
KDDEVMGR_API void StallRequest(int32_t device_id, int nth);
// The number of entries of the image request control list of `device_id`
// (1 at first) at its next opens; an open camera loses the entries beyond it at once.
KDDEVMGR_API void SetRequestControls(int32_t device_id, int count);

struct Counters {
    int users; // initialisations not yet closed
    int initialisations;
    int open_devices;
    int queued;         // requests queued, finished or not
    int locked;         // requests handed over and not unlocked
    int buffer_objects; // image-buffer objects not freed
    int components;     // slots of the component arena, in use or free for reuse
};
KDDEVMGR_API Counters Count();
// Calls of operation `ordinal` since the configuration.
KDDEVMGR_API int Calls(KdOrdinal ordinal);
// Names of the settings of the open camera `device_id`, in list order.
KDDEVMGR_API std::vector<std::string> Settings(int32_t device_id);
// The setting the first image request control entry selects ("" when none).
KDDEVMGR_API std::string SelectedSetting(int32_t device_id);
// Requests of the open camera `device_id` ("RequestCount").
KDDEVMGR_API int Requests(int32_t device_id);

} // namespace kdsim
