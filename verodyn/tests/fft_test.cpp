#include <cmath>
#include <complex>
#include <cstring>
#include <numbers>
#include <thread>

#include "test_images.h"

using namespace testimg;

namespace {

using C = std::complex<float>;

class FftTest : public OperatorTest { };

// The unnormalised forward DFT, term by term.
std::vector<std::complex<double>> reference_dft(const std::vector<double>& pixels, int width,
                                                int height)
{
    std::vector<std::complex<double>> out(pixels.size());
    for (int v = 0; v < height; ++v)
        for (int u = 0; u < width; ++u) {
            std::complex<double> sum;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const double angle =
                        -2 * std::numbers::pi * (double(u) * x / width + double(v) * y / height);
                    sum += pixels[std::size_t(y * width + x)] * std::polar(1.0, angle);
                }
            out[std::size_t(v * width + u)] = sum;
        }
    return out;
}

TEST_F(FftTest, ForwardIsTheUnnormalisedSpectrumWithDcAtTheOrigin)
{
    for (const Shape& s : kShapes)
        for (int channels : {1, 3})
            for (bool real_input : {false, true}) {
                // Byte ramps wrap around; real ramps go negative.
                std::vector<std::vector<float>> planes;
                for (int c = 0; c < channels; ++c) {
                    planes.push_back(ramp<float>(s.width, s.height,
                                                 real_input ? -1.5 + c : 3 + 20 * c,
                                                 real_input ? 0.75 : 29));
                    if (!real_input)
                        for (float& v : planes.back())
                            v = std::fmod(v, 256.0f);
                }
                Vobject in = make("real", s.width, s.height, planes);
                if (!real_input)
                    convert_image_type(in, &in, "byte");
                Vobject out;
                ASSERT_EQ(fft_image(in, &out), V_OK);
                EXPECT_EQ(type_of(out), "complex");
                ASSERT_EQ(out.image(0)->channels(), channels);
                for (int c = 0; c < channels; ++c) {
                    const std::vector<double> values(planes[c].begin(), planes[c].end());
                    const auto expected = reference_dft(values, s.width, s.height);
                    const auto got = plane<C>(out, c);
                    double sum = 0;
                    for (double v : values)
                        sum += v;
                    EXPECT_NEAR(got[0].real(), sum, 1e-3 * (1 + std::abs(sum)));
                    for (std::size_t i = 0; i < got.size(); ++i) {
                        EXPECT_NEAR(got[i].real(), expected[i].real(), 1e-2)
                            << s.width << "x" << s.height;
                        EXPECT_NEAR(got[i].imag(), expected[i].imag(), 1e-2)
                            << s.width << "x" << s.height;
                    }
                }
            }
}

TEST_F(FftTest, InverseDividesByThePixelCountAndGivesReal)
{
    for (const Shape& s : kShapes) {
        const auto pixels = ramp<std::uint8_t>(s.width, s.height, 7, 31);
        Vobject spectrum, back;
        ASSERT_EQ(fft_image(bytes(s.width, s.height, pixels), &spectrum), V_OK);
        ASSERT_EQ(fft_image_inv(spectrum, &back), V_OK);
        EXPECT_EQ(type_of(back), "real");
        const auto got = plane<float>(back);
        for (std::size_t i = 0; i < got.size(); ++i)
            EXPECT_NEAR(got[i], pixels[i], 1e-3);
    }
    // A lone DC value of N gives a flat image of 1.
    Vobject flat;
    ASSERT_EQ(fft_image_inv(make<C>("complex", 3, 2, {{C(6, 0), C(), C(), C(), C(), C()}}), &flat),
              V_OK);
    for (float v : plane<float>(flat))
        EXPECT_NEAR(v, 1.0f, 1e-6);
}

// Any complex image, Hermitian or not (a filtered spectrum), gives the real
// part of its inverse transform.
TEST_F(FftTest, InverseOfAnyComplexImageIsTheRealPartOfItsInverseTransform)
{
    for (const Shape& s : kShapes) {
        const std::size_t n = std::size_t(s.width) * s.height;
        std::vector<std::vector<C>> planes(3, std::vector<C>(n));
        for (std::size_t c = 0; c < 3; ++c)
            for (std::size_t i = 0; i < n; ++i)
                planes[c][i] =
                    C(float((i * 7 + c * 3) % 11) - 5.0f, float((i * 5 + c) % 13) - 6.0f);
        Vobject back;
        ASSERT_EQ(fft_image_inv(make<C>("complex", s.width, s.height, planes), &back), V_OK);
        for (std::size_t c = 0; c < 3; ++c) {
            const auto got = plane<float>(back, int(c));
            for (int y = 0; y < s.height; ++y)
                for (int x = 0; x < s.width; ++x) {
                    std::complex<double> sum;
                    for (int v = 0; v < s.height; ++v)
                        for (int u = 0; u < s.width; ++u)
                            sum += std::complex<double>(planes[c][std::size_t(v * s.width + u)]) *
                                   std::polar(1.0, 2 * std::numbers::pi *
                                                       (double(u) * x / s.width +
                                                        double(v) * y / s.height));
                    EXPECT_NEAR(got[std::size_t(y * s.width + x)], sum.real() / double(n), 1e-5)
                        << s.width << "x" << s.height << " channel " << c;
                }
        }
    }
}

