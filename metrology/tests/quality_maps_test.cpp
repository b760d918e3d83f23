#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include <workers/worker_pool.h>

#include "metrology/kernels/quality_maps.h"
#include "metrology/kernels/wrapped_phase.h"

using namespace metrology;

namespace {

using MapFunction = void (*)(const std::uint8_t*, int, int, std::int32_t*);

struct Image {
    int width, height;
    std::vector<std::uint8_t> phase;
    std::uint8_t& at(int x, int y) { return phase[std::size_t(y) * width + x]; }
};

template <class F> Image Make(int width, int height, F value)
{
    Image image{width, height, std::vector<std::uint8_t>(std::size_t(width) * height)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.at(x, y) = std::uint8_t(value(x, y) & 255);
    return image;
}

struct Map {
    int width;
    std::vector<std::int32_t> values;
    int operator()(int x, int y) const { return values[std::size_t(y) * width + x]; }
};

Map Compute(MapFunction map, const Image& image)
{
    Map m{image.width, std::vector<std::int32_t>(image.phase.size(), -1)};
    map(image.phase.data(), image.width, image.height, m.values.data());
    return m;
}

TEST(WrappedArithmetic, HalfAFringeApartIsAJump)
{
    EXPECT_EQ(metrology::WrappedDiff(0, 127), 127);
    EXPECT_EQ(metrology::WrappedDiff(0, 128), 128);
    EXPECT_EQ(metrology::WrappedDiff(0, 129), 127);
    EXPECT_EQ(metrology::WrappedDiff(255, 0), 1);
    EXPECT_EQ(metrology::UnwrapToward(0, 127), 127);
    EXPECT_EQ(metrology::UnwrapToward(0, 128), -128);
    EXPECT_EQ(metrology::UnwrapToward(128, 0), 256);
    EXPECT_EQ(metrology::WrapCount(0, 127), 0);
    EXPECT_EQ(metrology::WrapCount(0, 128), -1);
    EXPECT_EQ(metrology::WrapCount(128, 0), 1);
}

TEST(QualityMaps, ConstantPhaseIsZeroInsideEveryMap)
{
    const Image flat = Make(12, 10, [](int, int) { return 77; });
    for (MapFunction map : {VarianceMap, LinearityMap, LaplacianMap, ResidueMap}) {
        const Map m = Compute(map, flat);
        for (int v : m.values)
            EXPECT_EQ(v, 0);
    }
    const Map lsq = Compute(LeastSquares5x5Map, flat);
    const Map disc = Compute(DiscontinuityMap, flat);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x) {
            EXPECT_EQ(lsq(x, y), x >= 10 ? (y < 3 ? 741 : 822) : 0) << x << ',' << y;
            const bool computed = x >= 1 && x <= 7 && y >= 4 && y <= 7;
            EXPECT_EQ(disc(x, y), computed ? 0 : 1024) << x << ',' << y;
        }
}

TEST(QualityMaps, RampOfEightPerPixelAcrossTheWrap)
{
    const Image ramp = Make(64, 16, [](int x, int) { return 8 * x; });
    const Map variance = Compute(VarianceMap, ramp);
    const Map linearity = Compute(LinearityMap, ramp);
    const Map laplacian = Compute(LaplacianMap, ramp);
    const Map residues = Compute(ResidueMap, ramp);
    const Map lsq = Compute(LeastSquares5x5Map, ramp);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 64; ++x) {
            const bool column_edge = x == 0 || x == 63, row_edge = y == 0 || y == 15;
            const int expected_variance = column_edge && row_edge ? 42
                                          : row_edge              ? 51
                                          : column_edge           ? 38
                                                                  : 48;
            EXPECT_EQ(variance(x, y), expected_variance) << x << ',' << y;
            // Across a left or right edge only one side of the slope is seen.
            const int expected_curvature = column_edge && row_edge ? 16 : column_edge ? 24 : 0;
            EXPECT_EQ(linearity(x, y), expected_curvature) << x << ',' << y;
            EXPECT_EQ(laplacian(x, y), expected_curvature) << x << ',' << y;
            EXPECT_EQ(residues(x, y), 0);
            if (x < 62) {
                EXPECT_EQ(lsq(x, y), 0) << x << ',' << y;
            }
        }
    const Map disc = Compute(DiscontinuityMap, ramp);
    for (int y = 4; y <= 13; ++y)
        for (int x = 1; x <= 59; ++x)
            EXPECT_EQ(disc(x, y), 0);
}

TEST(QualityMaps, LeastSquaresFollowsAPlaneInBothDirections)
{
    const Image plane = Make(20, 12, [](int x, int y) { return 9 * x - 5 * y + 30; });
    const Map lsq = Compute(LeastSquares5x5Map, plane);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 18; ++x)
            EXPECT_EQ(lsq(x, y), 0) << x << ',' << y;
}

