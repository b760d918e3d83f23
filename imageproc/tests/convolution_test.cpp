#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>
#include <random>

#include <imageproc/convolution.h>
#include <imageproc/filter_presets.h>
#include <imageproc/tone_curves.h>

namespace {

// Planes of width x height, every channel filled with `rows[y]` along row y.
PlaneBuffers Rows(int width, std::vector<uint8_t> rows, int channels = 1)
{
    PlaneBuffers p;
    p.width = width;
    p.height = static_cast<int>(rows.size());
    p.channels = channels;
    for (int c = 0; c < 3; ++c)
        for (uint8_t v : rows)
            p.planes[c].insert(p.planes[c].end(), width, v);
    return p;
}

Vobject ImageOf(const PlaneBuffers& p)
{
    Vobject image;
    EXPECT_EQ(GenImageFromPlanes(p, &image), V_OK);
    return image;
}

TEST(ToneCurves, TheValuesOfTheSliders)
{
    struct Case {
        int luminancePosition, gammaPosition, v, expected;
    };
    const Case cases[] = {{100, 100, 230, 255}, {0, 100, 30, 0},  {50, 50, 64, 127},
                          {50, 200, 128, 64},   {60, 100, 5, 15}, {55, 100, 253, 255}};
    for (const Case& c : cases)
        EXPECT_EQ(LuminanceGammaTable(LuminanceOfPosition(c.luminancePosition),
                                      GammaOfPosition(c.gammaPosition))[c.v],
                  c.expected)
            << c.luminancePosition << " " << c.gammaPosition << " " << c.v;
    const ToneTable identity = LuminanceGammaTable(0, GammaOfPosition(100));
    for (int v = 0; v < 256; ++v)
        EXPECT_EQ(identity[v], v);

    struct Product {
        float factor;
        int v, expected;
    };
    const Product products[] = {{CoefficientOfPosition(1), 9, 0},
                                {CoefficientOfPosition(25), 200, 255},
                                {1.05f, 100, 104},
                                {1.05f, 20, 21},
                                {2, 200, 255}};
    for (const Product& p : products)
        EXPECT_EQ(MultiplyTable(p.factor)[p.v], p.expected) << p.factor << " " << p.v;

    PlaneBuffers grey = Rows(2, {10});
    ApplyTable(MultiplyTable(2), &grey);
    EXPECT_EQ(grey.planes[0], (std::vector<uint8_t>{20, 20}));
    EXPECT_EQ(grey.planes[1], (std::vector<uint8_t>{10, 10})); // not a channel of a grey image
}

// Every byte, at every position of a 64-byte block and in the tail past the
// last whole block, goes through the table.
TEST(ToneCurves, EveryByteAtEveryPositionThroughTheTable)
{
    ToneTable table{};
    for (int v = 0; v < 256; ++v)
        table[v] = static_cast<uint8_t>(v * 167 + 31);
    PlaneBuffers p;
    p.width = 257 * 64 + 63;
    p.height = 1;
    p.channels = 3;
    for (int c = 0; c < 3; ++c)
        for (int x = 0; x < p.width; ++x)
            p.planes[c].push_back(static_cast<uint8_t>(x / 64 + x + c));
    const PlaneBuffers before = p;
    ApplyTable(table, &p);
    for (int c = 0; c < 3; ++c)
        for (int x = 0; x < p.width; ++x)
            ASSERT_EQ(p.planes[c][x], table[before.planes[c][x]]) << c << " " << x;
}

TEST(FilterPresets, NamesAndTheEntriesThatUsersKeep)
{
    EXPECT_STREQ(FilterName(0), "Laws feature ext.1 (Débruiteur)");
    EXPECT_STREQ(FilterName(16), "Sharpen gentle");
    struct Case {
        int filter, dimension, divisor, row, column, value;
    };
    const Case cases[] = {{0, 3, 36, 1, 1, 4},   {2, 3, 12, 3, 3, 4},   {2, 3, 12, 4, 3, -2},
                          {3, 3, 12, 2, 4, 1},   {7, 3, 8, 2, 1, 2},    {10, 5, 25, 4, 4, 1},
                          {13, 5, 24, 2, 2, 25}, {13, 5, 24, 4, 4, -1}, {16, 3, 1, 1, 1, 3}};
    for (const Case& c : cases) {
        const ConvolutionFilter& f = FilterPreset(c.filter);
        EXPECT_EQ(f.dimension, c.dimension) << c.filter;
        EXPECT_EQ(f.divisor, c.divisor) << c.filter;
        EXPECT_EQ(f.kernel[c.row * kKernelSide + c.column], c.value) << c.filter;
    }
    EXPECT_EQ(FilterPreset(1).kernel[2 * kKernelSide + 1], -2);
    EXPECT_EQ(FilterPreset(13).kernel[5 * kKernelSide + 5], 0);
}

TEST(Convolve, KernelAsDisplayedEdgesRepeatedTruncatedAndClipped)
{
    const int16_t* laws1 = FilterPreset(0).kernel.data();
    std::vector<int16_t> smooth, laws2;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            smooth.push_back(laws1[r * kKernelSide + c]);
            laws2.push_back(FilterPreset(1).kernel[r * kKernelSide + c]);
        }
    PlaneBuffers flat = Rows(5, {90, 90, 90, 90}, 3);
    Convolve(smooth.data(), 3, 36, &flat);
    for (const auto& plane : flat.planes)
        EXPECT_EQ(plane, std::vector<uint8_t>(20, 40));

