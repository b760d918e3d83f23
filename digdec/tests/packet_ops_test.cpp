// The 51 operations of the packet accessor on both layouts.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "digdec/src/dig_command_packet610.h"
#include "digdec/src/dig_command_packet700.h"
#include <dvl/packet.h>

using digdec::DigCommandPacket;
using digdec::DigCommandPacket610;
using digdec::DigCommandPacket700;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytes_at(const std::byte* at, std::size_t n)
{
    Bytes out(n);
    std::memcpy(out.data(), at, n);
    return out;
}

struct Setter {
    int slot;
    std::function<bool(DigCommandPacket&, int)> set;
    std::function<bool(DigCommandPacket&, int)> set_other;
    uint16_t kind;
    uint16_t flags;
    Bytes value;
    Bytes other;
};

const std::vector<Setter>& setters()
{
    static const std::vector<Setter> table = {
        {1,
         [](auto& p, int i) { return p.SetIntFlag1(i, 5); },
         [](auto& p, int i) { return p.SetIntFlag1(i, -2); },
         2,
         1,
         {5, 0, 0, 0},
         {0xFE, 0xFF, 0xFF, 0xFF}},
        {3,
         [](auto& p, int i) { return p.SetIntFlag2(i, 6); },
         [](auto& p, int i) { return p.SetIntFlag2(i, 7); },
         2,
         2,
         {6, 0, 0, 0},
         {7, 0, 0, 0}},
        {5,
         [](auto& p, int i) { return p.SetIntFlags(i, 7, 3); },
         [](auto& p, int i) { return p.SetIntFlags(i, 8, 0); },
         2,
         3,
         {7, 0, 0, 0},
         {8, 0, 0, 0}},
        {7,
         [](auto& p, int i) { return p.SetWord(i, 0xDEADBEEF); },
         [](auto& p, int i) { return p.SetWord(i, 1); },
         0,
         0,
         {0xEF, 0xBE, 0xAD, 0xDE},
         {1, 0, 0, 0}},
        {9,
         [](auto& p, int i) { return p.SetPair(i, 1, -1); },
         [](auto& p, int i) { return p.SetPair(i, 2, 3); },
         4,
         0,
         {1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF},
         {2, 0, 0, 0, 3, 0, 0, 0}},
        {11,
         [](auto& p, int i) { return p.SetPoint(i, 640, 480); },
         [](auto& p, int i) { return p.SetPoint(i, 0, 1); },
         1,
         0,
         {0x80, 2, 0, 0, 0xE0, 1, 0, 0},
         {0, 0, 0, 0, 1, 0, 0, 0}},
        {13,
         [](auto& p, int i) { return p.SetReal(i, 1.5); },
         [](auto& p, int i) { return p.SetReal(i, -2.0); },
         3,
         0,
         {0, 0, 0, 0, 0, 0, 0xF8, 0x3F},
         {0, 0, 0, 0, 0, 0, 0, 0xC0}},
        {23,
         [](auto& p, int i) { return p.SetWord9(i, 9); },
         [](auto& p, int i) { return p.SetWord9(i, 10); },
         9,
         0,
         {9, 0, 0, 0},
         {10, 0, 0, 0}},
        {24,
         [](auto& p, int i) { return p.SetCounted(i, 0x55, 3); },
         [](auto& p, int i) { return p.SetCounted(i, 1, 1); },
         10,
         0,
         {0x55, 0, 0, 0, 12, 0, 0, 0},
         {1, 0, 0, 0, 4, 0, 0, 0}},
        {25,
         [](auto& p, int i) { return p.SetText(i, 0x1234); },
         [](auto& p, int i) { return p.SetText(i, 0x99); },
         5,
         0,
         {0x34, 0x12, 0, 0},
         {0x99, 0, 0, 0}},
        {26,
         [](auto& p, int i) { return p.SetWord6(i, 6); },
         [](auto& p, int i) { return p.SetWord6(i, 66); },
         6,
         0,
         {6, 0, 0, 0},
         {66, 0, 0, 0}},
        {27,
         [](auto& p, int i) { return p.SetWide(i, 0x0102030405060708); },
         [](auto& p, int i) { return p.SetWide(i, 0xFF); },
         7,
         0,
         {8, 7, 6, 5, 4, 3, 2, 1},
         {0xFF, 0, 0, 0, 0, 0, 0, 0}},
    };
    return table;
}

} // namespace

