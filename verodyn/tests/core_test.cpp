#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>

#include <verodyn/verodyn.h>

namespace {

class CoreTest : public ::testing::Test {
protected:
    void SetUp() override { set_check("~give_error"); }
    void TearDown() override { set_check("give_error"); }
};

TEST_F(CoreTest, GenImage3CopiesPlanesAndPointersReadThemInPlace)
{
    const unsigned char r[6] = {1, 2, 3, 4, 5, 6}, g[6] = {7, 8, 9, 10, 11, 12}, b[6] = {0};
    Vobject image;
    ASSERT_EQ(gen_image3(&image, "byte", 3, 2, r, g, b), V_OK);
    int channels = 0;
    ASSERT_EQ(count_channels(image, &channels), V_OK);
    EXPECT_EQ(channels, 3);
    void *pr, *pg, *pb;
    std::string type;
    int w = 0, h = 0;
    ASSERT_EQ(get_image_pointer3(image, &pr, &pg, &pb, &type, &w, &h), V_OK);
    EXPECT_EQ(type, "byte");
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
    EXPECT_NE(pr, static_cast<const void*>(r));
    EXPECT_EQ(static_cast<unsigned char*>(pr)[5], 6);
    EXPECT_EQ(static_cast<unsigned char*>(pg)[3], 10);
    EXPECT_EQ(get_image_pointer1(image, &pr, nullptr, nullptr, nullptr), V_OK);
}

// Small images come from the heap, large ones (from 4 MB) are mapped on their
// own: every plane starts cleared and 64-byte aligned either way.
TEST_F(CoreTest, NewImagesOfAnySizeAreClearedAndAligned)
{
    const struct {
        int width, height, channels;
    } cases[] = {{1, 1, 1}, {5, 3, 3}, {1024, 512, 3}, {1000, 1001, 3}};
    for (const auto& c : cases) {
        const auto image = VImage::create(VPixelType::Complex, c.width, c.height, c.channels);
        for (int channel = 0; channel < c.channels; ++channel) {
            const auto* bytes = image->plane_as<std::uint8_t>(channel);
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bytes) % 64, 0u) << c.width;
            EXPECT_EQ(std::count(bytes, bytes + image->plane_bytes(), 0),
                      std::ptrdiff_t(image->plane_bytes()))
                << c.width << " x " << c.height << " channel " << channel;
        }
    }
}

TEST_F(CoreTest, CopiesShareImagesButCopyImageIsIndependent)
{
    Vobject a;
    ASSERT_EQ(gen_image_const(&a, "byte", 4, 4), V_OK);
    Vobject shared = a, copy;
    ASSERT_EQ(copy_image(a, &copy), V_OK);
    void* p;
    get_image_pointer1(a, &p, nullptr, nullptr, nullptr);
    static_cast<unsigned char*>(p)[0] = 9;
    void *ps, *pc;
    get_image_pointer1(shared, &ps, nullptr, nullptr, nullptr);
    get_image_pointer1(copy, &pc, nullptr, nullptr, nullptr);
    EXPECT_EQ(static_cast<unsigned char*>(ps)[0], 9);
    EXPECT_EQ(static_cast<unsigned char*>(pc)[0], 0);
}

TEST_F(CoreTest, FailuresGiveStatusOrThrowByTheCheckSwitch)
{
    Vobject empty, out;
    int channels;
    void* p;
    EXPECT_EQ(count_channels(empty, &channels), VERR_NO_OBJECT);
    EXPECT_EQ(gen_image1(&out, "byte", 0, 5, &channels), VERR_PARAM);
    EXPECT_EQ(gen_image1(&out, "bytes", 2, 2, &channels), VERR_PARAM);
    EXPECT_EQ(gen_image1(&out, "byte", 2, 2, nullptr), VERR_NULL_POINTER);
    // 1263665316 x 1824726041 x 8 bytes is 2^64 + 32: the plane must not wrap to 32 bytes.
    EXPECT_EQ(gen_image_const(&out, "complex", 1263665316, 1824726041), VERR_NO_MEMORY);
    ASSERT_EQ(gen_image_const(&out, "byte", 2, 2), V_OK);
    EXPECT_EQ(get_image_pointer3(out, &p, &p, &p, nullptr, nullptr, nullptr), VERR_CHANNEL);
    EXPECT_EQ(vlast_error(), "get_image_pointer3: channel number out of range");
    EXPECT_EQ(set_check("nonsense"), VERR_PARAM);

    set_check("give_error");
    try {
        count_channels(empty, &channels);
        FAIL() << "no exception";
    } catch (const VException& e) {
        EXPECT_EQ(e.err(), VERR_NO_OBJECT);
    }
}

