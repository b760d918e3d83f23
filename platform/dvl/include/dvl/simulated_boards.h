// The simulated boards behind the board functions (board.h): the catalogue the
// systems are found in, the windows frames are drawn into, and the faults tests
// make the library answer.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "dvl/board.h"

namespace dvl {

// What a digitizer format file gives.
struct DigitizerFormat {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bands = 1;
};

// One board of the catalogue.
struct SimulatedBoard {
    std::string descriptor; // system descriptor, compared without letter case
    int32_t number = 0;     // device number
    int32_t board_type = 0; // answer to DVL_SYS_BOARD_TYPE
    int32_t digitizers = 1; // answer to DVL_SYS_DIGITIZER_COUNT
    std::map<std::string, DigitizerFormat> formats; // by format file, compared without letter case
    int32_t display_mode = DVL_DISP_WINDOWED;       // answer to DVL_DISP_MODE
    std::chrono::milliseconds frame_period{40};
};

// The Talvo board "\\.\D_SYSTEM_TALVO" number 0: one digitizer with the format
// "ccir.dcf" of 768 x 576, one band, 25 frames a second.
SimulatedBoard TalvoBoard();

// Puts `board` into the catalogue in place of the one with its descriptor and number.
void RegisterBoard(const SimulatedBoard& board);
// Back to the catalogue the library starts with (the Talvo board alone).
void ResetBoards();

// How a faulty ordinal answers: Fails makes an allocation answer 0 and any
// other call do nothing (an inquiry answers 0); ZeroIdentifier makes an
// allocation succeed (non-zero answer) while the identifier written is 0.
enum class Fault { None, Fails, ZeroIdentifier };
void SetFault(int ordinal, Fault fault);
void ClearFaults();

// Objects now allocated (application references, systems, digitizers,
// buffers, displays), for tests that check nothing is left behind.
int AllocatedObjects();

// A frame as it is drawn into a window: `bands` planes of width x height bytes.
struct FrameView {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bands = 0;
    const uint8_t* planes[3] = {nullptr, nullptr, nullptr};
};
using WindowSink = std::function<void(const FrameView& frame)>;

// Frames selected into `window` go to `sink`, on the library's grab thread
// (and on the caller's at selection), with the library locked: a sink copies
// what it needs and never calls the library. After UnregisterWindow returns
// the sink is not called again.
void RegisterWindow(DvlWindow window, WindowSink sink);
void UnregisterWindow(DvlWindow window);

} // namespace dvl
