// The simulated bus: one per process, its cameras' state behind one lock.
#pragma once

#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

#include "formats.h"
#include <fgcamera/simulation.h>

namespace fgcam {

using ondula::Clock;
using Duration = Clock::Duration;

struct Buffer {
    enum class State { Free, Queued, Taken };
    std::vector<uint8_t> data;
    State state = State::Free;
    bool filled = false;
    Duration queued_at{};
    FGFRAME frame{};
};

struct Feature {
    fgsim::FeatureConfig config;
    uint32_t value;
    enum class Mode { Manual, Auto, Off } mode = Mode::Manual;
    Duration one_push_end{};
};

// A stored setting with a range; `transfer` ones are refused while capture is open.
struct Setting {
    uint32_t value;
    uint32_t min;
    uint32_t max;
    bool transfer;
};

struct Camera {
    fgsim::CameraConfig config;
    int index = 0;
    bool connected = false;

    size_t format = 0;              // index into config.formats
    bool firegrab = false;          // FGP_IMAGEFORMAT answers in FireGrab notation
    std::vector<uint32_t> requests; // values written to FGP_IMAGEFORMAT
    size_t enum_next = 0;           // FGP_ENUMIMAGEFORMAT: the next format to answer
    bool enum_firegrab = false;
    uint32_t f7_width = 0, f7_height = 0, f7_x = 0, f7_y = 0, f7_packet = 0;

    std::vector<Feature> features;
    uint32_t trigger = 0;
    std::map<uint16_t, Setting> settings;
    std::map<uint32_t, uint32_t> registers;
    std::map<uint16_t, uint32_t> reported;
    bool delivering = true;

    bool capture_open = false;
    bool started = false;
    Duration start{};     // when StartDevice started the frames
    Duration last_fill{}; // end of the last frame filled since the start
    uint32_t burst_done = 0;
    uint32_t frames = 0; // frames filled since the connection
    std::vector<Buffer> buffers;
    std::deque<size_t> queue;
    uint64_t discards = 0;

    uint32_t Code() const { return config.formats[format]; }
    bool InFormat7() const { return First(Code()) == 7; }
    Geometry Frame() const;
    uint32_t PacketSize() const;
    // Time between two frames; zero when the camera cannot stream.
    Duration Period() const;
    Feature* FindFeature(uint16_t id);
    uint32_t SettingValue(uint16_t id) const { return settings.at(id).value; }
};

struct Bus {
    std::mutex lock;
    bool configured = false;
    uint64_t generation = 1;
    int module_users = 0;
    std::vector<Camera> cameras;
    Clock* clock = nullptr;
    uint64_t filetime_at_zero = 0;
    std::map<fgsim::Call, std::vector<std::pair<int, uint32_t>>> faults; // calls to go, code
    int connects = 0;
    int captures = 0;

    // A fault the next call of `call` must answer, or FCE_NOERROR.
    uint32_t Fault(fgsim::Call call);
    Duration Now() const { return clock->Now(); }
};

// The bus; its lock guards everything in it.
Bus& TheBus();
// `moment` on the bus clock as a FILETIME.
FILETIME FileTimeAt(const Bus& bus, Duration moment);
// Sets `cameras` to a fresh state of `configs`.
void ResetCameras(Bus& bus, const std::vector<fgsim::CameraConfig>& configs);
// The cameras ONDULA_FGCAMERA asks for.
std::vector<fgsim::CameraConfig> CamerasFromEnvironment();

// Parameters (camera_params.cpp), called under the bus lock.
uint32_t SetParameter(Bus& bus, Camera& camera, uint16_t id, uint32_t value);
uint32_t GetParameter(Bus& bus, Camera& camera, uint16_t id, uint32_t* value);
uint32_t GetParameterInfo(Bus& bus, Camera& camera, uint16_t id, FGPINFO* info);
// Features and trigger at their power-up state.
void ResetFeatures(Camera& camera);

// Capture and frames (capture.cpp), called under the bus lock.
uint32_t OpenCapture(Camera& camera);
void CloseCapture(Camera& camera);
void StartDevice(Bus& bus, Camera& camera);
// Fills the queued buffers whose frames have ended by now.
void Fill(Bus& bus, Camera& camera);
// When the oldest empty queued buffer will be filled; none when it will not.
std::optional<Duration> NextFill(const Camera& camera);
// A software trigger: the oldest empty queued buffer is filled now.
void Trigger(Bus& bus, Camera& camera);
void Discard(Camera& camera);

// Writes the frame numbered `number` of `camera` into `data` (frame_pattern.cpp).
void Paint(const Camera& camera, uint32_t number, uint8_t* data);

} // namespace fgcam