    PlaneBuffers edge = Rows(3, {120, 120, 120, 0, 0, 0});
    Convolve(laws2.data(), 3, 12, &edge);
    EXPECT_EQ(edge.planes[0], Rows(3, {0, 0, 40, 40, 0, 0}).planes[0]);
    PlaneBuffers upsideDown = Rows(3, {0, 0, 0, 120, 120, 120});
    Convolve(laws2.data(), 3, 12, &upsideDown);
    EXPECT_EQ(upsideDown.planes[0], std::vector<uint8_t>(18, 0));
    PlaneBuffers columns = Rows(6, {120, 120, 120});
    for (int y = 0; y < 3; ++y)
        std::fill_n(columns.planes[0].begin() + 6 * y + 3, 3, 0);
    Convolve(laws2.data(), 3, 12, &columns);
    EXPECT_EQ(columns.planes[0], std::vector<uint8_t>(18, 0));

    // One coefficient: the value it keeps, its place, the divisor's rules.
    struct Case {
        int16_t coefficient, divisor;
        int expected;
    };
    const Case cases[] = {{200, 100, 2}, {3, 0, 3}, {3, -5, 3}, {-1, 1, 0}, {7, 2, 3}};
    for (const Case& c : cases) {
        PlaneBuffers one = Rows(1, {1});
        Convolve(&c.coefficient, 1, c.divisor, &one);
        EXPECT_EQ(one.planes[0][0], c.expected) << c.coefficient << " / " << c.divisor;
    }
    // Sums beyond single precision are summed exactly too.
    for (int16_t k : {30000, -30000}) {
        const std::vector<int16_t> large(9, k);
        PlaneBuffers ones = Rows(3, {1, 1});
        Convolve(large.data(), 3, 30000, &ones);
        EXPECT_EQ(ones.planes[0], std::vector<uint8_t>(6, k > 0 ? 9 : 0)) << k;
    }
    const int16_t right[9] = {0, 0, 0, 0, 0, 1, 0, 0, 0};
    PlaneBuffers ramp = Rows(4, {0});
    ramp.planes[0] = {10, 20, 30, 40};
    Convolve(right, 3, 1, &ramp);
    EXPECT_EQ(ramp.planes[0], (std::vector<uint8_t>{20, 30, 40, 40}));
}

