// Layout-700 accessor: either wraps a caller's packet in place or owns a
// 120-byte packet (24-byte header, 96 bytes of parameters).
#pragma once

#include <array>
#include <vector>

#include "dig_command_packet.h"
#include "growable_array.h"

namespace digdec {

class DigCommandPacket700 final : public DigCommandPacket {
public:
    static constexpr std::size_t kOwnedSize = 120;

    // An owned, empty packet: version 700, no parameters, size 24, code 0.
    DigCommandPacket700();
    DigCommandPacket700(const DigCommandPacket700&) = delete;
    DigCommandPacket700& operator=(const DigCommandPacket700&) = delete;

    // Reads the caller's packet in place, `readable` bytes at most, and builds
    // the parameter table by walking it. A malformed packet (see
    // dvl::WalkParameters) or a table that cannot be allocated is refused and
    // the accessor stays as it was. Appends to a wrapped packet may grow it only
    // up to `readable`.
    bool Wrap(void* packet, std::size_t readable);

    // Takes a copy of the layout-700 packet of `size` bytes into the owned
    // buffer; refused (nothing changed) when it is malformed or over 120 bytes.
    bool CopyPacket(const std::byte* packet, std::size_t size);

    bool owns() const { return packet_ == owned_.data(); }

    bool Reset(int count) override;
    int Count() const override { return count_; }
    bool SetExtraCount(int) override { return false; }
    int ExtraCount() const override { return 0; }
    void SetVersion(int16_t version) override;
    int16_t Version() const override;
    uint16_t Kind(int i) const override;
    uint16_t Flags(int i) const override;
    std::byte* Address() override { return packet_; }
    uint32_t TotalSize() const override;
    bool CodeFlag16() const override;
    bool CodeFlag17() const override;
    std::byte* MainSlotAddress(int) override { return nullptr; }
    std::byte* ExtraSlotAddress(int) override { return nullptr; }

protected:
    std::size_t WordOffset(HeaderWord word) const override;
    std::byte* ValueAt(int i, std::size_t need) override;
    bool Put(int i, uint16_t kind, uint16_t flags, const void* value, std::size_t size) override;

private:
    bool Adopt(std::byte* packet, std::size_t capacity, const std::vector<std::size_t>& offsets);
    bool Append(uint16_t kind, uint16_t flags, const void* value, std::size_t size);
    uint16_t Descriptor(int i) const;
    void SetHeader(int count, uint32_t size);

    std::array<std::byte, kOwnedSize> owned_{};
    std::byte* packet_;
    std::size_t capacity_;
    int count_ = 0;
    InlineTable<uint32_t, 12> table_; // offset of each parameter's descriptor
};

} // namespace digdec
