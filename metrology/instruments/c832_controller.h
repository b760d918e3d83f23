// The P.I. C-832 motion card: one LM628/629 chip per axis behind two groups of
// select and window registers (ports 0x210-0x213), driven in millimetres.
// Axes are 1..4; any other axis number means all four, in the order 1, 2, 3, 4.
// Every motion operation does nothing while the axes are not connected, and a
// chip that stays busy past its 3 ms wait disconnects them: the command still
// goes out, but nothing more is read from that chip.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "device_ports.h"
#include "message_sink.h"
#include <clock/clock.h>

namespace instruments {

// Said when a motion has not ended within its time bound (UTF-8).
inline constexpr const char* kMoveNotFinishedText = "Déplacement de l'axe X non terminé !";
// Said when a motion has run the X axis onto its limit switch (UTF-8).
inline constexpr const char* kOverTravelText = "Surcourse axe 1 détectée !";

class CC832Controller {
public:
    // The position read when the axes are not connected or no single axis is named.
    static constexpr float kNoPosition = 1e10f;

    // Connects to the card (the library's device "c832" on Windows NT, saying
    // why through `messages` when it cannot) and tests axes 1 and 3.
    CC832Controller(int countsPerMm, ondula::Clock& clock, const MessageSink& messages);
    CC832Controller(const CC832Controller&) = delete;
    CC832Controller& operator=(const CC832Controller&) = delete;

    // True when the card's ports can be reached.
    bool IsOpen() const { return m_ports.IsOpen(); }
    bool IsConnected() const { return m_bConnected != 0; }

    // Whether the chips of `axis` answer (their busy bit clears within 3 ms);
    // the answer becomes the connection state.
    int TestAxes(int axis);
    void ResetAxis(int axis);
    // Resets the chips and loads the filter (kp 1000, ki 100, kd 1000, il
    // 1000), the acceleration 500 and the current velocity.
    void InitAxes(int axis);
    // The current position becomes 0.
    void DefineHome(int axis);
    // Loads `mmPerMinute` as the velocity; it takes effect at the next start.
    void SetVelocity(int axis, float mmPerMinute);
    // Starts a move to `mm`, or by `mm`; false, with nothing sent, when not
    // connected or when the distance in counts does not fit 32 bits.
    bool MoveAbsolute(int axis, double mm);
    bool MoveRelative(int axis, double mm);
    void StopAbrupt(int axis);
    void MotorOff(int axis);
    void StopSmooth(int axis);
    void ResetInterrupts(int axis);
    bool IsMotionDone(int axis);
    // Millimetres of one axis, or kNoPosition.
    float GetPosition(int axis);
    // The axis whose limit switch is active (all axes: the first of 4, 3, 2, 1), or 0.
    int ReadLimitSwitches(int axis);
    // Stops abruptly and switches off every addressed axis in over-travel;
    // returns the highest such axis, or 0 (also for a card that stops answering).
    int CheckOverTravel(int axis);

    // The longest the motion last started may take: its distance (what is left
    // of it for a move to a position, read from the chip) at the loaded
    // velocity, times 1.5, plus 2 s; 2 s after a stop.
    ondula::Clock::Duration MotionTimeBound(int axis);
    // The first look at a motion's end, after its start, and the looks after it.
    static constexpr ondula::Clock::Duration kFirstPoll = std::chrono::milliseconds(100);
    static constexpr ondula::Clock::Duration kPollInterval = std::chrono::milliseconds(5);
    // One look at the end of the motion whose time bound is `deadline`: true
    // when the axis is on target (or in over-travel with `orOverTravel`),
    // false when the bound has passed or the chips stopped answering, nothing
    // while it moves.
    std::optional<bool> PollMotionEnd(int axis, bool orOverTravel,
                                      const ondula::Deadline& deadline);
    // After 100 ms, polls every 5 ms until the axis is on target or in
    // over-travel (true), or until the motion's time bound has passed or the
    // chips stop answering (false).
    bool WaitMotionEnd(int axis);
    // As WaitMotionEnd, but only on target ends the wait: for moves that start
    // inside over-travel.
    bool WaitOnTarget(int axis);

    // Counts for `mm` on an axis of `countsPerMm`, truncated toward zero;
    // nothing when they do not fit 32 bits or `mm` is not a number.
    static std::optional<int32_t> ToCounts(double mm, int countsPerMm);

private:
    struct Chip {
        uint32_t select; // the group's select register; the window is the next port
        int k;           // 0 or 1 within the group
    };
    // The move each axis was last given, for its time bound.
    struct LoadedMove {
        bool absolute = false;
        int32_t counts = 0;
    };
    static Chip ChipOf(int axis);
    // Calls `f` for `axis`, or for axes 1..4 while it returns true; true when
    // every call did.
    template <typename F> static bool ForAxes(int axis, F&& f);

    void WritePort(uint32_t port, uint8_t value) { m_ports.Write(port, value); }
    uint8_t ReadPort(uint32_t port) { return m_ports.Read(port); }
    int WaitReady(uint32_t select, int subAddress);
    bool Ready(Chip chip);
    void SelectData(Chip chip);
    uint16_t ReadWord(Chip chip);
    void WriteWord(Chip chip, uint16_t word);
    int32_t SendCommand(Chip chip, uint8_t command, uint16_t control = 0, int32_t data = 0);
    void LoadTrajectory(int axis, uint16_t control, int32_t data);
    bool LoadMove(int axis, double mm, bool absolute);
    // Loads a stop or motor-off request and starts it.
    void Halt(int axis, uint16_t control);
    bool WaitUntil(int axis, bool orOverTravel);
    int32_t ReadCounts(int axis);

    DevicePorts m_ports;
    int m_bConnected = 0;
    std::array<int, 4> m_nCounts;
    std::array<float, 4> m_fVelocity;
    std::array<int32_t, 4> m_nVelocityWord;
    std::array<LoadedMove, 4> m_moves{};
    ondula::Clock& m_clock;
};

} // namespace instruments
