#pragma once
// Port-space models: a bank of byte latches (the parallel port's registers read
// back what was last written) and a scripted model whose reads tests prescribe.
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <vector>

#include <qdriver/export.h>
#include <qdriver/port_space.h>

namespace qdriver {

struct PortAccess {
    bool write;
    uint32_t offset;
    uint32_t width;
    uint32_t value;
    bool operator==(const PortAccess&) const = default;
};

/// `count` byte registers that keep the last value written; wide accesses span
/// consecutive registers, low byte first.
class QDRIVER_API LatchPorts : public PortSpace {
public:
    explicit LatchPorts(uint32_t count, uint8_t initial = 0);
    uint32_t In(uint32_t offset, uint32_t width) override;
    void Out(uint32_t offset, uint32_t width, uint32_t value) override;
    /// Current content of register `offset`.
    uint8_t Register(uint32_t offset) const;
    /// Every write so far, in order.
    std::vector<PortAccess> Writes() const;

private:
    mutable std::mutex mutex_;
    std::vector<uint8_t> registers_;
    std::vector<PortAccess> writes_;
};

/// Reads answer from a per-offset script (the last scripted value repeats, an
/// offset without script reads `fallback`); every access is recorded.
class QDRIVER_API ScriptedPorts : public PortSpace {
public:
    explicit ScriptedPorts(uint32_t fallback = 0) : fallback_(fallback) { }
    uint32_t In(uint32_t offset, uint32_t width) override;
    void Out(uint32_t offset, uint32_t width, uint32_t value) override;
    /// Appends values that the next reads of `offset` answer in turn.
    void Script(uint32_t offset, std::vector<uint32_t> values);
    std::vector<PortAccess> Accesses() const;

private:
    mutable std::mutex mutex_;
    uint32_t fallback_;
    std::map<uint32_t, std::deque<uint32_t>> script_;
    std::vector<PortAccess> accesses_;
};

} // namespace qdriver
