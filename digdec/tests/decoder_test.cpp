// The module DVLZPH2D loaded by name through the board library, handed packets,
// and what reaches the generic module DVLBRN.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <thread>

#include <dvl/digitizer_module.h>
#include <dvl/dvlbrn.h>
#include <dvl/packet.h>
#include <dvl/reports.h>
#include <dvl/text_buffer.h>

namespace {

constexpr const char* kDecoderExport = "DDZephonIIDigCommandDecoder";

class Decoder : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(module.Open("DVLZPH2D", kDecoderExport), DVL_OK) << module.error();
        dvl::BrnClearReceivedPackets();
        dvl::BrnSetNames(dvl::BrnDefaultNames());
        dvl::ClearRecordedReports();
    }

    // A name query: parameter 0 an integer, parameter 1 = `which`, then the
    // four text parameters.
    dvl::PacketWriter NameQuery(int32_t which, uint32_t code = dvl::kCommandNameQuery)
    {
        dvl::PacketWriter packet(code);
        packet.AddInt(0).AddInt(which);
        for (const auto& t : texts)
            packet.AddText(t.handle());
        return packet;
    }

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> out;
        for (const auto& t : texts)
            out.push_back(t.str());
        return out;
    }

    dvl::DigitizerModule module;
    std::vector<dvl::TextBuffer> texts = [] {
        std::vector<dvl::TextBuffer> made;
        for (int i = 0; i < 4; ++i)
            made.emplace_back(64, "");
        return made;
    }();
};

} // namespace

TEST_F(Decoder, CommandOneReachesGenericModuleWithZephonBit)
{
    for (uint32_t code : {1u, 0x10001u, 0x20001u}) {
        dvl::BrnClearReceivedPackets();
        dvl::PacketWriter packet(code);
        packet.AddInt(0).AddInt(5);
        module.Send(packet.data());
        const auto received = dvl::BrnReceivedPackets();
        ASSERT_EQ(received.size(), 1u);
        EXPECT_EQ(dvl::Load<uint32_t>(received[0].data() + 32), 5u | 0x1000000u) << code;
        EXPECT_EQ(dvl::Load<uint32_t>(packet.data() + 32), 5u | 0x1000000u) << code;
        EXPECT_EQ(received[0].size(), 36u);
    }
}

TEST_F(Decoder, NameQueryTwoRenamesParametersTwoToFive)
{
    dvl::BrnSetNames({"Brenna", "Brenna-77", "Brenna Dig 0", "Brenna on Brenna"});
    auto packet = NameQuery(2);
    module.Send(packet.data());
    EXPECT_EQ(Texts(),
              (std::vector<std::string>{"Zephon II Dig", "Zephon II Dig-77", "Zephon II Dig Dig 0",
                                        "Zephon II Dig on Brenna"}));
    EXPECT_TRUE(dvl::RecordedReports().empty());
}

TEST_F(Decoder, NameQueryThreeRenamesParameterTwoOnly)
{
    auto packet = NameQuery(3, dvl::kCommandNameQuery | dvl::kCodeFlag17);
    module.Send(packet.data());
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Zephon II Dig", "Brenna Dig", "Brenna Dig 0",
                                                 "Brenna on Brenna"}));
}

TEST_F(Decoder, ParametersOfKindsAboveTenTakeNoValueBytes)
{
    for (uint16_t kind : {11, 200, 511}) {
        auto packet = NameQuery(2);
        packet.Add(kind, nullptr);
        module.Send(packet.data());
        EXPECT_EQ(Texts()[0], "Zephon II Dig") << kind;
    }
}

TEST_F(Decoder, OtherSelectorsAndTextsWithoutBrennaStay)
{
    for (int32_t which : {0, 1, 4, -2}) {
        auto packet = NameQuery(which);
        module.Send(packet.data());
        EXPECT_EQ(Texts()[0], "Brenna") << which;
    }
    dvl::BrnSetNames({"Zephon", "brenna", "", "Bren na"});
    auto packet = NameQuery(2);
    module.Send(packet.data());
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Zephon", "brenna", "", "Bren na"}));
}

TEST_F(Decoder, OtherCommandsPassUnchanged)
{
    for (uint32_t code : {0u, 2u, 0x1801u, 0x1803u, 0x11801u}) {
        dvl::BrnClearReceivedPackets();
        auto packet = NameQuery(2, code);
        packet.AddInt(5);
        const auto sent = packet.bytes();
        module.Send(packet.data());
        ASSERT_EQ(dvl::BrnReceivedPackets().size(), 1u);
        EXPECT_EQ(dvl::BrnReceivedPackets()[0], sent) << code;
        EXPECT_EQ(packet.bytes(), sent) << code;
        EXPECT_EQ(Texts(), std::vector<std::string>(4, "")) << code;
    }
}

