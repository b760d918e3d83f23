#include <qdriver/stepper_motor.h>

namespace qdriver {
namespace {

constexpr uint8_t kStep = 0x01, kMinus = 0x02, kReset = 0x04;
constexpr uint32_t kRegisters = 3;
constexpr size_t kWriteLimit = 4096;

} // namespace

StepperMotor::StepperMotor(ondula::Clock& clock) : clock_(clock) { }

uint32_t StepperMotor::In(uint32_t offset, uint32_t width)
{
    std::lock_guard lock(mutex_);
    uint32_t value = 0;
    for (uint32_t i = 0; i < width && offset + i < kRegisters; ++i)
        value |= uint32_t(registers_[offset + i]) << (8 * i);
    return value;
}

void StepperMotor::Out(uint32_t offset, uint32_t width, uint32_t value)
{
    std::lock_guard lock(mutex_);
    for (uint32_t i = 0; i < width && offset + i < kRegisters; ++i) {
        const auto byte = static_cast<uint8_t>(value >> (8 * i));
        const uint8_t before = registers_[offset + i];
        registers_[offset + i] = byte;
        if (offset + i != 0)
            continue;
        const auto rising = uint8_t(byte & ~before);
        if (rising & kStep) {
            position_ += byte & kMinus ? -1 : 1;
            if ((byte ^ before) & kMinus)
                ++directionChangesOnStep_;
        }
        if (rising & kReset) {
            position_ = 0;
            ++resets_;
        }
        writes_.push_back({byte, clock_.Now()});
        if (writes_.size() > kWriteLimit)
            writes_.pop_front();
    }
}

int StepperMotor::Position() const
{
    std::lock_guard lock(mutex_);
    return position_;
}

int StepperMotor::Resets() const
{
    std::lock_guard lock(mutex_);
    return resets_;
}

int StepperMotor::DirectionChangesOnStep() const
{
    std::lock_guard lock(mutex_);
    return directionChangesOnStep_;
}

std::vector<StepperWrite> StepperMotor::Writes() const
{
    std::lock_guard lock(mutex_);
    return {writes_.begin(), writes_.end()};
}

} // namespace qdriver
