#pragma once
// Interfaces of capture devices: stream formats, video control modes, the
// analogue video decoder, the crossbar, the TV tuner, the amplifier and camera
// controls.
#include <cstdint>
#include <vector>

#include <dshow/media_type.h>
#include <dshow/unknown.h>

namespace dshow {

struct IPin;

struct SIZE {
    int32_t cx, cy;
};

struct VIDEO_STREAM_CONFIG_CAPS {
    GUID guid; // format type
    uint32_t VideoStandard;
    SIZE InputSize;
};

struct IAMStreamConfig : Interface<IUnknown, 0x03000001> {
    virtual HRESULT GetNumberOfCapabilities(int32_t* count, int32_t* size) = 0;
    virtual HRESULT GetStreamCaps(int32_t index, MediaType* type,
                                  VIDEO_STREAM_CONFIG_CAPS* caps) = 0;
    // The format the pin connects with from now on.
    virtual HRESULT SetFormat(const AM_MEDIA_TYPE* type) = 0;
    // The format the pin connects with now: the one set, else that of its
    // last connection, else its first.
    virtual HRESULT GetFormat(MediaType* type) = 0;
};

// Mode and capability bits of IAMVideoControl.
enum : int32_t {
    VideoControlFlag_FlipHorizontal = 1,
    VideoControlFlag_FlipVertical = 2,
    VideoControlFlag_ExternalTriggerEnable = 4,
    VideoControlFlag_Trigger = 8
};

struct IAMVideoControl : Interface<IUnknown, 0x03000002> {
    virtual HRESULT GetCaps(IPin* pin, int32_t* flags) = 0;
    virtual HRESULT SetMode(IPin* pin, int32_t mode) = 0;
    virtual HRESULT GetMode(IPin* pin, int32_t* mode) = 0;
    // The frame periods (100 ns units) that stream capability `index` offers
    // at `dimensions`: `*count` of them in task memory that the caller frees
    // with CoTaskMemFree.
    virtual HRESULT GetFrameRateList(IPin* pin, int32_t index, SIZE dimensions, int32_t* count,
                                     int64_t** periods) = 0;
};

// AnalogVideoStandard codes.
enum : int32_t {
    AnalogVideo_None = 0,
    AnalogVideo_NTSC_M = 0x1,
    AnalogVideo_NTSC_M_J = 0x2,
    AnalogVideo_NTSC_433 = 0x4,
    AnalogVideo_PAL_B = 0x10,
    AnalogVideo_PAL_D = 0x20,
    AnalogVideo_PAL_H = 0x80,
    AnalogVideo_PAL_I = 0x100,
    AnalogVideo_PAL_M = 0x200,
    AnalogVideo_PAL_N = 0x400,
    AnalogVideo_PAL_60 = 0x800,
    AnalogVideo_SECAM_B = 0x1000,
    AnalogVideo_SECAM_D = 0x2000,
    AnalogVideo_SECAM_G = 0x4000,
    AnalogVideo_SECAM_H = 0x8000,
    AnalogVideo_SECAM_K = 0x10000,
    AnalogVideo_SECAM_K1 = 0x20000,
    AnalogVideo_SECAM_L = 0x40000,
    AnalogVideo_SECAM_L1 = 0x80000,
    AnalogVideo_PAL_N_COMBO = 0x100000
};

struct IAMAnalogVideoDecoder : Interface<IUnknown, 0x03000003> {
    virtual HRESULT put_TVFormat(int32_t format) = 0;
    virtual HRESULT get_TVFormat(int32_t* format) = 0;
};

// PhysicalConnectorType codes: video below 0x1000, audio from 0x1000.
enum : int32_t {
    PhysConn_Video_Tuner = 1,
    PhysConn_Video_Composite = 2,
    PhysConn_Video_SVideo = 3,
    PhysConn_Video_RGB = 4,
    PhysConn_Video_VideoDecoder = 12,
    PhysConn_Audio_Tuner = 0x1000,
    PhysConn_Audio_Line = 0x1001,
    PhysConn_Audio_AudioDecoder = 0x1009
};

// Crossbar pins are numbered inputs first, then outputs.
struct IAMCrossbar : Interface<IUnknown, 0x03000004> {
    virtual HRESULT get_PinCounts(int32_t* outputs, int32_t* inputs) = 0;
    virtual HRESULT get_CrossbarPinInfo(bool is_input, int32_t index, int32_t* related,
                                        int32_t* physical_type) = 0;
    // S_OK when `input` can be routed to `output`, else S_FALSE.
    virtual HRESULT CanRoute(int32_t output, int32_t input) = 0;
    virtual HRESULT Route(int32_t output, int32_t input) = 0;
    // The input routed to `output`, -1 for none.
    virtual HRESULT get_IsRoutedTo(int32_t output, int32_t* input) = 0;
};

// The TV tuner of a capture card, which feeds a crossbar's tuner input.
struct IAMTVTuner : Interface<IUnknown, 0x03000007> {
    virtual HRESULT ChannelMinMax(int32_t* min, int32_t* max) = 0;
    // Sub-channels: -1, the default (the simulated tuner has none).
    virtual HRESULT put_Channel(int32_t channel, int32_t video_subchannel,
                                int32_t audio_subchannel) = 0;
    virtual HRESULT get_Channel(int32_t* channel, int32_t* video_subchannel,
                                int32_t* audio_subchannel) = 0;
};

// Flags of the amplifier and camera properties.
enum : int32_t { Property_Flags_Auto = 1, Property_Flags_Manual = 2 };
// Numbers of the amplifier and camera properties that change the picture.
enum : int32_t { VideoProcAmp_Brightness = 0, VideoProcAmp_Gain = 9 };
enum : int32_t { CameraControl_Exposure = 4 };

// The amplifier and the camera controls answer alike: properties by number,
// each with its range, value and flags.
template <uint32_t IidNumber> struct IAMPropertyControl : Interface<IUnknown, IidNumber> {
    virtual HRESULT GetRange(int32_t property, int32_t* min, int32_t* max, int32_t* step,
                             int32_t* default_value, int32_t* caps_flags) = 0;
    virtual HRESULT Set(int32_t property, int32_t value, int32_t flags) = 0;
    virtual HRESULT Get(int32_t property, int32_t* value, int32_t* flags) = 0;
};

using IAMVideoProcAmp = IAMPropertyControl<0x03000005>;
using IAMCameraControl = IAMPropertyControl<0x03000006>;

} // namespace dshow
