#pragma once
// The simulated physical memory: 4 GiB, zero until written, kept in one sparse
// memory file so that every view of an address shows the same bytes.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace qdriver {

/// A range of physical memory mapped into the process, with the address token
/// that stands for it in request words; unmapped when it goes.
class MappedView {
public:
    MappedView(void* base, size_t size, uint8_t* address);
    ~MappedView();
    MappedView(const MappedView&) = delete;
    MappedView& operator=(const MappedView&) = delete;
    uint32_t Token() const { return token_; }

private:
    void* base_;
    size_t size_;
    uint32_t token_;
};

class PhysicalMemory {
public:
    static constexpr uint64_t kSize = uint64_t(1) << 32;

    PhysicalMemory();
    ~PhysicalMemory();
    PhysicalMemory(const PhysicalMemory&) = delete;
    PhysicalMemory& operator=(const PhysicalMemory&) = delete;

    /// A view of [address, address + length); null when the range is empty,
    /// leaves the 4 GiB or the system refuses the mapping.
    std::unique_ptr<MappedView> Map(uint32_t address, uint32_t length) const;
    /// Direct access, as a bus master has it; false when the range leaves the 4 GiB.
    bool Read(uint32_t address, void* data, uint32_t length) const;
    bool Write(uint32_t address, const void* data, uint32_t length);

private:
    int fd_;
};

} // namespace qdriver