TEST(Packet700Setters, AppendAtCountThenOverwrite)
{
    for (const Setter& s : setters()) {
        SCOPED_TRACE("slot " + std::to_string(s.slot));
        DigCommandPacket700 p;
        const std::size_t step = 2 + s.value.size();
        ASSERT_TRUE(s.set(p, 0));
        ASSERT_TRUE(s.set(p, 1));
        EXPECT_EQ(p.Count(), 2);
        EXPECT_EQ(p.TotalSize(), 24 + 2 * step);
        EXPECT_EQ(dvl::Load<int16_t>(p.Address() + 2), 2);
        EXPECT_EQ(dvl::Load<uint16_t>(p.Address() + 24), dvl::MakeDescriptor(s.kind, s.flags, 0));
        EXPECT_EQ(dvl::Load<uint16_t>(p.Address() + 24 + step),
                  dvl::MakeDescriptor(s.kind, s.flags, 1));
        EXPECT_EQ(bytes_at(p.Address() + 26, s.value.size()), s.value);
        EXPECT_EQ(p.Kind(1), s.kind);
        EXPECT_EQ(p.Flags(1), s.flags);

        ASSERT_TRUE(s.set_other(p, 0));
        EXPECT_EQ(p.Count(), 2);
        EXPECT_EQ(p.TotalSize(), 24 + 2 * step);
        EXPECT_EQ(bytes_at(p.Address() + 26, s.other.size()), s.other);
        EXPECT_EQ(bytes_at(p.Address() + 26 + step, s.value.size()), s.value);

        EXPECT_FALSE(s.set(p, 3));
        EXPECT_FALSE(s.set(p, -1));
        EXPECT_EQ(p.Count(), 2);
    }
}

TEST(Packet700Setters, OverwriteNeverSpillsIntoTheNextParameter)
{
    DigCommandPacket700 p;
    ASSERT_TRUE(p.SetIntFlag1(0, 1));
    ASSERT_TRUE(p.SetIntFlag1(1, 2));
    EXPECT_FALSE(p.SetReal(0, 3.0));
    EXPECT_FALSE(p.SetWide(0, ~0ull));
    EXPECT_EQ(p.Value(1), 2u);
    EXPECT_EQ(p.Kind(1), 2);
}

TEST(Packet610Setters, WriteSlotsWithoutAppending)
{
    for (const Setter& s : setters()) {
        SCOPED_TRACE("slot " + std::to_string(s.slot));
        DigCommandPacket610 p(3, 1);
        ASSERT_TRUE(s.set(p, 0));
        ASSERT_TRUE(s.set_other(p, 3));
        EXPECT_EQ(bytes_at(p.Address() + 24, s.value.size()), s.value);
        EXPECT_EQ(bytes_at(p.Address() + 24 + 3 * 8, s.other.size()), s.other);
        EXPECT_EQ(p.ExtraSlotAddress(0), p.Address() + 48);
        EXPECT_EQ(p.Count(), 3);
        EXPECT_EQ(p.ExtraCount(), 1);
        EXPECT_EQ(p.Kind(0), 0);
        EXPECT_EQ(p.Flags(0), 0);
        EXPECT_EQ(p.TotalSize(), 0u);
        EXPECT_FALSE(s.set(p, 4)) << "extra slot beyond the extra count";
        EXPECT_FALSE(s.set(p, -1));
    }
}

namespace {

struct Getter {
    int slot;
    std::function<uint64_t(DigCommandPacket&, int)> get;
};

// Getters read over a parameter holding the bytes 11 22 33 44 55 66 77 88.
const std::vector<Getter>& getters()
{
    static const std::vector<Getter> table = {
        {2, [](auto& p, int i) { return p.Value(i); }},
        {4, [](auto& p, int i) { return p.UnsignedValue(i); }},
        {6, [](auto& p, int i) { return p.WordValue(i); }},
        {8, [](auto& p, int i) { return static_cast<uint32_t>(p.IntValue(i)); }},
        {10, [](auto& p, int i) { return p.TextValue(i); }},
        {14, [](auto& p, int i) { return p.WideValue(i); }},
        {15, [](auto& p, int i) { return p.SecondWord(i); }},
    };
    return table;
}

const uint64_t kWideBytes = 0x8877665544332211ull;

uint64_t expected_get(int slot, std::size_t value_size)
{
    if (slot == 14)
        return value_size >= 8 ? kWideBytes : 0;
    if (slot == 15)
        return value_size >= 8 ? 0x88776655u : 0;
    return 0x44332211u;
}

} // namespace