TEST_F(CoreTest, ConcatMakesTuplesAndEmptyObjectsHaveNoImages)
{
    Vobject a, b, both;
    gen_image_const(&a, "byte", 2, 2);
    gen_image_const(&b, "real", 3, 3);
    ASSERT_EQ(concat_obj(a, b, &both), V_OK);
    EXPECT_EQ(both.count(), 2u);
    EXPECT_EQ(both.image(1)->type(), VPixelType::Real);
    ASSERT_EQ(gen_empty_obj(&both), V_OK);
    EXPECT_TRUE(both.empty());
}

TEST(PixelTypeTest, EachTypeHasItsNameAndSizeAndItsNameParsesBack)
{
    struct Case {
        VPixelType type;
        const char* name;
        std::size_t size;
    };
    for (const Case& c : {Case{VPixelType::Byte, "byte", 1}, Case{VPixelType::Uint2, "uint2", 2},
                          Case{VPixelType::Int4, "int4", 4}, Case{VPixelType::Real, "real", 4},
                          Case{VPixelType::Complex, "complex", 8}}) {
        EXPECT_STREQ(pixel_type_name(c.type), c.name);
        EXPECT_EQ(pixel_size(c.type), c.size) << c.name;
        VPixelType parsed = VPixelType(-1);
        EXPECT_TRUE(parse_pixel_type(c.name, &parsed));
        EXPECT_EQ(parsed, c.type) << c.name;
    }
    VPixelType untouched = VPixelType::Real;
    EXPECT_FALSE(parse_pixel_type("Byte", &untouched));
    EXPECT_FALSE(parse_pixel_type("", &untouched));
    EXPECT_EQ(untouched, VPixelType::Real);
    EXPECT_STREQ(pixel_type_name(VPixelType(7)), "byte");
    EXPECT_EQ(pixel_size(VPixelType(7)), 1u);
}

TEST(TupleTest, ValuesConvertBetweenKinds)
{
    VTuple t(42);
    t.append(2.75).append("17");
    EXPECT_EQ(t.length(), 3u);
    EXPECT_EQ(t[0].L(), 42);
    EXPECT_EQ(t[1].L(), 2);
    EXPECT_DOUBLE_EQ(t[1].D(), 2.75);
    EXPECT_EQ(t[2].L(), 17);
    EXPECT_EQ(t[0].S(), "42");

    const std::pair<const char*, long long> texts[] = {
        {"08", 8},      {"010", 10}, {" -42", -42}, {"12 px", 12}, {"0x1F", 31},
        {"-0X10", -16}, {"0", 0},    {"abc", 0},    {"", 0},
    };
    for (const auto& [text, value] : texts)
        EXPECT_EQ(VCtrlVal(text).L(), value) << '"' << text << '"';

    constexpr long long kMost = std::numeric_limits<long long>::max();
    const std::pair<double, long long> reals[] = {
        {-2.75, -2},
        {1e300, kMost},
        {-1e300, -kMost - 1},
        {0x1p63, kMost},
        {-0x1p63, -kMost - 1},
        {std::numeric_limits<double>::infinity(), kMost},
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const auto& [real, value] : reals)
        EXPECT_EQ(VCtrlVal(real).L(), value) << real;
}

} // namespace
