#include "c832_controller.h"

#include <algorithm>
#include <cmath>

namespace instruments {
namespace {

using namespace std::chrono_literals;

constexpr uint32_t kCardBase = 0x210;
constexpr uint8_t kSelect = 0x80;
constexpr int kLimitSubAddress = 7;
constexpr auto kReadyTimeout = 3ms;

constexpr uint8_t kReset = 0x00, kStart = 0x01, kDefineHome = 0x02, kUpdateFilter = 0x04,
                  kReadPosition = 0x0A, kReadSignals = 0x0C, kMaskInterrupts = 0x1C,
                  kResetInterrupts = 0x1D, kLoadFilter = 0x1E, kLoadTrajectory = 0x1F;

constexpr uint16_t kFilterKp = 0x0008, kFilterKi = 0x0004, kFilterKd = 0x0002, kFilterIl = 0x0001;
constexpr uint16_t kAcceleration = 0x0020, kVelocity = 0x0008, kAbsolutePosition = 0x0002,
                   kRelativePosition = 0x0003, kStopAbruptly = 0x0200, kMotorOff = 0x0100,
                   kStopSmoothly = 0x0400;
constexpr uint16_t kOnTarget = 0x0400;

// The velocity unit of the dialogs (mm/min) to the chips' factor: / 3.6.
constexpr double kVelocityFactor = 0.2777777777777778;
constexpr float kInitialVelocity = 100.0f;
constexpr int32_t kLoadedAcceleration = 500;

// A velocity word is counts per 65536 samples of 256 us.
constexpr double kWordUnitNs = 65536.0 * 256000.0;
constexpr double kLongestWaitNs = 1e18;
constexpr auto kMotionSlack = 2s;

const char* const kConnectionFailure =
    "Erreur de connexion à Quenlo !\n\nParamètres de connexion:\nDevice: c832\nBus Type: "
    "ISA\nUses port range\nPort Base: 0X210\nPort Count: 0X4\nIgnore ressource conflicts";

bool IsAxis(int axis) { return axis >= 1 && axis <= 4; }

} // namespace

CC832Controller::CC832Controller(int countsPerMm, ondula::Clock& clock, const MessageSink& messages)
    : m_ports("c832", kCardBase, kConnectionFailure, messages), m_clock(clock)
{
    m_nCounts.fill(countsPerMm);
    m_fVelocity.fill(kInitialVelocity);
    m_nVelocityWord.fill(0);
    if (!m_ports.IsDirect() && IsOpen() && TestAxes(1))
        TestAxes(3);
}

std::optional<int32_t> CC832Controller::ToCounts(double mm, int countsPerMm)
{
    const double counts = mm * countsPerMm;
    if (!(counts > -2147483649.0 && counts < 2147483648.0))
        return std::nullopt;
    return static_cast<int32_t>(counts);
}

CC832Controller::Chip CC832Controller::ChipOf(int axis)
{
    return {kCardBase + 2 * uint32_t((axis - 1) / 2), (axis - 1) % 2};
}

template <typename F> bool CC832Controller::ForAxes(int axis, F&& f)
{
    if (IsAxis(axis))
        return f(axis);
    for (int a = 1; a <= 4; ++a)
        if (!f(a))
            return false;
    return true;
}

// ---- port layer ----

int CC832Controller::WaitReady(uint32_t select, int subAddress)
{
    WritePort(select, uint8_t(kSelect + subAddress));
    const auto start = m_clock.Now();
    for (;;) {
        if (!(ReadPort(select + 1) & 1))
            return 1;
        if (m_clock.Now() - start > kReadyTimeout)
            return 0;
    }
}

bool CC832Controller::Ready(Chip chip)
{
    if (WaitReady(chip.select, 2 * chip.k))
        return true;
    m_bConnected = 0;
    return false;
}

void CC832Controller::SelectData(Chip chip)
{
    WritePort(chip.select, uint8_t(kSelect + 2 * chip.k + 1));
}

uint16_t CC832Controller::ReadWord(Chip chip)
{
    const uint8_t high = ReadPort(chip.select + 1);
    return uint16_t(high << 8 | ReadPort(chip.select + 1));
}

void CC832Controller::WriteWord(Chip chip, uint16_t word)
{
    WritePort(chip.select + 1, uint8_t(word >> 8));
    WritePort(chip.select + 1, uint8_t(word));
}

int32_t CC832Controller::SendCommand(Chip chip, uint8_t command, uint16_t control, int32_t data)
{
    // Words go out even to a chip that stayed busy; once one has, nothing more
    // is read from it.
    bool answering = Ready(chip);
    WritePort(chip.select + 1, command);
    auto put = [&](uint16_t word) {
        Ready(chip);
        SelectData(chip);
        WriteWord(chip, word);
    };
    auto get = [&]() -> uint16_t {
        if (!answering || !(answering = Ready(chip)))
            return 0;
        SelectData(chip);
        return ReadWord(chip);
    };
    switch (command) {
    case kReset:
    case kStart:
    case kDefineHome:
    case kUpdateFilter:
        return 0;
    case kReadPosition: {
        const uint16_t high = get();
        const uint16_t low = get();
        return int32_t(uint32_t(high) << 16 | low);
    }
    case kReadSignals:
        return int16_t(get());
    case kLoadFilter:
        put(control);
        put(uint16_t(data));
        return 0;
    case kLoadTrajectory:
        put(control);
        put(uint16_t(uint32_t(data) >> 16));
        put(uint16_t(data));
        return 0;
    default:
        put(uint16_t(data));
        return 0;
    }
}

void CC832Controller::LoadTrajectory(int axis, uint16_t control, int32_t data)
{
    SendCommand(ChipOf(axis), kLoadTrajectory, control, data);
}

// ---- axis operations ----

int CC832Controller::TestAxes(int axis)
{
    m_bConnected = IsOpen() && ForAxes(axis, [&](int a) {
                       const Chip chip = ChipOf(a);
                       return WaitReady(chip.select, 2 * chip.k) == 1;
                   });
    return m_bConnected;
}

void CC832Controller::ResetAxis(int axis)
{
    if (!IsOpen())
        return;
    ForAxes(axis, [&](int a) {
        SendCommand(ChipOf(a), kReset);
        return true;
    });
}

void CC832Controller::InitAxes(int axis)
{
    if (!m_bConnected)
        return;
    ForAxes(axis, [&](int a) {
        const Chip chip = ChipOf(a);
        SendCommand(chip, kReset);
        SendCommand(chip, kResetInterrupts);
        SendCommand(chip, kMaskInterrupts);
        SendCommand(chip, kLoadFilter, kFilterKp, 1000);
        SendCommand(chip, kLoadFilter, kFilterKi, 100);
        SendCommand(chip, kLoadFilter, kFilterKd, 1000);
        SendCommand(chip, kLoadFilter, kFilterIl, 1000);
        SendCommand(chip, kUpdateFilter);
        LoadTrajectory(a, kAcceleration, kLoadedAcceleration);
        if (const auto word = ToCounts(m_fVelocity[a - 1], m_nCounts[a - 1])) {
            LoadTrajectory(a, kVelocity, *word);
            m_nVelocityWord[a - 1] = *word;
        }
        return true;
    });
}

void CC832Controller::DefineHome(int axis)
{
    if (!m_bConnected)
        return;
    ForAxes(axis, [&](int a) {
        SendCommand(ChipOf(a), kDefineHome);
        return true;
    });
}

void CC832Controller::SetVelocity(int axis, float mmPerMinute)
{
    if (!m_bConnected)
        return;
    ForAxes(axis, [&](int a) {
        m_fVelocity[a - 1] = float(mmPerMinute * kVelocityFactor);
        if (const auto word = ToCounts(m_fVelocity[a - 1], m_nCounts[a - 1])) {
            LoadTrajectory(a, kVelocity, *word);
            m_nVelocityWord[a - 1] = *word;
        }
        return true;
    });
}

bool CC832Controller::LoadMove(int axis, double mm, bool absolute)
{
    if (!m_bConnected ||
        !ForAxes(axis, [&](int a) { return ToCounts(mm, m_nCounts[a - 1]).has_value(); }))
        return false;
    ForAxes(axis, [&](int a) {
        const int32_t counts = *ToCounts(mm, m_nCounts[a - 1]);
        LoadTrajectory(a, absolute ? kAbsolutePosition : kRelativePosition, counts);
        SendCommand(ChipOf(a), kStart);
        m_moves[a - 1] = {absolute, counts};
        return true;
    });
    return true;
}

bool CC832Controller::MoveAbsolute(int axis, double mm) { return LoadMove(axis, mm, true); }

bool CC832Controller::MoveRelative(int axis, double mm) { return LoadMove(axis, mm, false); }

void CC832Controller::Halt(int axis, uint16_t control)
{
    if (!m_bConnected)
        return;
    ForAxes(axis, [&](int a) {
        LoadTrajectory(a, control, 0);
        SendCommand(ChipOf(a), kStart);
        m_moves[a - 1] = {};
        return true;
    });
}

void CC832Controller::StopAbrupt(int axis) { Halt(axis, kStopAbruptly); }

void CC832Controller::MotorOff(int axis) { Halt(axis, kMotorOff); }

void CC832Controller::StopSmooth(int axis) { Halt(axis, kStopSmoothly); }

void CC832Controller::ResetInterrupts(int axis)
{
    if (!IsOpen())
        return;
    ForAxes(axis, [&](int a) {
        SendCommand(ChipOf(a), kResetInterrupts);
        SendCommand(ChipOf(a), kMaskInterrupts);
        return true;
    });
}

bool CC832Controller::IsMotionDone(int axis)
{
    if (!m_bConnected)
        return false;
    return ForAxes(axis, [&](int a) {
        const int32_t signals = SendCommand(ChipOf(a), kReadSignals);
        return m_bConnected && (signals & kOnTarget);
    });
}

int32_t CC832Controller::ReadCounts(int axis) { return SendCommand(ChipOf(axis), kReadPosition); }

float CC832Controller::GetPosition(int axis)
{
    if (!m_bConnected || !IsAxis(axis))
        return kNoPosition;
    const int32_t counts = ReadCounts(axis);
    if (!m_bConnected)
        return kNoPosition;
    return float(counts) / float(m_nCounts[axis - 1]);
}

int CC832Controller::ReadLimitSwitches(int axis)
{
    auto readGroup = [&](uint32_t select) {
        WritePort(select, uint8_t(kSelect + kLimitSubAddress));
        return ReadPort(select + 1);
    };
    // The first axis of a group is in over-travel when its bit is set, the
    // second when its bit is clear.
    auto inOverTravel = [](int a, uint8_t inputs) {
        return (a - 1) % 2 == 0 ? (inputs & 1) != 0 : (inputs & 2) == 0;
    };
    if (IsAxis(axis))
        return inOverTravel(axis, readGroup(ChipOf(axis).select)) ? axis : 0;
    const uint8_t groupA = readGroup(ChipOf(1).select);
    const uint8_t groupB = readGroup(ChipOf(3).select);
    for (int a = 4; a >= 1; --a)
        if (inOverTravel(a, a <= 2 ? groupA : groupB))
            return a;
    return 0;
}

int CC832Controller::CheckOverTravel(int axis)
{
    if (!m_bConnected)
        return 0;
    int highest = 0;
    ForAxes(axis, [&](int a) {
        if (ReadLimitSwitches(a) == a) {
            StopAbrupt(a);
            MotorOff(a);
            highest = a;
        }
        return true;
    });
    // A card that stopped answering meanwhile reads as a limit: that is no over-travel.
    return m_bConnected ? highest : 0;
}

// ---- waits ----

ondula::Clock::Duration CC832Controller::MotionTimeBound(int axis)
{
    double longestNs = 0;
    ForAxes(axis, [&](int a) {
        const LoadedMove& move = m_moves[a - 1];
        double distance = std::fabs(double(move.counts));
        if (move.absolute && m_bConnected)
            distance = std::fabs(double(move.counts) - double(ReadCounts(a)));
        const int32_t word = m_nVelocityWord[a - 1];
        if (word > 0)
            longestNs = std::max(longestNs, distance * kWordUnitNs / word);
        return true;
    });
    const auto travel = ondula::Clock::Duration(int64_t(std::min(1.5 * longestNs, kLongestWaitNs)));
    return travel + kMotionSlack;
}

std::optional<bool> CC832Controller::PollMotionEnd(int axis, bool orOverTravel,
                                                   const ondula::Deadline& deadline)
{
    if (IsMotionDone(axis) || (orOverTravel && CheckOverTravel(axis)))
        return true;
    if (!m_bConnected || deadline.Expired())
        return false;
    return std::nullopt;
}

bool CC832Controller::WaitUntil(int axis, bool orOverTravel)
{
    if (!m_bConnected)
        return false;
    const ondula::Deadline deadline(m_clock, MotionTimeBound(axis));
    m_clock.SleepFor(kFirstPoll);
    for (;;) {
        if (const std::optional<bool> ended = PollMotionEnd(axis, orOverTravel, deadline))
            return *ended;
        m_clock.SleepFor(kPollInterval);
    }
}

bool CC832Controller::WaitMotionEnd(int axis) { return WaitUntil(axis, true); }

bool CC832Controller::WaitOnTarget(int axis) { return WaitUntil(axis, false); }

} // namespace instruments