TEST(PacketGetters, ReadOnlyWhatTheParameterHolds)
{
    const uint64_t wide = kWideBytes;
    dvl::PacketWriter writer(1);
    writer.Add(dvl::kKindInt, &wide).Add(dvl::kKindWide, &wide);
    DigCommandPacket700 p700;
    ASSERT_TRUE(p700.Wrap(writer.data(), writer.bytes().size()));
    DigCommandPacket610 p610(2, 1);
    ASSERT_TRUE(p610.SetWide(0, wide));

    for (const Getter& g : getters()) {
        SCOPED_TRACE("slot " + std::to_string(g.slot));
        EXPECT_EQ(g.get(p700, 0), expected_get(g.slot, 4));
        EXPECT_EQ(g.get(p700, 1), expected_get(g.slot, 8));
        EXPECT_EQ(g.get(p700, 2), 0u);
        EXPECT_EQ(g.get(p610, 0), expected_get(g.slot, 8));
        EXPECT_EQ(g.get(p610, 3), 0u);
    }
    EXPECT_EQ(p700.RealValue(0), 0.0);
    ASSERT_TRUE(p610.SetReal(1, 2.25));
    EXPECT_EQ(p610.RealValue(1), 2.25);
}

TEST(PacketGetters, AddressesNeedTheirWidthInside)
{
    const uint64_t wide = kWideBytes;
    dvl::PacketWriter writer(1);
    writer.Add(dvl::kKindInt, &wide).Add(dvl::kKindWide, &wide);
    DigCommandPacket700 p;
    ASSERT_TRUE(p.Wrap(writer.data(), writer.bytes().size()));
    std::byte* first = writer.data() + 26;
    std::byte* second = writer.data() + 32;

    struct Case {
        int slot;
        std::function<std::byte*(DigCommandPacket&, int)> address;
        bool four_bytes_enough;
    };
    const std::vector<Case> cases = {
        {16, [](auto& q, int i) { return q.ValueAddress(i); }, true},
        {17, [](auto& q, int i) { return q.WordAddress(i); }, true},
        {18, [](auto& q, int i) { return q.PairAddress(i); }, false},
        {19, [](auto& q, int i) { return q.IntAddress(i); }, true},
        {20, [](auto& q, int i) { return q.RealAddress(i); }, false},
        {21, [](auto& q, int i) { return q.WideAddress(i); }, false},
        {22, [](auto& q, int i) { return q.TextAddress(i); }, true},
    };
    DigCommandPacket610 slots(2, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE("slot " + std::to_string(c.slot));
        EXPECT_EQ(c.address(p, 0), c.four_bytes_enough ? first : nullptr);
        EXPECT_EQ(c.address(p, 1), second);
        EXPECT_EQ(c.address(p, 2), nullptr);
        EXPECT_EQ(c.address(slots, 2), slots.Address() + 40);
        EXPECT_EQ(c.address(slots, 3), nullptr);
    }
}

