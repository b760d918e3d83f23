// Building images from pixel lists and reading them back, for the operator tests.
#pragma once

#include <gtest/gtest.h>

#include <complex>
#include <cstdint>
#include <string>
#include <vector>

#include <verodyn/verodyn.h>

namespace testimg {

// The shapes every operator must survive: width, height.
struct Shape {
    int width, height;
};
inline const Shape kShapes[] = {{1, 1}, {4, 4}, {5, 3}, {1, 7}, {9, 1}};

// An image of `channels` planes (1 or 3) of type `type`.
template <typename T>
Vobject make(const char* type, int width, int height, const std::vector<std::vector<T>>& planes)
{
    const void* p[3] = {};
    for (std::size_t c = 0; c < planes.size() && c < 3; ++c)
        p[c] = planes[c].data();
    Vobject image;
    const Vstatus status = planes.size() == 1
                               ? gen_image1(&image, type, width, height, p[0])
                               : gen_image3(&image, type, width, height, p[0], p[1], p[2]);
    EXPECT_EQ(status, V_OK);
    return image;
}

inline Vobject bytes(int width, int height, std::vector<std::uint8_t> pixels)
{
    return make<std::uint8_t>("byte", width, height, {pixels});
}

// A plane whose pixel i is `seed` + i x `step`, wrapped to T's range for integers.
template <typename T> std::vector<T> ramp(int width, int height, double seed, double step)
{
    std::vector<T> plane(std::size_t(width) * std::size_t(height));
    for (std::size_t i = 0; i < plane.size(); ++i) {
        const double value = seed + double(i) * step;
        if constexpr (std::is_floating_point_v<T>)
            plane[i] = T(value);
        else
            plane[i] = T(static_cast<long long>(value));
    }
    return plane;
}

// `channels` byte planes of shape `s`: plane c is a ramp from c x `channel_seed` by `step`.
inline std::vector<std::vector<std::uint8_t>> byte_ramps(const Shape& s, int channels,
                                                         double channel_seed, double step)
{
    std::vector<std::vector<std::uint8_t>> planes;
    for (int c = 0; c < channels; ++c)
        planes.push_back(ramp<std::uint8_t>(s.width, s.height, channel_seed * c, step));
    return planes;
}

template <typename T> std::vector<T> plane(const Vobject& image, int channel = 0)
{
    const VImage& im = *image.image(0);
    const T* p = im.plane_as<T>(channel);
    return std::vector<T>(p, p + im.pixel_count());
}

inline std::string type_of(const Vobject& image)
{
    std::string type;
    get_image_pointer1(image, nullptr, &type, nullptr, nullptr);
    return type;
}

// Errors come back as statuses in every test.
class OperatorTest : public ::testing::Test {
protected:
    void SetUp() override { set_check("~give_error"); }
    void TearDown() override { set_check("give_error"); }
};

} // namespace testimg
