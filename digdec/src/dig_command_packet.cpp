#include "dig_command_packet.h"

#include <dvl/packet.h>

namespace digdec {

DigCommandPacket::~DigCommandPacket() = default;

template <typename T> T DigCommandPacket::Read(int i, std::size_t offset) const
{
    const std::byte* value = ValueIn(i, offset + sizeof(T));
    return value ? dvl::Load<T>(value + offset) : T{};
}

bool DigCommandPacket::SetIntFlag1(int i, int32_t value)
{
    return SetIntFlags(i, value, dvl::kFlag1);
}
bool DigCommandPacket::SetIntFlag2(int i, int32_t value)
{
    return SetIntFlags(i, value, dvl::kFlag2);
}
bool DigCommandPacket::SetIntFlags(int i, int32_t value, uint16_t flags)
{
    return Put(i, dvl::kKindInt, flags, &value, sizeof value);
}
bool DigCommandPacket::SetWord(int i, uint32_t value)
{
    return Put(i, dvl::kKindWord, 0, &value, sizeof value);
}
bool DigCommandPacket::SetPair(int i, int32_t first, int32_t second)
{
    const int32_t pair[2] = {first, second};
    return Put(i, dvl::kKindPair, 0, pair, sizeof pair);
}
bool DigCommandPacket::SetPoint(int i, int32_t x, int32_t y)
{
    const int32_t point[2] = {x, y};
    return Put(i, dvl::kKindPoint, 0, point, sizeof point);
}
bool DigCommandPacket::SetReal(int i, double value)
{
    return Put(i, dvl::kKindReal, 0, &value, sizeof value);
}
bool DigCommandPacket::SetWord9(int i, uint32_t value)
{
    return Put(i, dvl::kKindWord9, 0, &value, sizeof value);
}
bool DigCommandPacket::SetCounted(int i, uint32_t value, uint32_t count)
{
    const uint32_t counted[2] = {value, count * 4};
    return Put(i, dvl::kKindCounted, 0, counted, sizeof counted);
}
bool DigCommandPacket::SetText(int i, DvlText text)
{
    return Put(i, dvl::kKindText, 0, &text, sizeof text);
}
bool DigCommandPacket::SetWord6(int i, uint32_t value)
{
    return Put(i, dvl::kKindWord6, 0, &value, sizeof value);
}
bool DigCommandPacket::SetWide(int i, uint64_t value)
{
    return Put(i, dvl::kKindWide, 0, &value, sizeof value);
}

uint32_t DigCommandPacket::Value(int i) const { return Read<uint32_t>(i); }
uint32_t DigCommandPacket::UnsignedValue(int i) const { return Read<uint32_t>(i); }
uint32_t DigCommandPacket::WordValue(int i) const { return Read<uint32_t>(i); }
int32_t DigCommandPacket::IntValue(int i) const { return Read<int32_t>(i); }
DvlText DigCommandPacket::TextValue(int i) const { return Read<DvlText>(i); }
double DigCommandPacket::RealValue(int i) const { return Read<double>(i); }
uint64_t DigCommandPacket::WideValue(int i) const { return Read<uint64_t>(i); }
uint32_t DigCommandPacket::SecondWord(int i) const { return Read<uint32_t>(i, 4); }

std::byte* DigCommandPacket::ValueAddress(int i) { return ValueAt(i, 1); }
std::byte* DigCommandPacket::WordAddress(int i) { return ValueAt(i, 4); }
std::byte* DigCommandPacket::PairAddress(int i) { return ValueAt(i, 8); }
std::byte* DigCommandPacket::IntAddress(int i) { return ValueAt(i, 4); }
std::byte* DigCommandPacket::RealAddress(int i) { return ValueAt(i, 8); }
std::byte* DigCommandPacket::WideAddress(int i) { return ValueAt(i, 8); }
std::byte* DigCommandPacket::TextAddress(int i) { return ValueAt(i, 4); }

int DigCommandPacket::ParamCount() const { return Count(); }

uint32_t DigCommandPacket::HeaderValue(HeaderWord word) const
{
    return dvl::Load<uint32_t>(Bytes() + WordOffset(word));
}
void DigCommandPacket::SetHeaderValue(HeaderWord word, uint32_t value)
{
    dvl::Store<uint32_t>(Address() + WordOffset(word), value);
}

void DigCommandPacket::SetWordA(uint32_t value) { SetHeaderValue(kWordA, value); }
uint32_t DigCommandPacket::WordA() const { return HeaderValue(kWordA); }
void DigCommandPacket::SetWordC(uint32_t value) { SetHeaderValue(kWordC, value); }
uint32_t DigCommandPacket::WordC() const { return HeaderValue(kWordC); }
void DigCommandPacket::SetCode(uint32_t value) { SetHeaderValue(kCode, value); }
uint32_t DigCommandPacket::Code() const { return HeaderValue(kCode); }
void DigCommandPacket::SetWordB(uint32_t value) { SetHeaderValue(kWordB, value); }
uint32_t DigCommandPacket::WordB() const { return HeaderValue(kWordB); }

} // namespace digdec
