// The simulated boards behind the board functions (board.h): the catalogue the
// systems are found in, the windows frames are drawn into, and the faults tests
// make the library answer.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <dvl/board.h>
#include <dvl/export.h>

namespace dvl {

// What a digitizer format file gives.
struct DigitizerFormat {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bands = 1;
    int32_t bits = 8; // bits a band; pixels of more than 8 come in 16-bit buffers
};

// One board of the catalogue.
struct SimulatedBoard {
    std::string descriptor; // system descriptor, compared without letter case
    int32_t number = 0;     // device number
    int32_t board_type = 0; // answer to DVL_SYS_BOARD_TYPE
    int32_t digitizers = 1; // answer to DVL_SYS_DIGITIZER_COUNT
    std::map<std::string, DigitizerFormat> formats; // by format file, compared without letter case
    int32_t display_mode = DVL_DISP_WINDOWED;       // answer to DVL_DISP_MODE
    // Frame period at 576 lines; formats of 480 lines or fewer take 33/40 of it.
    std::chrono::milliseconds frame_period{40};
    // Initial answers of digitizer inquiry items the format does not give:
    // camera features c with their range ends c + 1 and c + 2.
    std::map<int32_t, int32_t> features;
    // The digitizer module the board's digitizer commands go to ("" none).
    std::string module;
    // 16-bit pixels come with their two bytes swapped.
    bool swaps_bytes = false;
};

// The Talvo board "\\.\D_SYSTEM_TALVO" number 0: one digitizer with the format
// "ccir.dcf" of 768 x 576, one band, 25 frames a second.
DVL_API SimulatedBoard TalvoBoard();

// The Zephon II board "\\.\D_SYSTEM_ZEPHON_II" number 0 of type 24, whose
// digitizer commands go to the module DVLZPH2D: the formats of the eleven
// camera types, "D_CCIR", "D_PAL" and "D_DEFAULT" of 768 x 576 and "D_NTSC"
// and "D_RS170" of 640 x 480, those with "RGB" in their name in three bands.
DVL_API SimulatedBoard ZephonBoard();

// Puts `board` into the catalogue in place of the one with its descriptor and number.
DVL_API void RegisterBoard(const SimulatedBoard& board);
// Back to the catalogue the library starts with (the Talvo and Zephon II
// boards) and to version 7.5.
DVL_API void ResetBoards();

// The version DvlAppInquire answers.
DVL_API void SetVersion(double version);

// The time the library keeps (LibraryClock); back to the steady clock.
DVL_API void UseClock(ondula::Clock& clock);
DVL_API void UseSteadyClock();

// How a faulty ordinal answers: Fails makes an allocation answer 0 and any
// other call do nothing (an inquiry answers 0); ZeroIdentifier makes an
// allocation succeed (non-zero answer) while the identifier written is 0.
enum class Fault { None, Fails, ZeroIdentifier };
DVL_API void SetFault(int ordinal, Fault fault);
// Only the next call of `ordinal` fails, with `text` as its error text.
DVL_API void FailNextCall(int ordinal, const std::string& text);
// Only the next digitizer inquiry (147) of `item` fails, with `text` as its error text.
DVL_API void FailNextInquiry(int32_t item, const std::string& text);
// The next call of `ordinal` (138 or 801) throws DvlHardwareException(code).
DVL_API void ThrowOnNextCall(int ordinal, uint32_t code);
// Forgets every fault above.
DVL_API void ClearFaults();

// The trigger input of the boards fires: grabs waiting for a trigger start.
DVL_API void FireHardwareTrigger();

// What tests see of a digitizer now allocated.
struct DigitizerState {
    std::string name;      // what the board's digitizer module called it
    int32_t channel = 0;   // the channel last selected
    bool grabbing = false; // a single grab is in progress
};
DVL_API std::vector<DigitizerState> Digitizers();

// Objects now allocated (application references, systems, digitizers,
// buffers, displays), for tests that check nothing is left behind.
DVL_API int AllocatedObjects();

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
DVL_API void RegisterWindow(DvlWindow window, WindowSink sink);
DVL_API void UnregisterWindow(DvlWindow window);

} // namespace dvl