TEST(PacketHeader, WordsSitAtTheirLayoutOffsets)
{
    struct Case {
        int slot;
        void (DigCommandPacket::*set)(uint32_t);
        uint32_t (DigCommandPacket::*get)() const;
        std::size_t at700;
        std::size_t at610;
    };
    const Case cases[] = {
        {33, &DigCommandPacket::SetWordA, &DigCommandPacket::WordA, 8, 0},
        {35, &DigCommandPacket::SetWordC, &DigCommandPacket::WordC, 20, 20},
        {37, &DigCommandPacket::SetCode, &DigCommandPacket::Code, 12, 4},
        {39, &DigCommandPacket::SetWordB, &DigCommandPacket::WordB, 16, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("slot " + std::to_string(c.slot));
        DigCommandPacket700 p700;
        DigCommandPacket610 p610(1, 1);
        for (auto [p, at] :
             {std::pair<DigCommandPacket*, std::size_t>{&p700, c.at700}, {&p610, c.at610}}) {
            (p->*c.set)(0xA1B2C3D4);
            EXPECT_EQ(dvl::Load<uint32_t>(p->Address() + at), 0xA1B2C3D4u);
            dvl::Store<uint32_t>(p->Address() + at, 77);
            EXPECT_EQ((p->*c.get)(), 77u);
        }
    }
}

TEST(PacketHeader, VersionSizeAndCodeFlags)
{
    DigCommandPacket700 p700;
    DigCommandPacket610 p610(2, 1);
    EXPECT_EQ(p700.Version(), 700);
    EXPECT_EQ(p610.Version(), 610);
    EXPECT_EQ(p700.TotalSize(), 24u);
    p700.SetVersion(701);
    EXPECT_EQ(dvl::Load<int16_t>(p700.Address()), 701);
    p610.SetVersion(611);
    EXPECT_EQ(p610.Version(), 611);

    const std::pair<uint32_t, std::pair<bool, bool>> codes[] = {{0x1802, {false, false}},
                                                                {0x11802, {true, false}},
                                                                {0x21802, {false, true}},
                                                                {0x31802, {true, true}}};
    for (const auto& [code, flags] : codes) {
        p700.SetCode(code);
        p610.SetCode(code);
        EXPECT_EQ(p700.CodeFlag16(), flags.first) << code;
        EXPECT_EQ(p700.CodeFlag17(), flags.second) << code;
        EXPECT_FALSE(p610.CodeFlag16());
        EXPECT_FALSE(p610.CodeFlag17());
    }
}

TEST(PacketCounts, CountsExtraCountsAndSlotAddresses)
{
    DigCommandPacket700 p700;
    ASSERT_TRUE(p700.SetWord(0, 1));
    EXPECT_EQ(p700.Count(), 1);
    EXPECT_EQ(p700.ParamCount(), 1);
    EXPECT_FALSE(p700.SetExtraCount(1));
    EXPECT_EQ(p700.ExtraCount(), 0);
    EXPECT_EQ(p700.MainSlotAddress(0), nullptr);
    EXPECT_EQ(p700.ExtraSlotAddress(0), nullptr);

    DigCommandPacket610 p610(4, 1);
    EXPECT_EQ(p610.Count(), 4);
    EXPECT_EQ(p610.ParamCount(), 4);
    EXPECT_EQ(p610.ExtraCount(), 1);
    EXPECT_EQ(p610.MainSlotAddress(3), p610.Address() + 48);
    EXPECT_EQ(p610.MainSlotAddress(4), nullptr);
    EXPECT_EQ(p610.ExtraSlotAddress(0), p610.Address() + 56);
    EXPECT_EQ(p610.ExtraSlotAddress(1), nullptr);
    EXPECT_EQ(dvl::Load<uint32_t>(p610.Address() + 12), 24u);
    EXPECT_EQ(dvl::Load<uint32_t>(p610.Address() + 16), 56u);
    EXPECT_TRUE(p610.SetExtraCount(0));
    EXPECT_EQ(p610.ExtraSlotAddress(0), nullptr);
    EXPECT_FALSE(p610.SetExtraCount(2));
}

TEST(PacketCounts, ResetEmptiesThePacket)
{
    DigCommandPacket700 p700;
    p700.SetCode(0x1802);
    ASSERT_TRUE(p700.SetWide(0, 1));
    ASSERT_TRUE(p700.Reset(20));
    EXPECT_EQ(p700.Count(), 0);
    EXPECT_EQ(p700.TotalSize(), 24u);
    EXPECT_EQ(p700.Code(), 0x1802u);
    EXPECT_EQ(p700.Kind(0), 0);
    EXPECT_FALSE(p700.Reset(-1));

    DigCommandPacket610 p610(3, 1);
    ASSERT_TRUE(p610.SetWord(0, 5));
    ASSERT_TRUE(p610.Reset(2));
    EXPECT_EQ(p610.Count(), 2);
    EXPECT_EQ(p610.Value(0), 0u);
    EXPECT_FALSE(p610.Reset(4));
}

TEST(Packet700, OwnedBufferRefusesAppendsThatDoNotFit)
{
    DigCommandPacket700 p;
    for (int i = 0; i < 9; ++i)
        ASSERT_TRUE(p.SetWide(i, static_cast<uint64_t>(i)));
    EXPECT_EQ(p.TotalSize(), 114u);
    EXPECT_FALSE(p.SetWide(9, 9));
    EXPECT_FALSE(p.SetReal(9, 9.0));
    EXPECT_EQ(p.TotalSize(), 114u);
    ASSERT_TRUE(p.SetIntFlag1(9, 9));
    EXPECT_EQ(p.TotalSize(), 120u);
    EXPECT_FALSE(p.SetWord(10, 1));
    EXPECT_EQ(p.Count(), 10);
}

TEST(Packet700, WrapsThirteenParametersInPlace)
{
    dvl::PacketWriter writer(0x1802);
    for (int32_t i = 0; i < 13; ++i)
        writer.AddInt(i * 10);
    DigCommandPacket700 p;
    ASSERT_TRUE(p.Wrap(writer.data(), writer.bytes().size()));
    EXPECT_FALSE(p.owns());
    EXPECT_EQ(p.Address(), writer.data());
    EXPECT_EQ(p.Count(), 13);
    EXPECT_EQ(p.IntValue(12), 120);
    ASSERT_TRUE(p.SetIntFlag1(12, -5));
    EXPECT_EQ(dvl::Load<int32_t>(writer.data() + writer.bytes().size() - 4), -5);
    EXPECT_FALSE(p.SetWord(13, 1)) << "a wrapped packet may not grow past its size";

    ASSERT_TRUE(p.Reset(0));
    for (int i = 0; i < 13; ++i)
        ASSERT_TRUE(p.SetIntFlag2(i, i));
    EXPECT_EQ(p.TotalSize(), writer.bytes().size());
}

TEST(Packet700, MalformedPacketIsRefusedAndAccessorUnchanged)
{
    DigCommandPacket700 p;
    ASSERT_TRUE(p.SetWord(0, 3));
    dvl::PacketWriter writer(1);
    writer.AddInt(5);
    dvl::Store<int16_t>(writer.data() + 2, 2);
    EXPECT_FALSE(p.Wrap(writer.data(), writer.bytes().size()));
    EXPECT_TRUE(p.owns());
    EXPECT_EQ(p.Count(), 1);
    EXPECT_EQ(p.Value(0), 3u);
}

TEST(Packet610, WrapsTwelveMainAndOneExtraSlotWhereTheHeaderSays)
{
    // Header, the extra slot at 24, the twelve main slots behind it.
    std::vector<std::byte> packet(24 + 8 + 96);
    dvl::Store<uint32_t>(packet.data() + 4, 0x1802);
    dvl::Store<uint32_t>(packet.data() + 12, 32);
    dvl::Store<uint32_t>(packet.data() + 16, 24);
    dvl::Store<uint32_t>(packet.data() + 32 + 8 * 11, 77);
    DigCommandPacket610 p(0, 0);
    ASSERT_TRUE(p.Wrap(packet.data(), packet.size()));
    EXPECT_EQ(p.Address(), packet.data());
    EXPECT_EQ(p.Count(), 12);
    EXPECT_EQ(p.ExtraCount(), 1);
    EXPECT_EQ(p.Code(), 0x1802u);
    EXPECT_EQ(p.Value(11), 77u);
    ASSERT_TRUE(p.SetWord(12, 5));
    EXPECT_EQ(dvl::Load<uint32_t>(packet.data() + 24), 5u);
    EXPECT_FALSE(p.SetWord(13, 5));

    struct Case {
        const char* what;
        uint32_t main, extra;
        std::size_t readable;
    };
    const Case refused[] = {
        {"main slots in the header", 16, 24, packet.size()},
        {"main slots past the end", 40, 24, packet.size()},
        {"extra slot past the end", 32, 124, packet.size()},
        {"extra slot in the header", 32, 0, packet.size()},
        {"shorter than a header", 32, 24, 20},
    };
    for (const Case& c : refused) {
        dvl::Store<uint32_t>(packet.data() + 12, c.main);
        dvl::Store<uint32_t>(packet.data() + 16, c.extra);
        DigCommandPacket610 q(2, 1);
        EXPECT_FALSE(q.Wrap(packet.data(), c.readable)) << c.what;
        EXPECT_EQ(q.Count(), 2) << c.what;
        EXPECT_NE(q.Address(), packet.data()) << c.what;
    }
}
