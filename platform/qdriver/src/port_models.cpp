#include <qdriver/port_models.h>

namespace qdriver {

LatchPorts::LatchPorts(uint32_t count, uint8_t initial) : registers_(count, initial) { }

uint32_t LatchPorts::In(uint32_t offset, uint32_t width)
{
    std::lock_guard lock(mutex_);
    uint32_t value = 0;
    for (uint32_t i = 0; i < width && offset + i < registers_.size(); ++i)
        value |= uint32_t(registers_[offset + i]) << (8 * i);
    return value;
}

void LatchPorts::Out(uint32_t offset, uint32_t width, uint32_t value)
{
    std::lock_guard lock(mutex_);
    for (uint32_t i = 0; i < width && offset + i < registers_.size(); ++i)
        registers_[offset + i] = static_cast<uint8_t>(value >> (8 * i));
    writes_.push_back({true, offset, width, value});
}

uint8_t LatchPorts::Register(uint32_t offset) const
{
    std::lock_guard lock(mutex_);
    return registers_.at(offset);
}

std::vector<PortAccess> LatchPorts::Writes() const
{
    std::lock_guard lock(mutex_);
    return writes_;
}

uint32_t ScriptedPorts::In(uint32_t offset, uint32_t width)
{
    std::lock_guard lock(mutex_);
    uint32_t value = fallback_;
    if (auto it = script_.find(offset); it != script_.end() && !it->second.empty()) {
        value = it->second.front();
        if (it->second.size() > 1)
            it->second.pop_front();
    }
    if (width < 4)
        value &= (1u << (8 * width)) - 1;
    accesses_.push_back({false, offset, width, value});
    return value;
}

void ScriptedPorts::Out(uint32_t offset, uint32_t width, uint32_t value)
{
    std::lock_guard lock(mutex_);
    accesses_.push_back({true, offset, width, value});
}

void ScriptedPorts::Script(uint32_t offset, std::vector<uint32_t> values)
{
    std::lock_guard lock(mutex_);
    script_[offset].insert(script_[offset].end(), values.begin(), values.end());
}

std::vector<PortAccess> ScriptedPorts::Accesses() const
{
    std::lock_guard lock(mutex_);
    return accesses_;
}

} // namespace qdriver
