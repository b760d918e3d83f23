#include <qdriver/c832_card.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace qdriver {
namespace {

constexpr int kAxes = 4;
constexpr size_t kTraceLimit = 65536;
constexpr size_t kCommandLimit = 4096;

constexpr uint8_t kReset = 0x00, kStart = 0x01, kDefineHome = 0x02, kUpdateFilter = 0x04,
                  kReadPosition = 0x0A, kReadSignals = 0x0C, kMaskInterrupts = 0x1C,
                  kResetInterrupts = 0x1D, kLoadFilter = 0x1E, kLoadTrajectory = 0x1F;

// Trajectory control bits: items that follow, and the stop and motor-off requests.
constexpr uint16_t kLoadAcceleration = 0x0020, kLoadVelocity = 0x0008, kLoadPosition = 0x0002,
                   kPositionRelative = 0x0001, kMotorOff = 0x0100, kStopAbrupt = 0x0200,
                   kStopSmooth = 0x0400;
// Signals register: on target (trajectory complete with the motor on), motor off.
constexpr uint16_t kSignalOnTarget = 0x0400, kSignalMotorOff = 0x0100;

constexpr uint8_t kLimitSubAddress = 7;
constexpr uint8_t kFloating = 0xFF;

// One sample of the chip's trajectory generator.
constexpr double kSampleNs = 256000.0;

} // namespace

struct C832Card::Chip {
    // Status and fault injection.
    int busyReads = 0;
    int busyLeft = 0;
    bool stuck = false;
    bool stalled = false;

    // Command decoder.
    bool haveCommand = false;
    uint8_t command = 0;
    int wordsLeft = 0;
    std::vector<uint16_t> words;
    bool highPending = false;
    uint8_t highByte = 0;
    std::deque<uint8_t> reply;

    // Trajectory registers, loaded by LTRJ and applied by STT.
    int32_t velocity = 0;
    int32_t position = 0;
    bool positionLoaded = false;
    bool positionRelative = false;
    uint16_t stops = 0;

    // The axis: physical counts; a motion runs from `from` to `target`.
    double rest = 0;
    double from = 0;
    double target = 0;
    ondula::Clock::Duration started{};
    double countsPerNs = 0;
    bool moving = false;
    bool motorOff = false;
    double home = 0;
    int32_t low = std::numeric_limits<int32_t>::min();
    int32_t high = std::numeric_limits<int32_t>::max();

    double PositionAt(ondula::Clock::Duration now) const
    {
        if (!moving)
            return rest;
        const double distance = target - from;
        const double travelled = stalled ? 0.0 : countsPerNs * double((now - started).count());
        if (travelled >= std::fabs(distance))
            return target;
        return from + std::copysign(travelled, distance);
    }
    void Settle(ondula::Clock::Duration now)
    {
        rest = PositionAt(now);
        moving = moving && rest != target;
    }
    bool OutOfTravel(ondula::Clock::Duration now) const
    {
        const double p = PositionAt(now);
        return p < low || p > high;
    }
};

C832Card::C832Card(ondula::Clock& clock, ondula::VirtualClock* accessTicks)
    : clock_(clock), accessTicks_(accessTicks), chips_(kAxes)
{
}

C832Card::~C832Card() = default;

C832Card::Chip& C832Card::ChipOf(int axis) { return chips_.at(axis - 1); }
const C832Card::Chip& C832Card::ChipOf(int axis) const { return chips_.at(axis - 1); }

uint32_t C832Card::In(uint32_t offset, uint32_t width)
{
    std::lock_guard lock(mutex_);
    uint32_t value = 0;
    for (uint32_t i = 0; i < width; ++i) {
        if (accessTicks_)
            accessTicks_->Advance(std::chrono::microseconds(1));
        const uint32_t port = offset + i;
        uint8_t byte = kFloating;
        if (!absent_ && port < 4) {
            const int group = int(port / 2);
            byte = port % 2 ? ReadWindow(group) : select_[group];
            Record({false, port, 1, byte});
        }
        value |= uint32_t(byte) << (8 * i);
    }
    return value;
}

