#include <gtest/gtest.h>

#include <dvl/dvlbrn.h>
#include <dvl/packet.h>
#include <dvl/text_buffer.h>

namespace {

class Brn : public ::testing::Test {
protected:
    void SetUp() override
    {
        dvl::BrnClearReceivedPackets();
        dvl::BrnSetNames(dvl::BrnDefaultNames());
    }
};

} // namespace

TEST_F(Brn, RecordsEveryPacketAsReceived)
{
    dvl::PacketWriter first(1);
    first.AddInt(0).AddInt(5);
    dvl::PacketWriter second(0x42);
    DvlBrnProcessCommand(first.data());
    DvlBrnProcessCommand(second.data());
    const auto received = dvl::BrnReceivedPackets();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0], first.bytes());
    EXPECT_EQ(received[1], second.bytes());
}

TEST_F(Brn, NameQueryFillsParametersTwoToFive)
{
    std::vector<dvl::TextBuffer> texts;
    for (int i = 0; i < 4; ++i)
        texts.emplace_back(64, "");
    dvl::PacketWriter packet(dvl::kCommandNameQuery);
    packet.AddInt(0).AddInt(2);
    for (const auto& t : texts)
        packet.AddText(t.handle());
    DvlBrnProcessCommand(packet.data());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(texts[i].str(), dvl::BrnDefaultNames()[i]);
    EXPECT_EQ(texts[0].str(), "Brenna");
}

TEST_F(Brn, NamesAreCutToTheBufferAndOtherCommandsLeaveTextsAlone)
{
    dvl::TextBuffer small(5, "");
    dvl::TextBuffer other(32, "keep");
    dvl::PacketWriter query(dvl::kCommandNameQuery);
    query.AddInt(0).AddInt(2).AddText(small.handle());
    DvlBrnProcessCommand(query.data());
    EXPECT_EQ(small.str(), "Bren");

    dvl::PacketWriter not_a_text(dvl::kCommandNameQuery);
    not_a_text.AddInt(0).AddInt(2).AddInt(static_cast<int32_t>(other.handle()));
    DvlBrnProcessCommand(not_a_text.data());
    EXPECT_EQ(other.str(), "keep");

    dvl::PacketWriter command(0x1803);
    command.AddInt(0).AddInt(2).AddText(other.handle());
    DvlBrnProcessCommand(command.data());
    EXPECT_EQ(other.str(), "keep");
}

TEST_F(Brn, ConfiguredNamesAreAnswered)
{
    dvl::BrnSetNames({"Brenna X", "", "", ""});
    dvl::TextBuffer text(32, "");
    dvl::PacketWriter query(dvl::kCommandNameQuery | dvl::kCodeFlag16);
    query.AddInt(0).AddInt(3).AddText(text.handle());
    DvlBrnProcessCommand(query.data());
    EXPECT_EQ(text.str(), "Brenna X");
}
