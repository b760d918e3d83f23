#include <gtest/gtest.h>

#include <dvl/packet.h>

namespace {

std::vector<std::byte> header(int16_t count, uint32_t size)
{
    std::vector<std::byte> bytes(std::max<std::size_t>(size, dvl::kHeaderSize));
    dvl::Store<int16_t>(bytes.data(), 700);
    dvl::Store<int16_t>(bytes.data() + 2, count);
    dvl::Store<uint32_t>(bytes.data() + 4, size);
    return bytes;
}

} // namespace

TEST(DvlPacket, ValueSizeOfEveryKind)
{
    const std::size_t sizes[] = {4, 8, 4, 8, 8, 4, 4, 8, 4, 4, 8, 0, 0};
    for (uint16_t kind = 0; kind <= 12; ++kind)
        EXPECT_EQ(dvl::ValueSize(kind), sizes[kind]) << "kind " << kind;
    EXPECT_EQ(dvl::ValueSize(511), 0u);
}

TEST(DvlPacket, DescriptorPacksKindFlagsAndIndex)
{
    const uint16_t d = dvl::MakeDescriptor(10, 3, 31);
    EXPECT_EQ(d, 10 | (3 << 9) | (31 << 11));
    EXPECT_EQ(dvl::DescriptorKind(d), 10);
    EXPECT_EQ(dvl::DescriptorFlags(d), 3);
    EXPECT_EQ(dvl::MakeDescriptor(2, 1, 0), 0x0202);
}

TEST(DvlPacket, WriterLaysOutHeaderAndParametersByteExact)
{
    dvl::PacketWriter writer(0x31802, 0xA, 0xB, 0xC);
    writer.AddInt(5).AddText(7);
    const std::vector<std::byte>& b = writer.bytes();
    const uint8_t expected[] = {0xBC, 0x02, 2, 0, 36,  0, 0, 0, 0xA, 0, 0, 0,
                                0x02, 0x18, 3, 0, 0xB, 0, 0, 0, 0xC, 0, 0, 0,
                                2,    0,    5, 0, 0,   0, 5, 8, 7,   0, 0, 0};
    ASSERT_EQ(b.size(), sizeof expected);
    for (std::size_t i = 0; i < sizeof expected; ++i)
        EXPECT_EQ(static_cast<uint8_t>(b[i]), expected[i]) << "byte " << i;
}

TEST(DvlPacket, WalkFindsEveryKind)
{
    dvl::PacketWriter writer(1);
    const uint8_t value[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const std::vector<uint16_t> kinds = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 255, 511};
    for (uint16_t kind : kinds)
        writer.Add(kind, value);
    std::vector<std::size_t> offsets;
    ASSERT_TRUE(dvl::WalkParameters(writer.data(), writer.bytes().size(), offsets));
    ASSERT_EQ(offsets.size(), kinds.size());
    const std::size_t expected[] = {24, 30, 40, 46, 56, 66, 72, 78, 88, 94, 100, 110, 112, 114};
    for (std::size_t i = 0; i < kinds.size(); ++i)
        EXPECT_EQ(offsets[i], expected[i]) << "kind " << kinds[i];
    EXPECT_EQ(writer.bytes().size(), 116u);
}

TEST(DvlPacket, WalkRefusesMalformedPackets)
{
    struct Case {
        const char* what;
        std::vector<std::byte> bytes;
        std::size_t readable;
    };
    auto with_params = [](int16_t count, uint32_t size, std::vector<uint16_t> descriptors) {
        auto bytes = header(count, size);
        std::size_t at = dvl::kHeaderSize;
        for (uint16_t d : descriptors) {
            if (at + 2 <= bytes.size())
                dvl::Store<uint16_t>(bytes.data() + at, d);
            at += 2 + dvl::ValueSize(dvl::DescriptorKind(d));
        }
        return bytes;
    };
    const std::vector<Case> cases = {
        {"shorter than header", header(0, 24), 23},
        {"size below header", header(0, 10), 24},
        {"size above readable", header(0, 40), 30},
        {"negative count", header(-1, 24), 24},
        {"count beyond size", with_params(3, 30, {2}), 30},
        {"value past size", with_params(1, 28, {1}), 28},
        {"valueless kind then trailing bytes", with_params(1, 30, {11}), 30},
        {"trailing bytes", with_params(1, 32, {2}), 32},
        {"huge count", header(INT16_MAX, 24), 24},
    };
    for (const Case& c : cases) {
        std::vector<std::size_t> offsets{99};
        EXPECT_FALSE(dvl::WalkParameters(c.bytes.data(), c.readable, offsets)) << c.what;
        EXPECT_TRUE(offsets.empty()) << c.what;
    }
}

TEST(DvlPacket, WalkAcceptsEmptyPacket)
{
    auto bytes = header(0, 24);
    std::vector<std::size_t> offsets;
    EXPECT_TRUE(dvl::WalkParameters(bytes.data(), bytes.size(), offsets));
    EXPECT_TRUE(offsets.empty());
}