void C832Card::Out(uint32_t offset, uint32_t width, uint32_t value)
{
    std::lock_guard lock(mutex_);
    for (uint32_t i = 0; i < width; ++i) {
        if (accessTicks_)
            accessTicks_->Advance(std::chrono::microseconds(1));
        const uint32_t port = offset + i;
        const auto byte = static_cast<uint8_t>(value >> (8 * i));
        if (absent_ || port >= 4)
            continue;
        Record({true, port, 1, byte});
        const int group = int(port / 2);
        if (port % 2)
            WriteWindow(group, byte);
        else
            select_[group] = byte;
    }
}

uint8_t C832Card::ReadWindow(int group)
{
    const int sub = select_[group] & 7;
    if (sub == kLimitSubAddress)
        return LimitByte(group);
    if (sub > 3)
        return kFloating;
    Chip& chip = chips_[2 * group + sub / 2];
    if (sub % 2 == 0) {
        if (chip.stuck)
            return 1;
        if (chip.busyLeft > 0) {
            --chip.busyLeft;
            return 1;
        }
        return 0;
    }
    if (chip.reply.empty())
        return 0;
    const uint8_t byte = chip.reply.front();
    chip.reply.pop_front();
    if (chip.reply.size() % 2 == 0)
        chip.busyLeft = chip.busyReads;
    return byte;
}

uint8_t C832Card::LimitByte(int group) const
{
    const auto now = clock_.Now();
    const bool first = chips_[2 * group].OutOfTravel(now);
    const bool second = chips_[2 * group + 1].OutOfTravel(now);
    return uint8_t((first ? 1 : 0) | (second ? 0 : 2));
}

void C832Card::WriteWindow(int group, uint8_t value)
{
    const int sub = select_[group] & 7;
    if (sub > 3)
        return;
    const int axis = 2 * group + sub / 2 + 1;
    Chip& chip = chips_[axis - 1];
    const auto now = clock_.Now();
    chip.Settle(now);
    auto finish = [&] {
        commands_.push_back({axis, chip.command, chip.words});
        if (commands_.size() > kCommandLimit)
            commands_.pop_front();
    };
    auto put32 = [&](int32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            chip.reply.push_back(uint8_t(uint32_t(v) >> shift));
    };

    if (sub % 2 == 0) {
        chip.haveCommand = true;
        chip.command = value;
        chip.words.clear();
        chip.highPending = false;
        chip.reply.clear();
        chip.busyLeft = chip.busyReads;
        chip.wordsLeft = 0;
        switch (value) {
        case kReset:
            chip.moving = false;
            chip.home = chip.rest;
            chip.target = chip.rest;
            chip.velocity = 0;
            chip.positionLoaded = false;
            chip.stops = 0;
            chip.motorOff = false;
            break;
        case kStart:
            if (chip.stops) {
                chip.moving = false;
                chip.target = chip.rest;
                chip.motorOff = chip.motorOff || (chip.stops & kMotorOff);
            } else {
                if (chip.positionLoaded)
                    chip.target = chip.position + (chip.positionRelative ? chip.rest : chip.home);
                chip.from = chip.rest;
                chip.started = now;
                chip.countsPerNs = std::fabs(chip.velocity / 65536.0) / kSampleNs;
                chip.moving = chip.target != chip.rest;
                chip.motorOff = false;
            }
            chip.stops = 0;
            chip.positionLoaded = false;
            break;
        case kDefineHome:
            chip.home = chip.rest;
            break;
        case kReadPosition:
            put32(int32_t(int64_t(chip.rest - chip.home)));
            break;
        case kReadSignals: {
            const bool onTarget = !chip.moving && !chip.motorOff;
            const uint16_t signals =
                (onTarget ? kSignalOnTarget : 0) | (chip.motorOff ? kSignalMotorOff : 0);
            chip.reply = {uint8_t(signals >> 8), uint8_t(signals)};
            break;
        }
        case kMaskInterrupts:
        case kResetInterrupts:
            chip.wordsLeft = 1;
            break;
        case kLoadFilter:
        case kLoadTrajectory:
            chip.wordsLeft = 1; // the control word; what follows depends on it
            break;
        case kUpdateFilter: // the loaded filter is the one the model always uses
        default:
            break;
        }
        if (chip.wordsLeft == 0)
            finish();
        return;
    }

    if (!chip.highPending) {
        chip.highByte = value;
        chip.highPending = true;
        return;
    }
    chip.highPending = false;
    const uint16_t word = uint16_t(chip.highByte << 8 | value);
    if (!chip.haveCommand || chip.wordsLeft == 0) {
        ++decoderErrors_;
        return;
    }
    chip.busyLeft = chip.busyReads;
    chip.words.push_back(word);
    if (chip.words.size() == 1 && chip.command == kLoadFilter) {
        chip.wordsLeft = 1 + std::popcount(unsigned(word & 0x000F));
    } else if (chip.words.size() == 1 && chip.command == kLoadTrajectory) {
        const int items =
            std::popcount(unsigned(word & (kLoadAcceleration | kLoadVelocity | kLoadPosition)));
        // A stop or motor-off request takes no item, yet a 32-bit 0 is accepted after it.
        chip.wordsLeft = 1 + 2 * std::max(items, 1);
    }
    if (--chip.wordsLeft > 0)
        return;

    if (chip.command == kLoadTrajectory) {
        const uint16_t control = chip.words[0];
        size_t next = 1;
        auto item = [&] {
            const int32_t v = int32_t(uint32_t(chip.words[next]) << 16 | chip.words[next + 1]);
            next += 2;
            return v;
        };
        if (control & kLoadAcceleration)
            item();
        if (control & kLoadVelocity)
            chip.velocity = item();
        if (control & kLoadPosition) {
            chip.position = item();
            chip.positionLoaded = true;
            chip.positionRelative = control & kPositionRelative;
        }
        chip.stops = control & (kMotorOff | kStopAbrupt | kStopSmooth);
    }
    finish();
}

