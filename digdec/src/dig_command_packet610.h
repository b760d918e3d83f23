// Layout-610 accessor: a 24-byte header {header word A, command code, header
// word B, main slots, extra slots, header word C} and 8-byte parameter slots.
// The two slot fields cannot hold addresses on this platform: they hold the
// byte offset of the main and of the extra slots from the start of the header.
// The version and the two counts belong to the accessor, not to the packet.
#pragma once

#include <array>

#include "dig_command_packet.h"
#include "growable_array.h"
#include <dvl/packet.h>

namespace digdec {

class DigCommandPacket610 final : public DigCommandPacket {
public:
    static constexpr std::size_t kSlotSize = 8;
    static constexpr int kInsideMain = 12;
    static constexpr int kInsideExtra = 1;
    static constexpr std::size_t kMainOffsetField = 12;
    static constexpr std::size_t kExtraOffsetField = 16;

    // An owned packet with room for `count` main and `extra` extra slots, all
    // zero, the counts set to them. Inside the object up to 12 and 1; larger
    // ones are allocated. When that allocation fails ok() is false and the
    // packet has no slots.
    DigCommandPacket610(int count, int extra);
    DigCommandPacket610(const DigCommandPacket610&) = delete;
    DigCommandPacket610& operator=(const DigCommandPacket610&) = delete;

    bool ok() const { return ok_; }
    int MainCapacity() const { return main_capacity_; }
    int ExtraCapacity() const { return extra_capacity_; }

    // Reads the caller's packet of `readable` bytes in place: 12 main slots and
    // 1 extra slot where its slot offsets say. Refused when they do not lie
    // inside the readable bytes.
    bool Wrap(void* packet, std::size_t readable);

    bool Reset(int count) override;
    int Count() const override { return main_count_; }
    bool SetExtraCount(int count) override;
    int ExtraCount() const override { return extra_count_; }
    void SetVersion(int16_t version) override { version_ = version; }
    int16_t Version() const override { return version_; }
    uint16_t Kind(int) const override { return 0; }
    uint16_t Flags(int) const override { return 0; }
    std::byte* Address() override { return header_; }
    uint32_t TotalSize() const override { return 0; }
    bool CodeFlag16() const override { return false; }
    bool CodeFlag17() const override { return false; }
    std::byte* MainSlotAddress(int i) override;
    std::byte* ExtraSlotAddress(int i) override;

protected:
    std::size_t WordOffset(HeaderWord word) const override;
    std::byte* ValueAt(int i, std::size_t need) override;
    bool Put(int i, uint16_t kind, uint16_t flags, const void* value, std::size_t size) override;

private:
    static constexpr std::size_t kInsideSize = 24 + kSlotSize * (kInsideMain + kInsideExtra);

    std::array<std::byte, kInsideSize> inside_{};
    ByteArray allocated_;
    std::byte* header_ = nullptr;
    std::byte* main_ = nullptr;
    std::byte* extra_ = nullptr;
    int16_t version_ = dvl::kLayout610;
    int main_capacity_ = 0;
    int extra_capacity_ = 0;
    int main_count_ = 0;
    int extra_count_ = 0;
    bool ok_ = true;
};

} // namespace digdec