// Large images are transformed on several threads: the spectrum must be the
// textbook one, the round trip exact, and two transforms bit-identical.
TEST_F(FftTest, LargeImagesGiveTheSameSpectrumEveryTime)
{
    constexpr int w = 512, h = 384;
    std::vector<float> pixels(std::size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pixels[std::size_t(y) * w + x] =
                100.0f + 50.0f * float(std::cos(2 * std::numbers::pi * 3 * x / w));
    const Vobject image = make<float>("real", w, h, {pixels});
    Vobject first, second, back;
    std::thread other([&] { ASSERT_EQ(fft_image(image, &second), V_OK); });
    ASSERT_EQ(fft_image(image, &first), V_OK);
    other.join();
    const auto a = plane<C>(first), b = plane<C>(second);
    ASSERT_EQ(a.size(), b.size());
    EXPECT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(C)), 0);
    const double n = double(w) * h;
    EXPECT_NEAR(a[0].real(), 100 * n, 1e-4 * n);
    EXPECT_NEAR(std::abs(a[3]), 25 * n, 1e-4 * n);
    EXPECT_NEAR(std::abs(a[w - 3]), 25 * n, 1e-4 * n);
    EXPECT_NEAR(std::abs(a[4]), 0, 1e-4 * n);
    Vobject back_again;
    ASSERT_EQ(fft_image_inv(first, &back), V_OK);
    ASSERT_EQ(fft_image_inv(first, &back_again), V_OK);
    const auto restored = plane<float>(back), again = plane<float>(back_again);
    EXPECT_EQ(std::memcmp(restored.data(), again.data(), restored.size() * sizeof(float)), 0);
    for (std::size_t i = 0; i < restored.size(); i += 97)
        EXPECT_NEAR(restored[i], pixels[i], 1e-2);
}

TEST_F(FftTest, PhaseModulusAndByteModulusOfComplexPixels)
{
    const Vobject z =
        make<C>("complex", 6, 1, {{C(1, 0), C(0, 1), C(-1, 0), C(0, -1), C(1, 1), C(3, 4)}});
    Vobject out;
    ASSERT_EQ(phase_deg(z, &out), V_OK);
    EXPECT_EQ(type_of(out), "real");
    const auto phase = plane<float>(out);
    const float degrees[] = {0, 90, 180, -90, 45, 53.130102f};
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(phase[i], degrees[i], 1e-4);

    ASSERT_EQ(power_real(z, &out), V_OK);
    EXPECT_EQ(type_of(out), "real");
    EXPECT_FLOAT_EQ(plane<float>(out)[5], 5.0f);
    EXPECT_FLOAT_EQ(plane<float>(out)[4], std::sqrt(2.0f));

    // The largest modulus becomes 255, the others in proportion, rounded.
    ASSERT_EQ(power_byte(make<C>("complex", 4, 1, {{C(6, 8), C(3, 4), C(1.5f, 2), C(0, 0)}}), &out),
              V_OK);
    EXPECT_EQ(type_of(out), "byte");
    EXPECT_EQ(plane<std::uint8_t>(out), (std::vector<std::uint8_t>{255, 128, 64, 0}));
    // 255 x 1499.5 / 2999 is 127.5 exactly, which rounds up.
    ASSERT_EQ(power_byte(make<C>("complex", 2, 1, {{C(2999, 0), C(1499.5f, 0)}}), &out), V_OK);
    EXPECT_EQ(plane<std::uint8_t>(out), (std::vector<std::uint8_t>{255, 128}));
    ASSERT_EQ(power_byte(make<C>("complex", 2, 1, {{C(), C()}}), &out), V_OK);
    EXPECT_EQ(plane<std::uint8_t>(out), (std::vector<std::uint8_t>{0, 0}));
    // Channels are scaled each on its own.
    ASSERT_EQ(power_byte(make<C>("complex", 1, 2,
                                 {{C(1, 0), C(2, 0)}, {C(0, 10), C(0, 5)}, {C(), C(3, 0)}}),
                         &out),
              V_OK);
    EXPECT_EQ(plane<std::uint8_t>(out, 0), (std::vector<std::uint8_t>{128, 255}));
    EXPECT_EQ(plane<std::uint8_t>(out, 1), (std::vector<std::uint8_t>{255, 128}));
    EXPECT_EQ(plane<std::uint8_t>(out, 2), (std::vector<std::uint8_t>{0, 255}));
}

// Many sizes from several threads at once: plans are made, shared and
// evicted concurrently, and every result stays right.
TEST_F(FftTest, ConcurrentTransformsOfManySizesAreCorrect)
{
    std::vector<std::thread> threads;
    std::vector<int> failures(8, 0);
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([t, &failures] {
            for (int round = 0; round < 5; ++round)
                for (int size = 1; size <= 24; ++size) {
                    const int width = size + t % 3, height = 25 - size;
                    const auto pixels = ramp<std::uint8_t>(width, height, t, 5);
                    Vobject spectrum, back;
                    if (fft_image(bytes(width, height, pixels), &spectrum) != V_OK ||
                        fft_image_inv(spectrum, &back) != V_OK) {
                        ++failures[t];
                        continue;
                    }
                    const auto got = plane<float>(back);
                    for (std::size_t i = 0; i < got.size(); ++i)
                        if (std::abs(got[i] - pixels[i]) > 1e-2f)
                            ++failures[t];
                }
        });
    for (auto& thread : threads)
        thread.join();
    for (int f : failures)
        EXPECT_EQ(f, 0);
}

} // namespace
