#include <gtest/gtest.h>

#include <cmath>

#include <verodyn/operators.h>

#include "workbench/core/calibration.h"
#include "workbench/core/image_combination.h"
#include "workbench/core/preview_timing.h"
#include "workbench/core/resize_rules.h"
#include "workbench/core/shown_image.h"

namespace {

PlaneBuffers Pixel(uint8_t r, uint8_t g, uint8_t b) { return {1, 1, 3, {{r}, {g}, {b}}}; }

// The one-pixel image of Pixel(r, g, b).
Vobject PixelImage(uint8_t r, uint8_t g, uint8_t b)
{
    Vobject image;
    EXPECT_EQ(GenImageFromPlanes(Pixel(r, g, b), &image), V_OK);
    return image;
}

TEST(PreviewTiming, AppliesOnTheEleventhQuietTickOncePerMovement)
{
    PreviewTiming timing;
    for (int tick = 0; tick < 20; ++tick)
        EXPECT_FALSE(timing.Tick());
    timing.Moved();
    for (int tick = 1; tick <= 10; ++tick)
        EXPECT_FALSE(timing.Tick()) << tick;
    timing.Moved();
    for (int tick = 1; tick <= 10; ++tick)
        EXPECT_FALSE(timing.Tick()) << tick;
    EXPECT_TRUE(timing.Tick());
    EXPECT_FALSE(timing.Tick());
    EXPECT_FALSE(timing.TakeWaiting());
    timing.Moved();
    EXPECT_TRUE(timing.TakeWaiting());
    for (int tick = 0; tick < 20; ++tick)
        EXPECT_FALSE(timing.Tick());
}

TEST(ImageCombination, OperandChecksInTheirOrder)
{
    const OperandFacts grey{0, 1, 64, 48}, colour{0, 3, 64, 48}, fft{8, 1, 64, 48},
        derived{16, 3, 64, 48}, wide{0, 1, 65, 48};
    struct Case {
        OperandFacts a, b;
        const char* message;
    };
    const Case cases[] = {{grey, grey, ""},
                          {grey, fft, "Opérations impossibles sur images FFT !"},
                          {derived, grey, "Opérations impossibles sur images FFT !"},
                          {grey, colour, "Les images sont de types différents !"},
                          {colour, wide, "Les images sont de types différents !"},
                          {grey, wide, "Les images sont de tailles différentes !"}};
    for (const Case& c : cases)
        EXPECT_STREQ(MismatchMessage(CheckOperands(&c.a, &c.b)), c.message) << c.message;
    EXPECT_EQ(CheckOperands(&grey, nullptr), OperandMismatch::Missing);
    EXPECT_STREQ(MismatchMessage(OperandMismatch::Missing), "");
}

TEST(ImageCombination, GreyModuloOfColours)
{
    const PlaneBuffers a = Pixel(10, 20, 30), b = Pixel(200, 200, 200), c = Pixel(100, 100, 100);
    EXPECT_EQ(CombineGreyModulo(ImageOperation::SubModulo, a, b)[0], 74);
    EXPECT_EQ(CombineGreyModulo(ImageOperation::AddModulo, a, b)[0], 218);
    EXPECT_EQ(CombineGreyModulo(ImageOperation::AddModulo, b, c)[0], 44);
}

TEST(ImageCombination, LibraryOperationsWithoutOffset)
{
    struct Case {
        ImageOperation operation;
        uint8_t a, b, expected;
    };
    const Case cases[] = {
        {ImageOperation::Add, 0, 0, 0},
        {ImageOperation::Add, 10, 20, 30},
        {ImageOperation::Add, 200, 100, 255},
        {ImageOperation::SubAbsolute, 10, 200, 190},
        {ImageOperation::SubAbsolute, 200, 10, 190},
        {ImageOperation::Multiply, 3, 4, 12},
        {ImageOperation::Divide, 200, 0, 0},
        {ImageOperation::Divide, 200, 8, 25},
        {ImageOperation::And, 12, 10, 8},
        {ImageOperation::Or, 12, 10, 14},
        {ImageOperation::Xor, 12, 10, 6},
    };
    for (const Case& c : cases) {
        Vobject out;
        ASSERT_EQ(
            CombineInLibrary(c.operation, PixelImage(c.a, c.a, c.a), PixelImage(c.b, 0, c.b), &out),
            V_OK);
        const PlaneView v = ViewPlanes(out);
        ASSERT_EQ(v.channels, 3);
        EXPECT_EQ(v.planes[0][0], c.expected) << int(c.operation) << " " << int(c.a);
        EXPECT_EQ(v.planes[2][0], c.expected) << int(c.operation) << " " << int(c.a);
    }
}

TEST(ResizeRules, RangeSizesAndTexts)
{
    EXPECT_EQ(SmallestResizePercent(640), 23);
    EXPECT_EQ(SmallestResizePercent(100), 100);
    EXPECT_EQ(SmallestResizePercent(1000), 20);
    EXPECT_EQ(ResizeRangeText(23, 150), "Coef[23,200]: 150 %");
    EXPECT_EQ(ResizeSizeText(150, 23, 640, 480),
              "Dimensions (pixel): 960 x 720\nMini: 147 x 110\nMaxi: 1280 x 960");
    const ResizedSize tiny = SizeAtPercent(20, 1000, 2);
    EXPECT_EQ(tiny.width, 200);
    EXPECT_EQ(tiny.height, 1);
}

TEST(Calibration, ScalesAndDisplayPowers)
{
    struct Case {
        ScaleEntry entry;
        float scale;
    };
    const Case scales[] = {{{25, 2.5f}, 10}, {{0, -2}, 0.5f}, {{-3, 0}, 3}};
    for (const Case& c : scales)
        EXPECT_FLOAT_EQ(ScaleOfEntry(c.entry), c.scale);
    EXPECT_FLOAT_EQ(EntryOfScale(0.25f).millimetres, 4);
    EXPECT_FLOAT_EQ(EntryOfScale(0.25f).count, 1);
    EXPECT_FLOAT_EQ(EntryOfScale(4).count, 4);
    EXPECT_FLOAT_EQ(EntryOfScale(4).millimetres, 1);

    EXPECT_NEAR(UnitFactorXY(640, 10), 0.1, 1e-7);
    EXPECT_NEAR(UnitFactorXY(15, 10), 10, 1e-5);
    EXPECT_NEAR(UnitFactorZ(1), 0.1, 1e-7);
    EXPECT_NEAR(UnitFactorXY(640, 1e30f), 1e10, 1e4);
    EXPECT_NEAR(UnitFactorZ(1e30f), 1e10, 1e4);

    Calibration c;
    c.scaleXY = 3;
    c.unitFactorXY = 100;
    StoreCalibration(true, {1e30f, 1e-30f}, true, {1, 0.0324f}, 640, &c);
    EXPECT_FLOAT_EQ(c.scaleXY, 3);
    EXPECT_FLOAT_EQ(c.unitFactorXY, 100);
    EXPECT_FLOAT_EQ(c.scaleZ, 1 / 0.0324f);
    EXPECT_TRUE(c.calibratedXY);
    // Scales whose millimetres per pixel or per level overflow are refused too.
    StoreCalibration(true, {1e-20f, 1e20f}, true, {1e-40f, 1}, 640, &c);
    EXPECT_FLOAT_EQ(c.scaleXY, 3);
    EXPECT_FLOAT_EQ(c.unitFactorXY, 100);
    EXPECT_FLOAT_EQ(c.scaleZ, 1 / 0.0324f);
    StoreCalibration(false, {25, 2.5f}, true, {1, 1}, 640, &c);
    EXPECT_FLOAT_EQ(c.scaleXY, 3);
    EXPECT_FALSE(c.calibratedXY);
    EXPECT_NEAR(c.unitFactorZ, 0.1, 1e-7);
}

TEST(ShownImage, RealLinearlyAndSpectraOnTheLogarithmOfTheModulus)
{
    const float e = std::exp(1.0f);
    struct Case {
        VPixelType type;
        std::vector<float> values; // real, or the real parts of complex values
        bool spectrum;
        std::vector<uint8_t> shown;
    };
    const Case cases[] = {
        {VPixelType::Complex, {0, -(e - 1), e * e * e - 1}, false, {0, 85, 255}},
        {VPixelType::Real, {0, e - 1, e * e * e - 1}, true, {0, 85, 255}},
        {VPixelType::Real, {0, e - 1, e * e * e - 1}, false, {0, 23, 255}},
        {VPixelType::Real, {-1, 0, 3}, true, {0, 64, 255}},
        {VPixelType::Real, {3, 3, 3}, true, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        auto image = VImage::create(c.type, 3, 1, 1);
        for (int i = 0; i < 3; ++i)
            if (c.type == VPixelType::Complex)
                image->plane_as<float>(0)[2 * i] = c.values[i];
            else
                image->plane_as<float>(0)[i] = c.values[i];
        Vobject shown;
        ASSERT_TRUE(ShownImage(Vobject(image), c.spectrum, &shown));
        const uint8_t* bytes = shown.image()->plane_as<uint8_t>(0);
        EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 3), c.shown) << c.values[1];
    }
    Vobject shown;
    EXPECT_FALSE(ShownImage(Vobject(VImage::create(VPixelType::Int4, 3, 1, 1)), false, &shown));
    EXPECT_FALSE(ShownImage(Vobject(), false, &shown));
}

} // namespace
