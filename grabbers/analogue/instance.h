// The records of the analogue-board plug-in: one per FGClass slot, and one per
// board device in use, shared by the instances that use the board.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "grab_end_event.h"
#include <clock/clock.h>
#include <dvl/board.h>
#include <fgint/fgint.h>
#include <fgint/instance_record.h>

namespace zephon {

inline constexpr std::size_t kDeviceTextSize = 260;
inline constexpr int32_t kDefaultGrabTimeout = 5000; // ms

// Host memory (VXAlloc), built in place.
struct ZephonBoard {
    char device[kDeviceTextSize] = {}; // the device text the board was opened with
    DvlId application = 0;             // non-zero when the board holds an application reference
    DvlId system = 0;
    int32_t board_type = 0;
    int32_t reference_count = 0; // instances using the board
    std::mutex lock;             // guards grab_running of those instances
};

struct ZephonInstance {
    bool handed_out = false;      // bound to a host instance, from allocation to close
    ZephonBoard* board = nullptr; // null while the record is not open
    bool grab_running = false;    // a grab into the current buffer is not yet collected
    int32_t max_delay = 0;        // ms, maximum age of an asynchronous grab
    int32_t buffer_index = 0;     // the grab buffer to grab into next
    ondula::Clock::Duration grab_start{};
    DvlId digitizer = 0;
    std::array<DvlId, 2> grab_buffers{};
    GrabEndEvent grab_end_event;
    std::mutex lock; // guards grab_end_event against the hook
    bool size_raised = false;
    uint8_t* grey_buffer = nullptr; // packed colour frame turned grey (host memory)
    bool start_async_after_grab_async = true;
    int32_t grab_timeout = kDefaultGrabTimeout;
    int32_t trigger_signal = DVL_DEFAULT;
    int32_t trigger_source = DVL_DEFAULT;
    int32_t digitizer_bits = 8;
    int32_t digitizer_bands = 1;
    int32_t channel = DVL_DEFAULT;
    FGInstance* fginst = nullptr;
    std::vector<std::string> answer_texts; // the texts FGGetParam answered last
};

// The record bound to the host's instance at allocation.
inline constexpr auto& Record = fg::Record<ZephonInstance>;

// Sets grab_running of `r` under its board's lock.
inline void SetGrabRunning(ZephonInstance& r, bool running)
{
    std::lock_guard guard(r.board->lock);
    r.grab_running = running;
}

// grab_running of `r`, which another instance's grab may clear meanwhile.
inline bool GrabRunning(const ZephonInstance& r)
{
    std::lock_guard guard(r.board->lock);
    return r.grab_running;
}

// Board types that several instances may share.
inline bool Shareable(int32_t board_type)
{
    return board_type == 24 || board_type == 50 || board_type == 536;
}

inline constexpr int32_t kTypeCameraLink = 50; // own digitizer numbers, features, byte swap
inline constexpr int32_t kTypeRestrictedA = 27;
inline constexpr int32_t kTypeRestrictedB = 539;

} // namespace zephon