// Every kernel size over colour images tall enough to be cut into many bands,
// against the rule itself: edges repeated, truncated, clipped.
TEST(Convolve, EveryKernelSizeAcrossBandsAsTheDirectSum)
{
    std::mt19937 random(35);
    for (int n = 1; n <= 7; ++n)
        for (auto [width, height] : {std::pair{5, 40}, std::pair{640, 420}}) {
            PlaneBuffers p = Rows(width, std::vector<uint8_t>(height), 3);
            for (auto& plane : p.planes)
                for (uint8_t& v : plane)
                    v = uint8_t(random());
            std::vector<int16_t> kernel(n * n);
            for (int16_t& k : kernel)
                k = int16_t(int(random() % 41) - 14);
            const int16_t divisor = int16_t(n * 7);
            const PlaneBuffers source = p;
            Convolve(kernel.data(), n, divisor, &p);
            const int a = (n - 1) / 2;
            auto at = [&](const std::vector<uint8_t>& plane, int x, int y) {
                return int(
                    plane[std::clamp(y, 0, height - 1) * width + std::clamp(x, 0, width - 1)]);
            };
            for (int c = 0; c < 3; ++c)
                for (int y = 0; y < height; ++y)
                    for (int x = 0; x < width; ++x) {
                        int sum = 0;
                        for (int r = 0; r < n; ++r)
                            for (int k = 0; k < n; ++k)
                                sum +=
                                    kernel[r * n + k] * at(source.planes[c], x + k - a, y + r - a);
                        const int expected = std::clamp(sum / divisor, 0, 255);
                        ASSERT_EQ(p.planes[c][y * width + x], expected)
                            << n << " " << width << " " << c << " " << x << " " << y;
                    }
        }
}

// The copies around the bands of a wide image come to most of its size: once
// the call returns, the heap holds no more of them (worker rings may stay).
TEST(Convolve, AWideImageLeavesNoCopiesBehind)
{
    constexpr int kWide = 8192, kTall = 1024;
    const int16_t kernel[49] = {1};
    PlaneBuffers grey = Rows(kWide, std::vector<uint8_t>(kTall, 9));
    Convolve(kernel, 7, 1, &grey);
    PlaneBuffers colour = Rows(kWide, std::vector<uint8_t>(kTall, 9), 3);
    const auto inUse = [] {
        const struct mallinfo2 m = mallinfo2();
        return m.uordblks + m.hblkhd;
    };
    const std::size_t before = inUse();
    Convolve(kernel, 7, 1, &colour);
    const std::size_t copies = std::size_t(3) * (kTall / 8) * 6 * kWide;
    EXPECT_LT(inUse(), before + copies / 2);
    EXPECT_EQ(colour.planes[2][0], 9);
}

TEST(StretchContrast, RangeOfTheFirstPlaneToEveryChannel)
{
    PlaneBuffers p = Rows(3, {0}, 3);
    p.planes[0] = {50, 100, 150};
    p.planes[1] = {40, 150, 200};
    StretchContrast(&p);
    EXPECT_EQ(p.planes[0], (std::vector<uint8_t>{0, 127, 255}));
    EXPECT_EQ(p.planes[1], (std::vector<uint8_t>{0, 255, 255}));
    PlaneBuffers flat = Rows(3, {77});
    StretchContrast(&flat);
    EXPECT_EQ(flat.planes[0], std::vector<uint8_t>(3, 77));
}

TEST(ReadThreePlanes, GreyThreeTimesAndNoByteBeyondTheImage)
{
    PlaneBuffers grey = Rows(2, {7, 9});
    PlaneBuffers out;
    ASSERT_EQ(ReadThreePlanes(ImageOf(grey), 2, 2, &out), PlaneCopy::Done);
    EXPECT_EQ(out.channels, 1);
    for (const auto& plane : out.planes)
        EXPECT_EQ(plane, (std::vector<uint8_t>{7, 7, 9, 9}));
    ASSERT_EQ(ReadThreePlanes(ImageOf(grey), 3, 3, &out), PlaneCopy::SizeDiffers);
    EXPECT_EQ(out.planes[2], (std::vector<uint8_t>{7, 7, 0, 9, 9, 0, 0, 0, 0}));
    ASSERT_EQ(ReadThreePlanes(ImageOf(grey), 1, 1, &out), PlaneCopy::SizeDiffers);
    EXPECT_EQ(out.planes[0], (std::vector<uint8_t>{7}));
    EXPECT_EQ(ReadThreePlanes(Vobject(), 1, 1, &out), PlaneCopy::NoImage);
}

} // namespace
