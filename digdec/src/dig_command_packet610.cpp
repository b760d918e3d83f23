#include "dig_command_packet610.h"

#include <cstring>

namespace digdec {

DigCommandPacket610::DigCommandPacket610(int count, int extra)
{
    count = std::max(count, 0);
    extra = std::max(extra, 0);
    header_ = inside_.data();
    if (count > kInsideMain || extra > kInsideExtra) {
        const std::size_t bytes =
            dvl::kHeaderSize + kSlotSize * (static_cast<std::size_t>(count) + extra);
        if (bytes > INT32_MAX || !allocated_.Resize(static_cast<int>(bytes), false)) {
            ok_ = false;
            count = extra = 0;
        } else {
            header_ = reinterpret_cast<std::byte*>(allocated_.data());
        }
    }
    const uint32_t main_offset = dvl::kHeaderSize;
    const uint32_t extra_offset = static_cast<uint32_t>(main_offset + kSlotSize * count);
    dvl::Store<uint32_t>(header_ + kMainOffsetField, main_offset);
    dvl::Store<uint32_t>(header_ + kExtraOffsetField, extra_offset);
    main_ = header_ + main_offset;
    extra_ = header_ + extra_offset;
    main_capacity_ = main_count_ = count;
    extra_capacity_ = extra_count_ = extra;
}

bool DigCommandPacket610::Wrap(void* packet, std::size_t readable)
{
    auto* header = static_cast<std::byte*>(packet);
    if (readable < dvl::kHeaderSize)
        return false;
    const std::size_t main_offset = dvl::Load<uint32_t>(header + kMainOffsetField);
    const std::size_t extra_offset = dvl::Load<uint32_t>(header + kExtraOffsetField);
    const std::size_t main_bytes = kSlotSize * kInsideMain;
    if (main_offset < dvl::kHeaderSize || main_offset > readable ||
        readable - main_offset < main_bytes || extra_offset < dvl::kHeaderSize ||
        extra_offset > readable || readable - extra_offset < kSlotSize)
        return false;
    header_ = header;
    main_ = header + main_offset;
    extra_ = header + extra_offset;
    main_capacity_ = main_count_ = kInsideMain;
    extra_capacity_ = extra_count_ = kInsideExtra;
    return true;
}

bool DigCommandPacket610::Reset(int count)
{
    if (count < 0 || count > main_capacity_)
        return false;
    std::memset(main_, 0, kSlotSize * static_cast<std::size_t>(main_capacity_));
    std::memset(extra_, 0, kSlotSize * static_cast<std::size_t>(extra_capacity_));
    main_count_ = count;
    return true;
}

bool DigCommandPacket610::SetExtraCount(int count)
{
    if (count < 0 || count > extra_capacity_)
        return false;
    extra_count_ = count;
    return true;
}

std::byte* DigCommandPacket610::MainSlotAddress(int i)
{
    return i >= 0 && i < main_count_ ? main_ + kSlotSize * static_cast<std::size_t>(i) : nullptr;
}

std::byte* DigCommandPacket610::ExtraSlotAddress(int i)
{
    return i >= 0 && i < extra_count_ ? extra_ + kSlotSize * static_cast<std::size_t>(i) : nullptr;
}

std::size_t DigCommandPacket610::WordOffset(HeaderWord word) const
{
    switch (word) {
    case kWordA:
        return 0;
    case kCode:
        return 4;
    case kWordB:
        return 8;
    case kWordC:
        break;
    }
    return 20;
}

std::byte* DigCommandPacket610::ValueAt(int i, std::size_t need)
{
    if (need > kSlotSize)
        return nullptr;
    return i < main_count_ ? MainSlotAddress(i) : ExtraSlotAddress(i - main_count_);
}

bool DigCommandPacket610::Put(int i, uint16_t, uint16_t, const void* value, std::size_t size)
{
    std::byte* slot = ValueAt(i, size);
    if (!slot)
        return false;
    std::memcpy(slot, value, size);
    return true;
}

} // namespace digdec
