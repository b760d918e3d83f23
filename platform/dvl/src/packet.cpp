#include <dvl/packet.h>

namespace dvl {

std::size_t ValueSize(uint16_t kind)
{
    switch (kind) {
    case kKindPoint:
    case kKindReal:
    case kKindPair:
    case kKindWide:
    case kKindCounted:
        return 8;
    case kKindWord:
    case kKindInt:
    case kKindText:
    case kKindWord6:
    case kKindWord8:
    case kKindWord9:
        return 4;
    default:
        return 0;
    }
}

uint16_t MakeDescriptor(uint16_t kind, uint16_t flags, int index)
{
    return static_cast<uint16_t>((kind & 0x1FF) | ((flags & 0x3) << 9) | ((index & 0x1F) << 11));
}

bool WalkParameters(const std::byte* packet, std::size_t size, std::vector<std::size_t>& offsets)
{
    offsets.clear();
    if (size < kHeaderSize)
        return false;
    const int16_t count = Load<int16_t>(packet + kCountOffset);
    const uint32_t total = Load<uint32_t>(packet + kSizeOffset);
    if (count < 0 || total < kHeaderSize || total > size)
        return false;
    // Each parameter takes at least its descriptor, which bounds a sane count.
    if (static_cast<std::size_t>(count) > (total - kHeaderSize) / kDescriptorSize)
        return false;
    std::vector<std::size_t> found;
    found.reserve(static_cast<std::size_t>(count));
    std::size_t at = kHeaderSize;
    for (int16_t i = 0; i < count; ++i) {
        if (total - at < kDescriptorSize)
            return false;
        const uint16_t kind = DescriptorKind(Load<uint16_t>(packet + at));
        const std::size_t step = kDescriptorSize + ValueSize(kind);
        if (total - at < step)
            return false;
        found.push_back(at);
        at += step;
    }
    if (at != total)
        return false;
    offsets.swap(found);
    return true;
}

PacketWriter::PacketWriter(uint32_t code, uint32_t word_a, uint32_t word_b, uint32_t word_c)
    : bytes_(kHeaderSize)
{
    Store<int16_t>(bytes_.data() + kVersionOffset, kLayout700);
    Store<int16_t>(bytes_.data() + kCountOffset, 0);
    Store<uint32_t>(bytes_.data() + kSizeOffset, kHeaderSize);
    Store<uint32_t>(bytes_.data() + kWordAOffset, word_a);
    Store<uint32_t>(bytes_.data() + kCodeOffset, code);
    Store<uint32_t>(bytes_.data() + kWordBOffset, word_b);
    Store<uint32_t>(bytes_.data() + kWordCOffset, word_c);
}

PacketWriter& PacketWriter::Add(uint16_t kind, const void* value, uint16_t flags)
{
    const int16_t count = Load<int16_t>(bytes_.data() + kCountOffset);
    const std::size_t at = bytes_.size();
    const std::size_t value_size = ValueSize(kind);
    bytes_.resize(at + kDescriptorSize + value_size);
    Store<uint16_t>(bytes_.data() + at, MakeDescriptor(kind, flags, count));
    if (value_size)
        std::memcpy(bytes_.data() + at + kDescriptorSize, value, value_size);
    Store<int16_t>(bytes_.data() + kCountOffset, static_cast<int16_t>(count + 1));
    Store<uint32_t>(bytes_.data() + kSizeOffset, static_cast<uint32_t>(bytes_.size()));
    return *this;
}

} // namespace dvl
