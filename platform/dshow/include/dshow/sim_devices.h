#pragma once
// The simulated capture devices that the system device enumerator lists, and
// the knobs tests turn on them. The catalogue is one per process.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <dshow/controls.h>
#include <dshow/export.h>
#include <dshow/guid.h>
#include <dshow/media_type.h>

namespace dshow::sim {

// One stream format of a device's capture pin.
struct StreamFormat {
    GUID subtype;
    int32_t width;
    int32_t height;
    int32_t standard = 0;            // AnalogVideoStandard of the format, 0: none
    int64_t frame_interval = 333333; // 100 ns units
};

// One amplifier or camera-control property: its range, capability flags,
// value and current flags.
struct Property {
    int32_t min = 0;
    int32_t max = 255;
    int32_t step = 1;
    int32_t default_value = 128;
    int32_t caps = Property_Flags_Auto | Property_Flags_Manual;
    int32_t value = 128;
    int32_t flags = Property_Flags_Manual;
};

enum class PropertyBag { Present, Absent, Failing };

// The TV tuner of a capture card and the channel it is tuned to.
struct TvTuner {
    int32_t min_channel = 1;
    int32_t max_channel = 69;
    int32_t channel = 4;
};

struct DeviceConfig {
    std::wstring name;
    std::vector<StreamFormat> formats;
    int32_t video_control_caps = -1;      // IAMVideoControl capability bits; -1: none
    int32_t tv_formats = 0;               // decoder: standards it can take; 0: no decoder
    int32_t tv_format = 0;                // decoder: the standard in use
    std::vector<int32_t> crossbar_inputs; // physical types; empty: no crossbar
    bool smart_tee = false;               // the capture pin is rendered through a Smart Tee
    bool preview_pin = false;             // a preview pin beside the capture pin
    bool pump = false;                    // no streaming thread: frames come from Pump()

    // The crossbar's outputs (physical types; its pins are numbered inputs
    // first, then outputs), and a second crossbar upstream of it, whose one
    // output feeds the first crossbar's input `second_crossbar_feeds`.
    std::vector<int32_t> crossbar_outputs = {PhysConn_Video_VideoDecoder,
                                             PhysConn_Audio_AudioDecoder};
    std::vector<int32_t> second_crossbar_inputs; // empty: none
    int32_t second_crossbar_feeds = 0;
    // The tuner feeds the first "video tuner" input of the second crossbar,
    // else of the first.
    std::optional<TvTuner> tuner;
    // The input routed to each output of the first and of the second crossbar
    // (-1: none), which the card keeps; empty: each output starts with the
    // first input of its kind (video or audio).
    std::vector<int32_t> crossbar_routes;
    std::vector<int32_t> second_crossbar_routes;
    // IAMVideoProcAmp and IAMCameraControl properties by number; empty: the
    // device has no such interface. Exposure (camera 4) and gain (amplifier 9)
    // scale the picture, 128 as is; brightness (amplifier 0) then lightens it.
    std::map<int32_t, Property> amplifier;
    std::map<int32_t, Property> camera_control;
    // The Video for Windows dialogs the driver has (VfwCaptureDialog_Source,
    // _Format); 0: no IAMVfwCaptureDialogs.
    int32_t vfw_dialogs = 0;

    // Knobs.
    PropertyBag property_bag = PropertyBag::Present;
    bool bind_fails = false;         // BindToObject fails
    uint32_t bind_exception = 0;     // BindToObject raises HardwareException{code}
    uint32_t join_exception = 0;     // joining a graph raises HardwareException{code}
    bool silent = false;             // the device delivers no frames
    int32_t sample_extra = 0;        // bytes added to (or, negative, taken from) each sample
    bool run_fails = false;          // Run fails
    bool stop_fails = false;         // Stop fails and the device goes on streaming
    bool state_stuck = false;        // GetState stays in transition
    bool decoder_fails = false;      // the decoder's get/put_TVFormat fail
    bool property_set_fails = false; // amplifier and camera-control Set fail
    bool set_mode_fails = false;     // IAMVideoControl::SetMode fails
    int32_t connect_failures = 0;    // the capture pin refuses its next connections

    // Crossbar knobs.
    bool crossbar_unconnected = false; // found upstream, no output connected to the capture filter
    bool route_fails = false;          // IAMCrossbar::Route fails
    bool routed_to_fails = false;      // IAMCrossbar::get_IsRoutedTo fails
    bool analog_in_uncategorised = false; // the analogue video input has no pin category
};

// Device 0: "Simulated Camera": the nine uncompressed subtypes the plug-in
// converts at 640 x 480, 320 x 240 and 1280 x 1024, then YUY2 and MJPG at
// 640 x 480; video control with all four mode bits; the ten amplifier and
// seven camera-control properties, each 0 to 255, default 128, auto allowed.
DSHOW_API DeviceConfig SimulatedCamera();
// Device 1: "Simulated Capture Card": RGB24 and UYVY at 768 x 576 (PAL_B) or
// 640 x 480 (NTSC_M), whichever the decoder's standard gives; a crossbar with
// tuner, composite, s-video and two audio inputs; no video control. Each
// source shows its own picture: the bars turned by the connector's physical
// type, or by the channel for the tuner; black when nothing is routed.
DSHOW_API DeviceConfig SimulatedCaptureCard();

// The devices listed from now on (filters bound earlier keep theirs).
DSHOW_API void SetDevices(std::vector<DeviceConfig> devices);
// Back to the camera and the capture card.
DSHOW_API void ResetDevices();
// Changes device `index`'s configuration, also for its filters bound now.
DSHOW_API void ConfigureDevice(int index, const std::function<void(DeviceConfig&)>& change);
// The next `count` calls of IEnumMoniker::Next fail (-1: every call).
DSHOW_API void SetNextFailures(int count);

// Delivers the next frame from every running filter of device `index`, on the
// calling thread. Returns how many filters delivered one.
DSHOW_API int Pump(int index);
// A hardware trigger for device `index`: with the external trigger enabled,
// its filters deliver one frame per trigger, and keep a trigger that arrives
// while they are stopped.
DSHOW_API void Trigger(int index);
// How many times a filter of device `index` was stopped.
DSHOW_API int StopCount(int index);
// The number that the next frame of device `index` carries.
DSHOW_API uint32_t NextFrameNumber(int index);
// The format that the capture pin of device `index`'s first bound filter is
// connected with; false when it is not connected.
DSHOW_API bool CaptureFormat(int index, VIDEOINFOHEADER* format);

} // namespace dshow::sim
