// The command object: texts, per-parameter tables and layouts.
#include <gtest/gtest.h>

#include <string>

#include "digdec/src/dig_command.h"
#include <dvl/packet.h>

using namespace digdec;

TEST(CommandText, ShortTextsStayInsideLongOnesAreAllocated)
{
    struct Case {
        std::size_t length;
        bool inside;
    };
    for (const Case& c : {Case{0, true}, Case{31, true}, Case{32, false}, Case{300, false}}) {
        const std::string text(c.length, 'x');
        CommandText t(text.c_str());
        EXPECT_EQ(t.c_str(), text) << c.length;
        EXPECT_EQ(t.inside(), c.inside) << c.length;
    }
    CommandText t("long enough to leave the object behind...");
    ASSERT_TRUE(t.Set("short"));
    EXPECT_TRUE(t.inside());
    EXPECT_STREQ(t.c_str(), "short");
    ASSERT_TRUE(t.Set(nullptr));
    EXPECT_STREQ(t.c_str(), "");
}

TEST(DigCommand, WrapsPacketAndDescribesEveryParameter)
{
    dvl::PacketWriter writer(0x1802);
    const uint64_t wide = 0x0000000200000001ull;
    for (int32_t i = 0; i < 12; ++i)
        writer.AddInt(i);
    writer.Add(dvl::kKindPair, &wide, dvl::kFlag2);

    DigCommand command;
    ASSERT_TRUE(command.Wrap(writer.data(), writer.bytes().size()));
    EXPECT_STREQ(command.Name(), "Remote Function");
    EXPECT_EQ(command.packet().Address(), writer.data());
    ASSERT_EQ(command.Described(), 13);
    EXPECT_EQ(command.ParamType(0), dvl::kKindInt);
    EXPECT_EQ(command.ParamType(12), dvl::kKindPair);
    const ParamRecord& last = command.ParamValue(12);
    EXPECT_EQ(last.index, 12);
    EXPECT_EQ(last.kind, dvl::kKindPair);
    EXPECT_EQ(last.flags, 2);
    EXPECT_EQ(last.size, 8);
    EXPECT_EQ(last.word0, 1u);
    EXPECT_EQ(last.word1, 2u);
    EXPECT_EQ(command.ParamValue(5).word0, 5u);
}

TEST(DigCommand, RefusesMalformedPacket)
{
    dvl::PacketWriter writer(1);
    writer.AddInt(1);
    const uint16_t unknown = dvl::MakeDescriptor(12, 0, 0);
    dvl::Store<uint16_t>(writer.data() + 24, unknown);
    DigCommand command;
    EXPECT_FALSE(command.Wrap(writer.data(), writer.bytes().size()));
    EXPECT_FALSE(command.ok());
}

TEST(DigCommand, BuiltByCodeInEitherLayout)
{
    DigCommand c700(0x1802, 4, 700, "Grab", "first", nullptr, 12);
    ASSERT_TRUE(c700.ok());
    EXPECT_STREQ(c700.Name(), "Grab");
    EXPECT_STREQ(c700.Text1(), "first");
    EXPECT_STREQ(c700.Text2(), "");
    EXPECT_EQ(c700.Value(), 12);
    EXPECT_EQ(c700.packet().Version(), 700);
    EXPECT_EQ(c700.packet().Code(), 0x1802u);
    EXPECT_EQ(c700.Described(), 0);

    DigCommand c610(0x1802, 4, 610, nullptr, nullptr, nullptr, 0);
    ASSERT_TRUE(c610.ok());
    EXPECT_STREQ(c610.Name(), "Remote Function");
    EXPECT_EQ(c610.packet().Version(), 610);
    EXPECT_EQ(c610.Described(), 5);
    EXPECT_EQ(c610.ParamValue(4).size, 8);

    DigCommand none(1, 1, 650, nullptr, nullptr, nullptr, 0);
    EXPECT_FALSE(none.ok());
}

TEST(DigCommand, CopiedAcrossLayouts)
{
    DigCommand original(0x1802, 2, 700, "Query", "a", "b", 3);
    ASSERT_TRUE(original.packet().SetIntFlag1(0, 2));
    ASSERT_TRUE(original.packet().SetText(1, 0x42));

    DigCommand as610(original, 610);
    ASSERT_TRUE(as610.ok());
    EXPECT_STREQ(as610.Name(), "Query");
    EXPECT_STREQ(as610.Text2(), "b");
    EXPECT_EQ(as610.Value(), 3);
    EXPECT_EQ(as610.packet().Version(), 610);
    EXPECT_EQ(as610.packet().Value(0), 2u);
    EXPECT_EQ(as610.packet().TextValue(1), 0x42u);

    DigCommand back(as610, 700);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.packet().Version(), 700);
    EXPECT_EQ(back.packet().Code(), 0x1802u);
    EXPECT_EQ(back.packet().TextValue(1), 0x42u);
    EXPECT_EQ(back.ParamType(1), dvl::kKindWide);
}
