#include "dig_command_packet700.h"

#include <cstring>
#include <vector>

#include <dvl/packet.h>

namespace digdec {

DigCommandPacket700::DigCommandPacket700() : packet_(owned_.data()), capacity_(kOwnedSize)
{
    dvl::Store<int16_t>(packet_ + dvl::kVersionOffset, dvl::kLayout700);
    SetHeader(0, dvl::kHeaderSize);
}

bool DigCommandPacket700::Adopt(std::byte* packet, std::size_t capacity,
                                const std::vector<std::size_t>& offsets)
{
    const int count = static_cast<int>(offsets.size());
    if (!table_.Grow(count))
        return false;
    for (int i = 0; i < count; ++i)
        table_[i] = static_cast<uint32_t>(offsets[static_cast<std::size_t>(i)]);
    packet_ = packet;
    capacity_ = capacity;
    count_ = count;
    return true;
}

bool DigCommandPacket700::Wrap(void* packet, std::size_t readable)
{
    auto* bytes = static_cast<std::byte*>(packet);
    std::vector<std::size_t> offsets;
    return dvl::WalkParameters(bytes, readable, offsets) && Adopt(bytes, readable, offsets);
}

bool DigCommandPacket700::CopyPacket(const std::byte* packet, std::size_t size)
{
    if (size > kOwnedSize)
        return false;
    std::array<std::byte, kOwnedSize> copy{};
    std::memcpy(copy.data(), packet, size);
    std::vector<std::size_t> offsets;
    if (!dvl::WalkParameters(copy.data(), size, offsets) ||
        !table_.Grow(static_cast<int>(offsets.size())))
        return false;
    owned_ = copy;
    return Adopt(owned_.data(), kOwnedSize, offsets);
}

void DigCommandPacket700::SetHeader(int count, uint32_t size)
{
    dvl::Store<int16_t>(packet_ + dvl::kCountOffset, static_cast<int16_t>(count));
    dvl::Store<uint32_t>(packet_ + dvl::kSizeOffset, size);
    count_ = count;
}

bool DigCommandPacket700::Reset(int count)
{
    if (count < 0 || count > INT16_MAX)
        return false;
    SetHeader(0, dvl::kHeaderSize);
    table_.Clear();
    return table_.Grow(count);
}

void DigCommandPacket700::SetVersion(int16_t version)
{
    dvl::Store<int16_t>(packet_ + dvl::kVersionOffset, version);
}
int16_t DigCommandPacket700::Version() const
{
    return dvl::Load<int16_t>(packet_ + dvl::kVersionOffset);
}
uint32_t DigCommandPacket700::TotalSize() const
{
    return dvl::Load<uint32_t>(packet_ + dvl::kSizeOffset);
}
bool DigCommandPacket700::CodeFlag16() const { return (Code() & dvl::kCodeFlag16) != 0; }
bool DigCommandPacket700::CodeFlag17() const { return (Code() & dvl::kCodeFlag17) != 0; }

uint16_t DigCommandPacket700::Descriptor(int i) const
{
    return dvl::Load<uint16_t>(packet_ + table_[i]);
}

uint16_t DigCommandPacket700::Kind(int i) const
{
    return i >= 0 && i < count_ ? dvl::DescriptorKind(Descriptor(i)) : 0;
}

uint16_t DigCommandPacket700::Flags(int i) const
{
    return i >= 0 && i < count_ ? dvl::DescriptorFlags(Descriptor(i)) : 0;
}

std::size_t DigCommandPacket700::WordOffset(HeaderWord word) const
{
    switch (word) {
    case kWordA:
        return dvl::kWordAOffset;
    case kCode:
        return dvl::kCodeOffset;
    case kWordB:
        return dvl::kWordBOffset;
    case kWordC:
        break;
    }
    return dvl::kWordCOffset;
}

std::byte* DigCommandPacket700::ValueAt(int i, std::size_t need)
{
    if (i < 0 || i >= count_ || dvl::ValueSize(dvl::DescriptorKind(Descriptor(i))) < need)
        return nullptr;
    return packet_ + table_[i] + dvl::kDescriptorSize;
}

bool DigCommandPacket700::Put(int i, uint16_t kind, uint16_t flags, const void* value,
                              std::size_t size)
{
    if (i == count_)
        return Append(kind, flags, value, size);
    std::byte* at = ValueAt(i, size);
    if (!at)
        return false;
    std::memcpy(at, value, size);
    return true;
}

bool DigCommandPacket700::Append(uint16_t kind, uint16_t flags, const void* value, std::size_t size)
{
    const std::size_t at = TotalSize();
    const std::size_t step = dvl::kDescriptorSize + dvl::ValueSize(kind);
    if (count_ >= INT16_MAX || at > capacity_ || capacity_ - at < step)
        return false;
    if (!table_.Grow(count_ + 1))
        return false;
    dvl::Store<uint16_t>(packet_ + at, dvl::MakeDescriptor(kind, flags, count_));
    std::memcpy(packet_ + at + dvl::kDescriptorSize, value, size);
    table_[count_] = static_cast<uint32_t>(at);
    SetHeader(count_ + 1, static_cast<uint32_t>(at + step));
    return true;
}

} // namespace digdec