void C832Card::Record(PortAccess access)
{
    trace_.push_back(access);
    if (trace_.size() > kTraceLimit)
        trace_.pop_front();
}

void C832Card::SetAbsent(bool absent)
{
    std::lock_guard lock(mutex_);
    absent_ = absent;
}

void C832Card::SetBusyReads(int axis, int reads)
{
    std::lock_guard lock(mutex_);
    ChipOf(axis).busyReads = reads;
}

void C832Card::SetStuckBusy(int axis, bool stuck)
{
    std::lock_guard lock(mutex_);
    ChipOf(axis).stuck = stuck;
}

void C832Card::SetStalled(int axis, bool stalled)
{
    std::lock_guard lock(mutex_);
    Chip& chip = ChipOf(axis);
    chip.Settle(clock_.Now());
    chip.from = chip.rest;
    chip.started = clock_.Now();
    chip.stalled = stalled;
}

void C832Card::SetPosition(int axis, int32_t counts)
{
    std::lock_guard lock(mutex_);
    Chip& chip = ChipOf(axis);
    chip.moving = false;
    chip.rest = chip.target = counts;
    chip.home = 0;
}

void C832Card::SetTravel(int axis, int32_t low, int32_t high)
{
    std::lock_guard lock(mutex_);
    ChipOf(axis).low = low;
    ChipOf(axis).high = high;
}

double C832Card::Position(int axis) const
{
    std::lock_guard lock(mutex_);
    return ChipOf(axis).PositionAt(clock_.Now());
}

bool C832Card::IsMoving(int axis) const
{
    std::lock_guard lock(mutex_);
    const Chip& chip = ChipOf(axis);
    return chip.moving && chip.PositionAt(clock_.Now()) != chip.target;
}

bool C832Card::IsMotorOff(int axis) const
{
    std::lock_guard lock(mutex_);
    return ChipOf(axis).motorOff;
}

int32_t C832Card::LoadedVelocity(int axis) const
{
    std::lock_guard lock(mutex_);
    return ChipOf(axis).velocity;
}

std::vector<PortAccess> C832Card::Trace() const
{
    std::lock_guard lock(mutex_);
    return {trace_.begin(), trace_.end()};
}

std::vector<C832Command> C832Card::Commands() const
{
    std::lock_guard lock(mutex_);
    return {commands_.begin(), commands_.end()};
}

int C832Card::DecoderErrors() const
{
    std::lock_guard lock(mutex_);
    return decoderErrors_;
}

void C832Card::ClearTrace()
{
    std::lock_guard lock(mutex_);
    trace_.clear();
    commands_.clear();
    decoderErrors_ = 0;
}

} // namespace qdriver
