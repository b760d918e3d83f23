#pragma once
// The plug-in's record of one open DirectShow frame grabber. Interface
// pointers are counted references the record owns.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <clock/clock.h>
#include <dshow/controls.h>
#include <dshow/filters.h>
#include <dshow/platform.h>
#include <fgint/instance_record.h>

namespace directshow {

// The file name of every allocation through the host, as its diagnostics show it.
inline constexpr char kSourceFile[] = "CIODirectShow.cpp";

class VerodynRenderer;

struct CIODirectShow {
    char device_name[256] = "";
    int32_t device_index = 0;
    dshow::ComPtr<dshow::IBaseFilter> target_filter; // non-null exactly while the record is open
    dshow::ComPtr<dshow::IPin> target_pin;
    dshow::ComPtr<dshow::IMemAllocator> allocator;
    VerodynRenderer* renderer = nullptr; // kept alive by target_filter
    dshow::ComPtr<dshow::IGraphBuilder> graph;
    uint32_t rot_cookie = 0; // 0: not registered
    dshow::ComPtr<dshow::IMediaControl> media_control;
    dshow::ComPtr<dshow::ICaptureGraphBuilder2> capture_builder;
    dshow::ComPtr<dshow::IBaseFilter> source_filter;
    dshow::ComPtr<dshow::IPin> source_pin;
    dshow::ComPtr<dshow::IAMAnalogVideoDecoder> decoder;
    int32_t video_standard = 0;
    dshow::ComPtr<dshow::IAMVideoProcAmp> chip_control;
    dshow::ComPtr<dshow::IAMCameraControl> cam_control;
    dshow::ComPtr<dshow::IAMVideoControl> video_control;
    dshow::ComPtr<dshow::IAMCrossbar> crossbar;
    int32_t* connector_list = nullptr; // host memory
    int32_t connector_count = 0;
    uint8_t use_device_format = 0;
    // The open asked for the device's format ("default" or a four-character
    // code): connecting clears use_device_format once the type is adopted,
    // and the renderer may then sit behind a converter the graph inserted.
    bool device_format_requested = false;
    dshow::AM_MEDIA_TYPE wanted_type{}; // its format block is wanted_format
    dshow::VIDEOINFOHEADER wanted_format{};
    uint8_t bottom_up = 0;
    std::unique_ptr<std::mutex> lock; // made at open
    dshow::GUID custom_subtype{};
    dshow::MediaType custom_type;
    uint8_t custom_format = 0;
    std::unique_ptr<dshow::Event> frame_event; // auto-reset, set by the renderer per sample
    int32_t frame_status = 1;
    int32_t slot = 0;
    int32_t max_delay = 0;
    int32_t grab_timeout = 5000;
    int32_t write_index = 0;
    int32_t frame_ready = 0;
    ondula::Clock::Duration async_start{};
    uint8_t* frame_buffers[2] = {nullptr, nullptr}; // host memory
    uint32_t frame_size = 0;
    uint32_t buffer_capacity = 0;
    int32_t colour_mode = 0; // 0 "gray", 2 "rgb"
    // The texts of the last FGGetParam answer, which the host reads after the call.
    std::vector<std::string> answer_texts;
};

inline constexpr int kRecordCount = 16;

// The record bound to the host's instance at allocation.
inline constexpr auto& Record = fg::Record<CIODirectShow>;

} // namespace directshow
