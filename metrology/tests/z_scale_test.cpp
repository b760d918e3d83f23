#include <gtest/gtest.h>

#include "metrology/kernels/z_scale.h"

using namespace metrology;

namespace {

TEST(ZScale, SpeckleIsHalfAWavelengthPerFringe)
{
    EXPECT_FLOAT_EQ(SpeckleZScale(9, 632.8f), 1.2359375e-05f);
    EXPECT_EQ(ComputeZScale(ZScaleMethod::Speckle, 9, 632.8f, 8.3f), SpeckleZScale(9, 632.8f));
}

TEST(ZScale, MoireIsOnePitchPerFringe)
{
    EXPECT_FLOAT_EQ(MoireZScale(0, 8.3f), 0.032421875f);
    EXPECT_EQ(ComputeZScale(ZScaleMethod::Moire, 0, 632.8f, 8.3f), MoireZScale(0, 8.3f));
}

TEST(ZScale, NegativeEntriesGiveNoScale)
{
    EXPECT_FALSE(ComputeZScale(ZScaleMethod::Speckle, -1, 632.8f, 8.3f));
    EXPECT_FALSE(ComputeZScale(ZScaleMethod::Moire, 3, -632.8f, 8.3f));
    EXPECT_FALSE(ComputeZScale(ZScaleMethod::Moire, 3, 632.8f, -0.1f));
    EXPECT_TRUE(ComputeZScale(ZScaleMethod::Moire, 0, 0.0f, 8.3f));
}

TEST(ZScale, OnlyAFinitePositiveScaleIsGiven)
{
    const int most = 2147483647;
    EXPECT_FLOAT_EQ(*ComputeZScale(ZScaleMethod::Speckle, most, 632.8f, 8.3f), 2654.1555f);
    EXPECT_FLOAT_EQ(*ComputeZScale(ZScaleMethod::Moire, most, 632.8f, 8.3f), 69625446.f);
    EXPECT_FALSE(ComputeZScale(ZScaleMethod::Moire, 0, 632.8f, 0.0f));
    EXPECT_FALSE(ComputeZScale(ZScaleMethod::Speckle, 0, 0.0f, 8.3f));
    EXPECT_FALSE(ComputeZScale(ZScaleMethod::Moire, most, 632.8f, 3e38f));
}

} // namespace