TEST_F(Decoder, MalformedPacketsPassUnchanged)
{
    struct Case {
        const char* what;
        std::function<void(dvl::PacketWriter&)> spoil;
    };
    const Case cases[] = {
        {"count above the parameters", [](auto& p) { dvl::Store<int16_t>(p.data() + 2, 3); }},
        {"negative count", [](auto& p) { dvl::Store<int16_t>(p.data() + 2, -1); }},
        {"unknown kind",
         [](auto& p) { dvl::Store<uint16_t>(p.data() + 24, dvl::MakeDescriptor(40, 0, 0)); }},
        {"size short of the parameters", [](auto& p) { dvl::Store<uint32_t>(p.data() + 4, 34); }},
        {"size below the header", [](auto& p) { dvl::Store<uint32_t>(p.data() + 4, 8); }},
        {"trailing bytes",
         [](auto& p) {
             p.bytes().resize(40);
             dvl::Store<uint32_t>(p.data() + 4, 40);
         }},
    };
    for (const Case& c : cases) {
        dvl::BrnClearReceivedPackets();
        dvl::PacketWriter packet(1);
        packet.AddInt(0).AddInt(5);
        c.spoil(packet);
        const auto sent = packet.bytes();
        module.Send(packet.data());
        EXPECT_EQ(packet.bytes(), sent) << c.what;
        const auto received = dvl::BrnReceivedPackets();
        ASSERT_EQ(received.size(), 1u) << c.what;
        ASSERT_LE(received[0].size(), sent.size()) << c.what;
        EXPECT_TRUE(std::equal(received[0].begin(), received[0].end(), sent.begin())) << c.what;
    }
}

TEST_F(Decoder, TextThatDoesNotFitIsCutAndReported)
{
    texts[0] = dvl::TextBuffer(10, "");
    texts[1] = dvl::TextBuffer(300, "");
    const std::string tail(140, 't');
    dvl::BrnSetNames({"Brenna", "Brenna" + tail, "", ""});
    auto packet = NameQuery(2);
    module.Send(packet.data());
    EXPECT_EQ(texts[0].str(), "Zephon II");
    EXPECT_EQ(texts[1].str(), ("Zephon II Dig" + tail).substr(0, 127));

    const auto reports = dvl::RecordedReports();
    ASSERT_EQ(reports.size(), 2u);
    for (const auto& r : reports) {
        EXPECT_EQ(r.ordinals, (std::vector<int>{169, 172, 1223}));
        EXPECT_EQ(r.origin, "Internal");
        EXPECT_EQ(r.code, 102);
        EXPECT_EQ(r.title, "Text truncated.");
    }
}

TEST_F(Decoder, UnknownTextHandlesAreSkipped)
{
    dvl::PacketWriter packet(dvl::kCommandNameQuery);
    packet.AddInt(0).AddInt(2).AddText(0).AddText(0xFFFFFF).AddInt(7);
    module.Send(packet.data());
    EXPECT_EQ(dvl::BrnReceivedPackets().size(), 1u);
    EXPECT_TRUE(dvl::RecordedReports().empty());
}

TEST_F(Decoder, ValuesOfOtherKindsAreNeverTakenForTextHandles)
{
    // Handles are small numbers, so an integer parameter may well equal one.
    dvl::TextBuffer elsewhere(64, "Brenna");
    const uint32_t handle = elsewhere.handle();
    for (uint16_t kind : {dvl::kKindWord, dvl::kKindInt, dvl::kKindWord6, dvl::kKindWide}) {
        const uint64_t value = handle;
        dvl::PacketWriter packet(dvl::kCommandNameQuery);
        packet.AddInt(0).AddInt(2).Add(kind, &value).Add(kind, &value);
        module.Send(packet.data());
        EXPECT_EQ(elsewhere.str(), "Brenna") << kind;
    }
    EXPECT_TRUE(dvl::RecordedReports().empty());
}

TEST_F(Decoder, ConcurrentCallsOnDifferentPacketsDoNotInterfere)
{
    std::vector<std::thread> threads;
    std::vector<int> good(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int n = 0; n < 100; ++n) {
                dvl::TextBuffer text(32, "");
                dvl::PacketWriter packet(dvl::kCommandNameQuery);
                packet.AddInt(t).AddInt(3).AddText(text.handle());
                module.Send(packet.data());
                good[t] += text.str() == "Zephon II Dig";
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(good, std::vector<int>(4, 100));
    EXPECT_EQ(dvl::BrnReceivedPackets().size(), dvl::kBrnRecordedPackets); // of the 400
}

TEST(DigitizerModuleLoader, ReportsTheStepThatFailed)
{
    dvl::DigitizerModule module;
    EXPECT_EQ(module.Open("DVLNONE", kDecoderExport), DVL_MODULE_NOT_FOUND);
    EXPECT_FALSE(module.loaded());
    EXPECT_FALSE(module.error().empty());

    const auto bin = std::filesystem::canonical("/proc/self/exe").parent_path();
    EXPECT_EQ(module.Open((bin / "libDVLBRN.so").string(), kDecoderExport), DVL_MODULE_NO_ENTRY);
    EXPECT_EQ(module.Open("DVLZPH2D", "DDZephonIDigCommandDecoder"), DVL_MODULE_NO_EXPORT);
    EXPECT_FALSE(module.loaded());
    module.Send(nullptr);

    EXPECT_EQ(module.Open("DVLZPH2D", kDecoderExport), DVL_OK);
    EXPECT_TRUE(module.loaded());
}

TEST_F(Decoder, NullPacketIsIgnored)
{
    module.Send(nullptr);
    EXPECT_TRUE(dvl::BrnReceivedPackets().empty());
}
