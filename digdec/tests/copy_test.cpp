// Making packets and copying them between the two layouts.
#include <gtest/gtest.h>

#include <cstring>

#include "digdec/src/create_packet.h"
#include "digdec/src/dig_command_packet610.h"
#include "digdec/src/dig_command_packet700.h"
#include <dvl/packet.h>

using namespace digdec;

TEST(CreateDigCommandPacket, MakesEachLayoutOrNone)
{
    auto p610 = CreateDigCommandPacket(0x1802, 3, 1, 610);
    ASSERT_NE(p610, nullptr);
    EXPECT_EQ(p610->Version(), 610);
    EXPECT_EQ(p610->Count(), 3);
    EXPECT_EQ(p610->ExtraCount(), 1);
    EXPECT_EQ(p610->Code(), 0x1802u);

    auto p700 = CreateDigCommandPacket(0x1802, 5, 1, 700);
    ASSERT_NE(p700, nullptr);
    EXPECT_EQ(p700->Version(), 700);
    EXPECT_EQ(p700->Count(), 0);
    EXPECT_EQ(p700->TotalSize(), 24u);
    EXPECT_EQ(p700->Code(), 0x1802u);

    EXPECT_EQ(CreateDigCommandPacket(1, 1, 1, 600), nullptr);
}

TEST(CreateDigCommandPacket, LargeLayout610IsAllocated)
{
    auto p = CreateDigCommandPacket(1, 40, 3, 610);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Count(), 40);
    EXPECT_EQ(p->ExtraCount(), 3);
    ASSERT_TRUE(p->SetWide(42, 7));
    EXPECT_EQ(p->ExtraSlotAddress(2), p->Address() + 24 + 8 * 42);
    EXPECT_EQ(p->WideValue(42), 7u);
    EXPECT_FALSE(p->SetWide(43, 7));
}

TEST(CopyDigCommandPacket, From700To610PutsValuesInSlots)
{
    DigCommandPacket700 from;
    from.SetCode(0x11802);
    from.SetWordA(1);
    from.SetWordB(2);
    from.SetWordC(3);
    ASSERT_TRUE(from.SetIntFlag1(0, 5));
    ASSERT_TRUE(from.SetReal(1, 2.5));
    ASSERT_TRUE(from.SetCounted(2, 7, 3));
    ASSERT_TRUE(from.SetPair(3, -1, 4));

    DigCommandPacket610 to(3, 1);
    ASSERT_TRUE(CopyDigCommandPacket(from, to));
    EXPECT_EQ(to.Code(), 0x11802u);
    EXPECT_EQ(to.WordA(), 1u);
    EXPECT_EQ(to.WordB(), 2u);
    EXPECT_EQ(to.WordC(), 3u);
    EXPECT_EQ(to.Count(), 3);
    EXPECT_EQ(to.ExtraCount(), 1);
    EXPECT_EQ(to.WideValue(0), 5u) << "a 4-byte value is zero-padded in its slot";
    EXPECT_EQ(to.RealValue(1), 2.5);
    EXPECT_EQ(to.Value(2), 7u);
    EXPECT_EQ(to.SecondWord(2), 12u);
    EXPECT_EQ(to.IntValue(3), -1);
    EXPECT_EQ(to.ExtraSlotAddress(0), to.ValueAddress(3));
}

TEST(CopyDigCommandPacket, From610To700AppendsEverySlotWhole)
{
    DigCommandPacket610 from(2, 1);
    from.SetCode(0x1802);
    from.SetWordB(9);
    ASSERT_TRUE(from.SetWord(0, 42));
    ASSERT_TRUE(from.SetReal(1, 0.5));
    ASSERT_TRUE(from.SetText(2, 0x77));

    DigCommandPacket700 to;
    ASSERT_TRUE(CopyDigCommandPacket(from, to));
    EXPECT_EQ(to.Code(), 0x1802u);
    EXPECT_EQ(to.WordB(), 9u);
    EXPECT_EQ(to.Version(), 700);
    EXPECT_EQ(to.Count(), 3);
    EXPECT_EQ(to.TotalSize(), 24u + 3 * 10);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(to.Kind(i), dvl::kKindWide);
    EXPECT_EQ(to.WideValue(0), 42u);
    EXPECT_EQ(to.RealValue(1), 0.5);
    EXPECT_EQ(to.TextValue(2), 0x77u);
}

TEST(CopyDigCommandPacket, Between700sCopiesThePacketBytes)
{
    DigCommandPacket700 from;
    from.SetCode(1);
    ASSERT_TRUE(from.SetIntFlag2(0, 3));
    ASSERT_TRUE(from.SetWide(1, 4));
    DigCommandPacket700 to;
    ASSERT_TRUE(CopyDigCommandPacket(from, to));
    ASSERT_EQ(to.TotalSize(), from.TotalSize());
    EXPECT_EQ(std::memcmp(to.Address(), from.Address(), from.TotalSize()), 0);
    EXPECT_EQ(to.Flags(0), 2);
    EXPECT_EQ(to.WideValue(1), 4u);
}

TEST(CopyDigCommandPacket, Between610sCopiesSlotsAndCounts)
{
    DigCommandPacket610 from(3, 1);
    from.SetCode(6);
    ASSERT_TRUE(from.SetWord(3, 11));
    ASSERT_TRUE(from.SetExtraCount(1));
    DigCommandPacket610 to(5, 2);
    ASSERT_TRUE(CopyDigCommandPacket(from, to));
    EXPECT_EQ(to.Count(), 3);
    EXPECT_EQ(to.ExtraCount(), 1);
    EXPECT_EQ(to.Value(3), 11u);
    EXPECT_EQ(to.Code(), 6u);
}

TEST(CopyDigCommandPacket, RefusedCopiesLeaveTheTargetUnchanged)
{
    DigCommandPacket610 twelve(12, 1);
    DigCommandPacket700 to;
    ASSERT_TRUE(to.SetWord(0, 99));
    EXPECT_FALSE(CopyDigCommandPacket(twelve, to)) << "13 whole slots need 130 bytes of parameters";
    EXPECT_EQ(to.Count(), 1);
    EXPECT_EQ(to.Value(0), 99u);

    DigCommandPacket700 four;
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(four.SetWord(i, 1));
    DigCommandPacket610 small(2, 1);
    ASSERT_TRUE(small.SetWord(0, 5));
    EXPECT_FALSE(CopyDigCommandPacket(four, small));
    EXPECT_EQ(small.Value(0), 5u);

    dvl::PacketWriter big(1);
    for (int i = 0; i < 20; ++i)
        big.AddInt(i);
    DigCommandPacket700 wrapped;
    ASSERT_TRUE(wrapped.Wrap(big.data(), big.bytes().size()));
    EXPECT_FALSE(CopyDigCommandPacket(wrapped, to)) << "over 120 bytes";
    EXPECT_EQ(to.Value(0), 99u);
}
