// The plug-in's records: the node table read at FGInit and the instance
// record bound to each FGClass slot.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "extension.h"
#include <fgcamera/fgcamera.h>
#include <fgint/instance_record.h>

namespace iidc {

constexpr int kMaxNodes = 32;

struct NodeTable {
    FGNODEINFO nodes[kMaxNodes]{}; // Busy: an instance of this plug-in is connected
    uint32_t count = 0;
};

// The camera the plug-in makes when no vendor extension makes one.
class IIDCCamera final : public CFGCamera {
public:
    ~IIDCCamera() override;
};

// The image part in output pixels: `width` x `height` pixels taken every
// x_step, y_step frame pixels from (start_column, start_row).
struct ImagePart {
    int32_t width = 0;
    int32_t height = 0;
    int32_t start_column = 0;
    int32_t start_row = 0;
    int32_t x_step = 1;
    int32_t y_step = 1;
};

struct IIDCInstance {
    Extension extension; // declared first: outlives the camera it made
    std::unique_ptr<CFGCamera> camera;
    std::mutex lock; // guards `queued` and the PutFrame/DiscardFrames pairs
    bool in_use = false;
    UINT32HL guid{};
    int node = -1;
    uint32_t format = 0;
    int32_t x_size = 0, y_size = 0;
    int32_t full_width = 0, full_height = 0;
    int32_t x_position = 0, y_position = 0;
    int32_t coding = 0;
    int32_t packet_size = 0;
    uint32_t trigger = 0;
    int32_t queued = 0;
    int32_t buffer_count = 0;
    bool swap_bytes = false;
    bool start_async_after_grab_async = true;
    int32_t color_space = 0; // iidc::ColourSpace
    int32_t channels = 1;
    int32_t bits = 8;
    ImagePart part;
    int32_t grab_timeout = 5000;
    int32_t max_delay = 0;
    uint32_t register_address = 0;
    std::vector<std::string> texts; // the texts of the last FGGetParam answer
};

// The record bound to the host's instance at allocation.
inline constexpr auto& Record = fg::Record<IIDCInstance>;

} // namespace iidc
