#include <gtest/gtest.h>

#include <vector>

#include <fgcamera/fgcamera.h>
#include <iidc/colour_conversion.h>

namespace {

using iidc::ConversionContext;

TEST(IidcConversion, YuvTablesHoldTheTruncatedCoefficients)
{
    const iidc::YuvTables& t = iidc::Tables();
    struct Case {
        int32_t entry, high, low;
    };
    const Case cases[] = {{t.u[0], -226, 44},   {t.v[0], -179, 91}, {t.u[255], 224, -43},
                          {t.v[255], 178, -90}, {t.u[128], 0, 0},   {t.v[128], 0, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(iidc::High(c.entry), c.high);
        EXPECT_EQ(iidc::Low(c.entry), c.low);
    }
}

// One pixel (two for YUV422, four for YUV411) of `coding`, converted at column 0.
std::vector<int> FirstPixel(uint32_t coding, int32_t space, int32_t bits,
                            std::vector<uint8_t> frame, bool swap = false)
{
    const int32_t width = coding == CM_YUV411 ? 4 : coding == CM_YUV422 ? 2 : 1;
    std::vector<uint16_t> planes[3] = {std::vector<uint16_t>(width), std::vector<uint16_t>(width),
                                       std::vector<uint16_t>(width)};
    ConversionContext c{coding, space, bits, swap, width, width, 1, 0, 0};
    c.frame = frame.data();
    c.frame_length = frame.size();
    for (int i = 0; i < 3; ++i)
        c.planes[i] = planes[i].data();
    EXPECT_EQ(iidc::ConvertFrame(c), FG_SUCCESS);
    std::vector<int> out;
    for (int i = 0; i < (space == iidc::kGray ? 1 : 3); ++i)
        out.push_back(bits == 8 ? reinterpret_cast<const uint8_t*>(planes[i].data())[0]
                                : planes[i][0]);
    return out;
}

TEST(IidcConversion, PixelsOfEveryCodingInEveryColourSpace)
{
    using iidc::kGray, iidc::kRgb, iidc::kYuv;
    struct Case {
        uint32_t coding;
        int32_t space, bits;
        std::vector<uint8_t> frame;
        bool swap;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {CM_RGB8, kGray, 8, {255, 255, 255}, false, {254}},
        {CM_RGB8, kRgb, 8, {200, 100, 50}, false, {200, 100, 50}},
        {CM_RGB8, kYuv, 8, {200, 100, 50}, false, {124, uint8_t(-41), 54}},
        {CM_RGB8, kYuv, 9, {200, 100, 50}, false, {248, uint16_t(-82), 108}},
        {CM_YUV444, kRgb, 8, {128, 100, 255}, false, {255, 10, 100}},
        {CM_YUV444, kRgb, 8, {128, 10, 0}, false, {1, 101, 10}},
        {CM_YUV444, kYuv, 8, {17, 100, 200}, false, {100, 17, 200}},
        {CM_YUV444, kRgb, 10, {128, 255, 255}, false, {1023, 656, 1020}},
        {CM_YUV444, kRgb, 10, {128, 0, 0}, false, {0, 364, 0}},
        {CM_YUV422, kRgb, 8, {128, 100, 255, 50}, false, {255, 10, 100}},
        {CM_YUV411, kYuv, 12, {30, 40, 41, 60, 42, 43}, false, {640, 480, 960}},
        {CM_Y8, kRgb, 8, {77}, false, {77, 77, 77}},
        {CM_Y8, kYuv, 8, {77}, false, {77, 0, 0}},
        {CM_Y8, kGray, 16, {77}, false, {77 << 8}},
        {CM_Y16, kGray, 12, {0xAB, 0xCD}, false, {0xABC}},
        {CM_Y16, kGray, 12, {0xCD, 0xAB}, true, {0xABC}},
        {CM_Y16, kGray, 8, {0xAB, 0xCD}, false, {0xAB}},
        {CM_Y16, kRgb, 8, {0xCD, 0xAB}, true, {0xAB, 0xAB, 0xAB}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FirstPixel(c.coding, c.space, c.bits, c.frame, c.swap), c.expected)
            << "coding " << c.coding << " space " << c.space << " bits " << c.bits;
}

// Whole groups are worked out without the tables: every luma with every U and V
// pair gives the tables' colours.
TEST(IidcConversion, WholeGroupsMatchTheTablesForEveryLumaAndChroma)
{
    struct Coding {
        uint32_t coding;
        int pixels, bytes, u, v;
        std::vector<int> y;
    };
    const Coding codings[] = {{CM_YUV411, 4, 6, 0, 3, {1, 2, 4, 5}},
                              {CM_YUV422, 2, 4, 0, 2, {1, 3}},
                              {CM_YUV444, 1, 3, 0, 2, {1}}};
    const iidc::YuvTables& t = iidc::Tables();
    auto saturate = [](int sum) { return sum < 0 ? 1 : sum > 255 ? 255 : sum; };
    for (const Coding& k : codings) {
        const int32_t width = 65536 * k.pixels;
        std::vector<uint8_t> frame(size_t(65536 * k.bytes));
        std::vector<std::vector<uint8_t>> planes(3, std::vector<uint8_t>(size_t(width)));
        ConversionContext c{k.coding, iidc::kRgb, 8, false, width, width, 1, 0, 0};
        c.frame = frame.data();
        c.frame_length = frame.size();
        for (int i = 0; i < 3; ++i)
            c.planes[i] = planes[i].data();
        int wrong = 0;
        for (int luma = 0; luma < 256; ++luma) {
            for (int g = 0; g < 65536; ++g) {
                uint8_t* group = frame.data() + size_t(g) * size_t(k.bytes);
                group[k.u] = uint8_t(g >> 8);
                group[k.v] = uint8_t(g);
                for (int p = 0; p < k.pixels; ++p)
                    group[k.y[size_t(p)]] = uint8_t(luma + 64 * p);
            }
            ASSERT_EQ(iidc::ConvertFrame(c), FG_SUCCESS);
            for (int i = 0; i < width; ++i) {
                const int g = i / k.pixels, y = uint8_t(luma + 64 * (i % k.pixels));
                const int32_t u = t.u[g >> 8], v = t.v[g & 255];
                wrong += planes[0][size_t(i)] != saturate(y + iidc::High(v)) ||
                         planes[1][size_t(i)] != saturate(y + iidc::Low(u) + iidc::Low(v)) ||
                         planes[2][size_t(i)] != saturate(y + iidc::High(u));
            }
        }
        EXPECT_EQ(wrong, 0) << "coding " << k.coding;
    }
}

// A frame of `width` x `height` pixels of `coding` whose byte i is i mod 256.
std::vector<uint8_t> Counting(uint32_t coding, int width, int height)
{
    const int row = coding == CM_Y8 ? width : coding == CM_YUV411 ? width * 3 / 2 : width * 2;
    std::vector<uint8_t> frame(size_t(row * height));
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = uint8_t(i);
    return frame;
}

TEST(IidcConversion, ThePartIsCutFromAnyColumnAndRow)
{
    struct Case {
        uint32_t coding;
        int32_t space, x_step, y_step;
        std::vector<std::vector<uint8_t>> planes; // 3 x 2 pixels from column 3, row 2
    };
    // 16 pixels a row: Y8 rows of 16 bytes, YUV422 of 32, YUV411 of 24.
    const Case cases[] = {
        {CM_Y8, iidc::kGray, 1, 1, {{35, 36, 37, 51, 52, 53}}},
        {CM_Y8, iidc::kGray, 2, 2, {{35, 37, 39, 67, 69, 71}}},
        // pixel 3 is the second of the group at bytes 4-7 (U Y V Y), pixel 4 the first of 8-11
        {CM_YUV422,
         iidc::kYuv,
         1,
         1,
         {{71, 73, 75, 103, 105, 107}, {68, 72, 72, 100, 104, 104}, {70, 74, 74, 102, 106, 106}}},
        // pixels 3 and 4 lie in the groups at bytes 0-5 and 6-11 (U Y Y V Y Y)
        {CM_YUV411,
         iidc::kYuv,
         1,
         1,
         {{53, 55, 56, 77, 79, 80}, {48, 54, 54, 72, 78, 78}, {51, 57, 57, 75, 81, 81}}},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> frame = Counting(c.coding, 16, 6);
        std::vector<std::vector<uint8_t>> planes(c.planes.size(), std::vector<uint8_t>(6));
        ConversionContext context{c.coding, c.space, 8, false, 16, 3, 2, 3, 2, c.x_step, c.y_step};
        context.frame = frame.data();
        context.frame_length = frame.size();
        for (size_t i = 0; i < planes.size(); ++i)
            context.planes[i] = planes[i].data();
        ASSERT_EQ(iidc::ConvertFrame(context), FG_SUCCESS) << c.coding;
        EXPECT_EQ(planes, c.planes) << "coding " << c.coding << " step " << c.x_step;
    }
}

TEST(IidcConversion, RefusedCodingsPartsAndShortFrames)
{
    struct Case {
        uint32_t coding;
        int32_t space, bits, start_column, width;
        size_t frame_length;
        FGstatus status;
    };
    const Case cases[] = {
        {CM_YUV411, iidc::kRgb, 16, 2, 4, 24 * 4, FG_ERR_RESOLUTION},
        {CM_YUV411, iidc::kGray, 10, 4, 6, 24 * 4, FG_ERR_RESOLUTION},
        {CM_YUV422, iidc::kRgb, 16, 3, 2, 32 * 4, FG_ERR_RESOLUTION},
        {CM_YUV422, iidc::kYuv, 12, 2, 3, 32 * 4, FG_ERR_RESOLUTION},
        {CM_YUV422, iidc::kGray, 16, 3, 3, 32 * 4, FG_SUCCESS},
        {CM_YUV422, iidc::kRgb, 8, 3, 3, 32 * 4, FG_SUCCESS},
        {CM_RGB16, iidc::kRgb, 8, 0, 2, 96 * 4, FG_ERR_GRAB},
        {CM_Y8, iidc::kGray, 8, 0, 16, 16 * 4 - 1, FG_ERR_GRAB},
        {CM_Y8, iidc::kGray, 8, 15, 2, 16 * 4, FG_ERR_GRAB},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> frame(c.frame_length);
        std::vector<uint16_t> planes[3] = {std::vector<uint16_t>(64), std::vector<uint16_t>(64),
                                           std::vector<uint16_t>(64)};
        ConversionContext context{c.coding, c.space, c.bits,         false, 16,
                                  c.width,  4,       c.start_column, 0};
        context.frame = frame.data();
        context.frame_length = frame.size();
        for (int i = 0; i < 3; ++i)
            context.planes[i] = planes[i].data();
        EXPECT_EQ(iidc::ConvertFrame(context), c.status)
            << "coding " << c.coding << " column " << c.start_column;
    }
}

} // namespace