TEST(QualityMaps, IsolatedResidueAddsItsChargeToItsFourPixels)
{
    // A phase vortex around (left + 0.5, top + 0.5): one charged loop, the cut
    // running to the right; inside, at every corner and along every edge.
    const struct {
        int left, top;
    } loops[] = {{3, 3}, {0, 0}, {3, 0}, {6, 0}, {6, 3}, {6, 6}, {3, 6}, {0, 6}, {0, 3}};
    for (const auto& l : loops) {
        const Image vortex = Make(8, 8, [&](int x, int y) {
            double angle = std::atan2(y - l.top - 0.5, x - l.left - 0.5);
            if (angle < 0)
                angle += 2 * std::numbers::pi;
            return int(angle / (2 * std::numbers::pi) * 256);
        });
        const Map residues = Compute(ResidueMap, vortex);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const bool loop =
                    (x == l.left || x == l.left + 1) && (y == l.top || y == l.top + 1);
                EXPECT_EQ(residues(x, y), loop ? 256 : 0)
                    << "loop " << l.left << ',' << l.top << " at " << x << ',' << y;
            }
    }
}

TEST(QualityMaps, DiscontinuityMapsASlopeBreakOneColumnLeftOfItsWindow)
{
    // A roof: slope -4 up to column 20, +4 after it.
    const Image roof = Make(40, 20, [](int x, int) { return 4 * std::abs(x - 20); });
    const Map disc = Compute(DiscontinuityMap, roof);
    for (int y = 4; y <= 17; ++y)
        for (int x = 1; x <= 35; ++x) {
            const int expected = x == 19 ? 32 : (x == 18 || x == 20) ? 16 : 0;
            EXPECT_EQ(disc(x, y), expected) << x << ',' << y;
        }
}

TEST(QualityMaps, DiscontinuityIsCappedAt1024)
{
    // The one computed pixel of this 6 x 7 image, (1, 4), sums to 1372 before the cap.
    const int rough[7][6] = {
        {158, 150, 188, 193, 15, 124},  {52, 30, 230, 70, 164, 191}, {250, 135, 237, 235, 234, 253},
        {213, 199, 254, 101, 206, 198}, {139, 87, 18, 125, 190, 82}, {145, 68, 215, 226, 231, 184},
        {97, 222, 96, 98, 220, 121},
    };
    const Map capped =
        Compute(DiscontinuityMap, Make(6, 7, [&](int x, int y) { return rough[y][x]; }));
    EXPECT_EQ(capped.values, std::vector<std::int32_t>(42, 1024));

    std::mt19937 random(6);
    const Map noise =
        Compute(DiscontinuityMap, Make(40, 30, [&](int, int) { return int(random() & 255); }));
    for (int v : noise.values) {
        EXPECT_GE(v, 0);
        EXPECT_LE(v, 1024);
    }
}

TEST(QualityMaps, EveryShapeIsCoveredWithoutReadingOutside)
{
    const MapFunction maps[] = {VarianceMap, LinearityMap,       LaplacianMap,
                                ResidueMap,  LeastSquares5x5Map, DiscontinuityMap};
    const int shapes[][2] = {{1, 1}, {2, 2}, {1, 7}, {7, 1}, {3, 3},
                             {4, 4}, {5, 5}, {6, 7}, {9, 3}};
    for (const auto& shape : shapes) {
        const Image image = Make(shape[0], shape[1], [](int x, int y) { return 37 * x + 91 * y; });
        for (MapFunction map : maps)
            for (int v : Compute(map, image).values)
                EXPECT_GE(v, 0);
    }
    const Image corner = Make(2, 2, [](int x, int y) { return x == 1 && y == 1 ? 24 : 0; });
    EXPECT_EQ(Compute(VarianceMap, corner).values, (std::vector<std::int32_t>{64, 64, 64, 192}));
}

TEST(QualityMaps, BandsOverSeveralWorkersGiveTheSerialMap)
{
    const MapFunction maps[] = {VarianceMap, LinearityMap,       LaplacianMap,
                                ResidueMap,  LeastSquares5x5Map, DiscontinuityMap};
    std::mt19937 random(7);
    const Image image = Make(300, 1000, [&](int, int) { return int(random() & 255); });
    const int workers = ondula::WorkerCount();
    for (MapFunction map : maps) {
        ondula::SetWorkerCount(1);
        const Map serial = Compute(map, image);
        ondula::SetWorkerCount(8);
        EXPECT_EQ(Compute(map, image).values, serial.values);
    }
    ondula::SetWorkerCount(workers);
}

} // namespace
