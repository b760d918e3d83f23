#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <deque>
#include <random>
#include <vector>

#include <workers/worker_pool.h>

#include "metrology/kernels/phase_unwrapper.h"
#include "metrology/kernels/quality_levels.h"
#include "metrology/kernels/unwrap_walk.h"
#include "metrology/kernels/wrapped_phase.h"

using namespace metrology;

namespace {

constexpr std::int32_t kUntouched = -7;

struct Field {
    int width, height;
    std::vector<std::int32_t> values;
    std::int32_t& at(int x, int y) { return values[std::size_t(y) * width + x]; }
    std::int32_t operator()(int x, int y) const { return values[std::size_t(y) * width + x]; }
};

template <class F> Field Make(int width, int height, F value)
{
    Field f{width, height, std::vector<std::int32_t>(std::size_t(width) * height)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            f.at(x, y) = value(x, y);
    return f;
}

struct Result {
    int m;
    Field out;
};

Result Unwrap(const Field& phase, UnwrapFlags flags, const Field* mask = nullptr)
{
    Field out{phase.width, phase.height,
              std::vector<std::int32_t>(phase.values.size(), kUntouched)};
    CPhaseUnwrapper unwrapper;
    const int m = unwrapper.Unwrap(phase.width, phase.height, phase.values.data(),
                                   mask ? mask->values.data() : nullptr, out.values.data(), flags);
    return {m, out};
}

bool OnFrame(const Field& f, int x, int y)
{
    return x < 2 || y < 2 || x > f.width - 3 || y > f.height - 3;
}

Field Ramp()
{
    return Make(64, 16, [](int x, int) { return (8 * x) & 255; });
}

TEST(PhaseUnwrapper, ConstantPhaseHasNoJump)
{
    const Result r = Unwrap(Make(20, 12, [](int, int) { return 90; }), UW_QUALITY_VARIANCE);
    EXPECT_EQ(r.m, 0);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(r.out(x, y), OnFrame(r.out, x, y) ? kUntouched : 0);
}

// The ramp rises 8 a pixel and wraps between columns 31 and 32. Unwrapped it is
// 8x, so inside the frame the output is (8x - 16) / 472 x 255.
TEST(PhaseUnwrapper, WrappedRampRisesAcrossItsWrapWithEveryQualityChoice)
{
    const UnwrapFlags choices[] = {
        0,
        UW_QUALITY_VARIANCE,
        UW_QUALITY_LINEARITY,
        UW_QUALITY_LAPLACIAN,
        UW_DISCONTINUITIES,
        UW_QUALITY_LSQ5X5,
        UW_POLES,
        UW_NOISE_TYPE1,
        UW_NOISE_HISTOGRAM | UW_QUALITY_VARIANCE,
        UW_NOISE_HISTOGRAM | UW_NOISE_EXTRA | UW_QUALITY_VARIANCE | UW_NOISE_TYPE1,
        UW_QUALITY_VARIANCE | UW_QUALITY_LINEARITY | UW_QUALITY_LAPLACIAN | UW_DISCONTINUITIES |
            UW_QUALITY_LSQ5X5 | UW_POLES,
    };
    const Field ramp = Ramp();
    for (UnwrapFlags flags : choices) {
        SCOPED_TRACE(flags);
        const Result r = Unwrap(ramp, flags);
        EXPECT_EQ(r.m, 1);
        for (int y = 2; y <= 13; ++y) {
            EXPECT_EQ(r.out(2, y), 0);
            EXPECT_EQ(r.out(31, y), 125);
            EXPECT_EQ(r.out(32, y), 129);
            EXPECT_EQ(r.out(61, y), 255);
            for (int x = 2; x <= 61; ++x)
                EXPECT_EQ(r.out(x, y), int((8.0 * x - 16) / 472 * 255));
        }
        for (int x = 0; x < 64; ++x)
            EXPECT_EQ(r.out(x, 0) + r.out(x, 1) + r.out(x, 14) + r.out(x, 15), 4 * kUntouched);
    }
}

TEST(PhaseUnwrapper, InvertTurnsTheOutputUpsideDown)
{
    const Result r = Unwrap(Ramp(), UW_QUALITY_VARIANCE | UW_INVERT);
    EXPECT_EQ(r.m, 1);
    EXPECT_EQ(r.out(2, 5), 255);
    EXPECT_EQ(r.out(32, 5), 126);
    EXPECT_EQ(r.out(61, 5), 0);
}

TEST(PhaseUnwrapper, HalfAFringeIsAJumpAndJustUnderIsNot)
{
    struct Case {
        int step, m, left, right;
    } cases[] = {
        {128, 1, 255, 0}, // 128 down to the right is read as the next fringe down
        {127, 0, 0, 255},
    };
    for (const auto& c : cases) {
        const Result r = Unwrap(Make(24, 12, [&](int x, int) { return x >= 10 ? c.step : 0; }), 0);
        EXPECT_EQ(r.m, c.m) << c.step;
        EXPECT_EQ(r.out(5, 5), c.left) << c.step;
        EXPECT_EQ(r.out(15, 5), c.right) << c.step;
    }
}

TEST(PhaseUnwrapper, MaskedPixelsOutputZeroAndPullTheScaleDown)
{
    Field mask =
        Make(64, 16, [](int x, int y) { return x >= 40 && x <= 45 && y >= 5 && y <= 9 ? 0 : 1; });
    const Result r = Unwrap(Ramp(), UW_QUALITY_VARIANCE | UW_MASK | UW_INVERT, &mask);
    EXPECT_EQ(r.m, 1);
    // The masked zeros set umin to 0: output 255 - 8x x 255 / 488 where inverted.
    EXPECT_EQ(r.out(42, 7), 0);
    EXPECT_EQ(r.out(2, 7), 255 - 8);
    EXPECT_EQ(r.out(61, 7), 0);
    EXPECT_EQ(r.out(42, 3), 255 - int(8.0 * 42 / 488 * 255));
}

TEST(PhaseUnwrapper, EachMaskRegionIsSeededOnItsOwn)
{
    // A masked band cuts the ramp in two; the right region starts its own count.
    Field mask = Make(64, 16, [](int x, int) { return x >= 30 && x <= 33 ? 0 : 1; });
    const Result r = Unwrap(Ramp(), UW_QUALITY_VARIANCE | UW_MASK, &mask);
    EXPECT_EQ(r.m, 0);
    for (int y = 2; y <= 13; ++y) {
        EXPECT_EQ(r.out(31, y), 0);
        EXPECT_EQ(r.out(2, y), 17); // 16 / 232 x 255
        EXPECT_EQ(r.out(34, y), 17);
        EXPECT_EQ(r.out(29, y), 255);
        EXPECT_EQ(r.out(61, y), 255);
    }
}

TEST(PhaseUnwrapper, RegionsCutByTheMaskRiseFromTheSameBase)
{
    // Column 40 is masked. The left region wraps once, at x = 20, and is seeded at
    // x = 32, past its wrap; the right one wraps twice and is seeded at its start.
    const Field phase = Make(96, 16, [](int x, int) {
        return x < 40 ? (8 * (x + 12)) & 255 : (10 * (x - 41) + 200) & 255;
    });
    Field mask = Make(96, 16, [](int x, int) { return x == 40 ? 0 : 1; });
    const Result r = Unwrap(phase, UW_QUALITY_VARIANCE | UW_MASK, &mask);
    EXPECT_EQ(r.m, 2);
    // Both regions start from the count 0: unwrapped 8 (x + 12) - 0 on the left and
    // 10 (x - 41) + 200 on the right, up to 720; the masked column is 0.
    for (int y = 2; y <= 13; ++y)
        for (int x = 2; x <= 93; ++x) {
            const int unwrapped = x < 40 ? 8 * (x + 12) : x == 40 ? 0 : 10 * (x - 41) + 200;
            EXPECT_EQ(r.out(x, y), int(unwrapped / 720.0 * 255)) << x << ',' << y;
        }
}

TEST(PhaseUnwrapper, LevelsPastTheTwentiethAreWalkedLast)
{
    // A small object in a large masked field: its population is so small that its
    // worst pixels quantise past level 20. They are still unwrapped, after all others.
    const Field phase = Make(64, 16, [](int x, int) { return (x * x / 4) & 255; });
    Field mask =
        Make(64, 16, [](int x, int y) { return x >= 10 && x <= 40 && y >= 4 && y <= 11 ? 1 : 0; });
    const Result r = Unwrap(phase, UW_QUALITY_VARIANCE | UW_MASK, &mask);
    EXPECT_EQ(r.m, 1);
    // Unwrapped the object is x x x / 4, up to 400; the masked frame pulls umin to 0.
    for (int y = 4; y <= 11; ++y)
        for (int x = 10; x <= 40; ++x)
            EXPECT_EQ(r.out(x, y), int(double(x * x / 4) / 400 * 255)) << x << ',' << y;
}

TEST(PhaseUnwrapper, SeedOfASmallObjectReachesItsWorstLevelNeighbours)
{
    // So few pixels are kept that every quality value past the smallest takes a
    // level of its own: the object's steep ramp lies on level 50 only. Unwrapped it
    // is 20 x + 130 from 250 to 310; the masked zeros pull umin to 0.
    Field mask = Make(29, 14, [](int x, int y) { return x >= 6 && x <= 9 && y >= 4 && y <= 7; });
    const Result r = Unwrap(Make(29, 14, [](int x, int) { return (20 * x + 130) & 255; }),
                            UW_QUALITY_VARIANCE | UW_MASK, &mask);
    EXPECT_EQ(r.m, 1);
    for (int y = 4; y <= 7; ++y)
        for (int x = 6; x <= 9; ++x)
            EXPECT_EQ(r.out(x, y), (20 * x + 130) * 255 / 310) << x << ',' << y;
}

TEST(PhaseUnwrapper, SeedIsNeverLeftOnAMaskedPixel)
{
    // No level-0 pixel exists, so the search ends at (18, 18), which is masked.
    Field mask = Make(20, 20, [](int x, int y) { return x >= 2 && x <= 6 && y >= 2 && y <= 6; });
    const Result r = Unwrap(Make(20, 20, [](int x, int) { return 8 * x; }), UW_MASK, &mask);
    EXPECT_EQ(r.m, 0);
    EXPECT_EQ(r.out(2, 4), 16 * 255 / 48);
    EXPECT_EQ(r.out(6, 4), 255);
    EXPECT_EQ(r.out(10, 10), 0);
}

TEST(PhaseUnwrapper, SeedIsNeverLeftOnTheFrame)
{
    // With every pixel on level 20 the search ends on the far corner of the frame.
    const Result r = Unwrap(Make(6, 6, [](int x, int) { return 8 * x; }), UW_NOISE_TYPE1);
    EXPECT_EQ(r.m, 0);
    EXPECT_EQ(r.out(2, 2), 0);
    EXPECT_EQ(r.out(3, 3), 255);
}

TEST(PhaseUnwrapper, TinyImagesGiveNoJumpAndAZeroOutput)
{
    const int shapes[][2] = {{4, 4}, {5, 4}, {4, 9}, {1, 1}};
    for (const auto& s : shapes) {
        const Result r =
            Unwrap(Make(s[0], s[1], [](int x, int) { return 8 * x; }), UW_QUALITY_VARIANCE);
        EXPECT_EQ(r.m, 0);
        for (int v : r.out.values)
            EXPECT_EQ(v, 0);
    }
    EXPECT_EQ(Unwrap(Make(5, 5, [](int, int) { return 3; }), UW_QUALITY_LSQ5X5).m, 0);
}

TEST(PhaseUnwrapper, JumpCountsHaveNoCeilingOrFloor)
{
    // 96 a pixel: 336 fringes across, 112 of them left of the seed.
    const Result r = Unwrap(Make(900, 6, [](int x, int) { return (96 * x) & 255; }), 0);
    EXPECT_EQ(r.m, 336);
    EXPECT_EQ(r.out(2, 2), 0);
    EXPECT_EQ(r.out(897, 3), 255);
    for (int x = 3; x <= 897; ++x)
        ASSERT_GE(r.out(x, 2), r.out(x - 1, 2)) << x;
}

TEST(PhaseUnwrapper, OneUnwrapperGivesEveryImageItsOwnResult)
{
    // Its work memory is kept for the next image, given back for a smaller one.
    std::mt19937 random(9);
    const Field noisy =
        Make(90, 70, [&](int x, int y) { return int(9 * x + y + random() % 60) & 255; });
    const Field ramp = Ramp();
    CPhaseUnwrapper unwrapper;
    for (const Field* image : {&noisy, &noisy, &ramp, &noisy}) {
        std::vector<std::int32_t> out(image->values.size(), kUntouched);
        const int m = unwrapper.Unwrap(image->width, image->height, image->values.data(), nullptr,
                                       out.data(), UW_QUALITY_VARIANCE);
        const Result fresh = Unwrap(*image, UW_QUALITY_VARIANCE);
        EXPECT_EQ(m, fresh.m);
        EXPECT_EQ(out, fresh.out.values);
    }
}

TEST(KeepNonZeroQuality, ZeroQualityDropsItsPixelOrWithErosionIts5x5Neighbourhood)
{
    // Zero quality at the interior pixel (4, 4) and at the corner (0, 0) of a 9 x 9 map.
    auto run = [](bool erode) {
        std::vector<std::int32_t> quality(81, 5);
        quality[4 * 9 + 4] = 0;
        quality[0] = 0;
        std::vector<std::uint8_t> kept(81), work(81);
        KeepNonZeroQuality(quality.data(), kept.data(), erode ? work.data() : nullptr, 9, 9);
        return quality;
    };
    const std::vector<std::int32_t> plain = run(false), eroded = run(true);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) {
            const bool zero = (x == 4 && y == 4) || (x == 0 && y == 0);
            EXPECT_EQ(plain[y * 9 + x], zero ? 0 : 6) << x << ',' << y;
            // Only the centre (1, 1) sees the corner, so the corner takes a 3 x 3 block.
            const bool dropped = (x >= 2 && x <= 6 && y >= 2 && y <= 6) || (x <= 2 && y <= 2);
            EXPECT_EQ(eroded[y * 9 + x], dropped ? 0 : 6) << x << ',' << y;
        }
}

TEST(QuantiseQuality, EqualPopulationLevels)
{
    // 100 values 0..99 once each, P = 81: a level every 4 values, the worst beyond 20.
    std::vector<std::int32_t> quality(100);
    std::vector<std::uint8_t> levels(100);
    for (int i = 0; i < 100; ++i)
        quality[i] = i;
    const LevelCounts counts = QuantiseQuality(quality.data(), 10, 10, false, levels.data());
    EXPECT_EQ(levels[0], 0);
    EXPECT_EQ(levels[4], 0);
    EXPECT_EQ(levels[5], 1);
    EXPECT_EQ(levels[80], 19);
    EXPECT_EQ(levels[81], 19);
    EXPECT_EQ(levels[82], 20);
    EXPECT_EQ(levels[99], 24);
    EXPECT_EQ(counts[0], 5);
    EXPECT_EQ(counts[19], 5);
    EXPECT_EQ(counts[24], 2);
}

TEST(QuantiseQuality, SmallestValueSetAsideGoesToLevel20)
{
    std::vector<std::int32_t> quality(100);
    std::vector<std::uint8_t> levels(100);
    for (int i = 0; i < 100; ++i)
        quality[i] = i / 2;
    QuantiseQuality(quality.data(), 10, 10, true, levels.data());
    EXPECT_EQ(levels[0], 20);
    EXPECT_EQ(levels[1], 20);
    EXPECT_EQ(levels[2], 0);
}

TEST(PhaseUnwrapper, SeveralWorkersGiveTheSerialResult)
{
    std::mt19937 random(3);
    const Field phase = Make(400, 600, [&](int x, int y) {
        return int((x * x + 3 * y * y) / 97 + (random() & 15)) & 255;
    });
    const Field mask = Make(400, 600, [](int x, int y) { return (x - 150) * (y - 300) > 900; });
    const int workers = ondula::WorkerCount();
    for (const UnwrapFlags flags :
         {UW_QUALITY_VARIANCE | UW_INVERT, UW_QUALITY_VARIANCE | UW_POLES | UW_DISCONTINUITIES |
                                               UW_QUALITY_LSQ5X5 | UW_QUALITY_LAPLACIAN |
                                               UW_QUALITY_LINEARITY | UW_MASK | UW_INVERT}) {
        ondula::SetWorkerCount(1);
        const Result serial = Unwrap(phase, flags, &mask);
        ondula::SetWorkerCount(8);
        const Result spread = Unwrap(phase, flags, &mask);
        EXPECT_EQ(spread.m, serial.m);
        EXPECT_EQ(spread.out.values, serial.out.values);
    }
    ondula::SetWorkerCount(workers);
}

TEST(QuantiseQuality, SumsOutOfRangeGoToTheWorstWalkedLevel)
{
    std::vector<std::int32_t> quality = {3561, -1, 5, 5, 7, 9, 4000, 3560, 0};
    std::vector<std::uint8_t> levels(quality.size());
    QuantiseQuality(quality.data(), 3, 3, false, levels.data());
    EXPECT_EQ(levels[0], 20);
    EXPECT_EQ(levels[1], 20);
    EXPECT_EQ(levels[6], 20);
    EXPECT_EQ(levels[8], 0);

    std::vector<std::int32_t> none = {-5, 4000, 9999, -1};
    std::vector<std::uint8_t> none_levels(4);
    const LevelCounts counts = QuantiseQuality(none.data(), 2, 2, false, none_levels.data());
    EXPECT_EQ(none_levels, (std::vector<std::uint8_t>{20, 20, 20, 20}));
    EXPECT_EQ(counts[20], 4);
}

// The walk's rule spelled out: the oldest queued pixel of the best level goes
// next, queues its waiting neighbours and takes the count its unwrapped
// neighbours propose with the largest total weight, the first proposed on a tie.
std::vector<std::int32_t> ReferenceWalk(int w, const std::vector<int>& phase,
                                        std::vector<int> level, int seed)
{
    std::vector<std::int32_t> jumps(phase.size(), INT32_MIN);
    std::vector<std::deque<int>> queues(kHighestLevel + 1);
    auto neighbours = [w](int p) {
        std::vector<int> list;
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (dx || dy)
                    list.push_back(p + dy * w + dx);
        return list;
    };
    auto queue = [&](int p, int below) {
        for (int n : neighbours(p))
            if (level[n] < below) {
                queues[level[n]].push_back(n);
                level[n] = kQueued;
            }
    };
    jumps[seed] = kSeedJumps;
    level[seed] = kQueued;
    queue(seed, kHighestLevel + 1);
    for (int l = 0; l <= kHighestLevel;) {
        if (queues[l].empty()) {
            ++l;
            continue;
        }
        const int p = queues[l].front();
        queues[l].pop_front();
        queue(p, kHighestLevel + 1);
        std::vector<std::pair<std::int32_t, int>> votes;
        for (int n : neighbours(p)) {
            if (jumps[n] == INT32_MIN)
                continue;
            const std::int32_t candidate = jumps[n] + WrapCount(phase[n], phase[p]);
            auto v = votes.begin();
            while (v != votes.end() && v->first != candidate)
                ++v;
            if (v == votes.end())
                v = votes.insert(v, {candidate, 0});
            v->second += std::abs(std::abs(phase[n] - phase[p]) - 128) + 1;
        }
        if (!votes.empty())
            jumps[p] = std::max_element(votes.begin(), votes.end(), [](auto a, auto b) {
                           return a.second < b.second;
                       })->first;
        l = 0;
    }
    return jumps;
}

template <class Cell>
std::vector<std::int32_t> PackedWalk(int w, const std::vector<int>& phase,
                                     const std::vector<int>& level, int seed)
{
    using Code = PixelCell<Cell>;
    std::vector<Cell> cells(phase.size() + 1, Code::Open(kQueued, 0));
    LevelCounts counts{};
    for (std::size_t i = 0; i < phase.size(); ++i) {
        cells[i] = Code::Open(level[i], phase[i]);
        if (level[i] <= kHighestLevel)
            ++counts[level[i]];
    }
    std::vector<std::uint32_t> entries(phase.size());
    LevelQueues queues(counts, entries.data());
    Walk<Cell> walk(w, cells.data(), queues);
    walk.Seed(std::size_t(seed));
    walk.Run();
    std::vector<std::int32_t> jumps(phase.size());
    for (std::size_t i = 0; i < phase.size(); ++i)
        jumps[i] = Code::IsUnwrapped(cells[i]) ? std::int32_t(Code::Jumps(cells[i])) : INT32_MIN;
    return jumps;
}

TEST(UnwrapWalk, FollowsTheReferenceWalkOnRandomMaps)
{
    std::mt19937 random(17);
    for (int run = 0; run < 300; ++run) {
        const int w = 3 + int(random() % 40), h = 3 + int(random() % 30);
        // Noisy slopes give every kind of vote; a few levels past 20 and queued pixels.
        const int slope = int(random() % 160), noise = 1 + int(random() % 256);
        std::vector<int> phase(std::size_t(w) * h), level(phase.size());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const std::size_t i = std::size_t(y) * w + x;
                phase[i] = (slope * x + int(random() % noise)) & 255;
                const bool frame = x == 0 || y == 0 || x == w - 1 || y == h - 1;
                level[i] = frame || random() % 9 == 0 ? kQueued : int(random() % 24);
            }
        const int seed = (1 + int(random() % (h - 2))) * w + 1 + int(random() % (w - 2));
        level[seed] = 0;
        const std::vector<std::int32_t> expected = ReferenceWalk(w, phase, level, seed);
        ASSERT_EQ(PackedWalk<std::int32_t>(w, phase, level, seed), expected) << run;
        ASSERT_EQ(PackedWalk<std::int64_t>(w, phase, level, seed), expected) << run;
    }
}

} // namespace
