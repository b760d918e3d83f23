#include <complex>

#include "test_images.h"

using namespace testimg;

namespace {

class GeometryTest : public OperatorTest { };

// 4 x 3, pixel value 10 x row + column.
Vobject grid() { return bytes(4, 3, {0, 1, 2, 3, 10, 11, 12, 13, 20, 21, 22, 23}); }

TEST_F(GeometryTest, CropIsClippedToTheImage)
{
    struct {
        int row, column, width, height;
        int out_width, out_height;
        std::vector<std::uint8_t> pixels;
    } const cases[] = {
        {1, 1, 2, 2, 2, 2, {11, 12, 21, 22}},
        {0, 0, 4, 3, 4, 3, {0, 1, 2, 3, 10, 11, 12, 13, 20, 21, 22, 23}},
        {2, 2, 10, 10, 2, 1, {22, 23}},
        {-1, -2, 3, 2, 1, 1, {0}},
        {0, 3, 1, 3, 1, 3, {3, 13, 23}},
    };
    for (const auto& c : cases) {
        Vobject out;
        ASSERT_EQ(crop_part(grid(), &out, c.row, c.column, c.width, c.height), V_OK);
        EXPECT_EQ(out.image(0)->width(), c.out_width);
        EXPECT_EQ(out.image(0)->height(), c.out_height);
        EXPECT_EQ(plane<std::uint8_t>(out), c.pixels);
    }
}

TEST_F(GeometryTest, CropOutsideTheImageIsAnError)
{
    Vobject out;
    EXPECT_EQ(crop_part(grid(), &out, 3, 0, 2, 2), VERR_OUTSIDE);
    EXPECT_EQ(crop_part(grid(), &out, 0, 4, 2, 2), VERR_OUTSIDE);
    EXPECT_EQ(crop_part(grid(), &out, -2, 0, 4, 2), VERR_OUTSIDE);
    EXPECT_EQ(crop_part(grid(), &out, 0x7fffffff, 0x7fffffff, 0x7fffffff, 0x7fffffff),
              VERR_OUTSIDE);
    EXPECT_EQ(crop_part(grid(), &out, 0, 0, 0, 2), VERR_PARAM);
    EXPECT_TRUE(out.empty());
}

TEST_F(GeometryTest, CropAndZoomKeepEveryTypeAndChannel)
{
    using C = std::complex<float>;
    const Vobject complex = make<C>("complex", 2, 2, {{C(1, 2), C(3, 4), C(5, 6), C(7, 8)}});
    const Vobject words =
        make<std::uint16_t>("uint2", 2, 2, {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}});
    const Vobject reals = make<float>("real", 2, 2, {{0.5f, 1.5f, 2.5f, 3.5f}});
    Vobject out;
    ASSERT_EQ(crop_part(complex, &out, 1, 0, 1, 1), V_OK);
    EXPECT_EQ(plane<C>(out), std::vector<C>{C(5, 6)});
    ASSERT_EQ(crop_part(words, &out, 0, 1, 1, 2), V_OK);
    EXPECT_EQ(plane<std::uint16_t>(out, 2), (std::vector<std::uint16_t>{10, 12}));
    ASSERT_EQ(zoom_image_size(complex, &out, 4, 1, "constant"), V_OK);
    EXPECT_EQ(plane<C>(out), (std::vector<C>{C(5, 6), C(5, 6), C(7, 8), C(7, 8)}));
    ASSERT_EQ(zoom_image_size(words, &out, 1, 1, "constant"), V_OK);
    EXPECT_EQ(plane<std::uint16_t>(out, 1), std::vector<std::uint16_t>{8});
    ASSERT_EQ(zoom_image_size(reals, &out, 2, 4, "constant"), V_OK);
    EXPECT_EQ(plane<float>(out),
              (std::vector<float>{0.5f, 1.5f, 0.5f, 1.5f, 2.5f, 3.5f, 2.5f, 3.5f}));
    EXPECT_EQ(type_of(out), "real");
}

TEST_F(GeometryTest, ZoomToTheSameSizeIsTheIdentity)
{
    for (const Shape& s : kShapes)
        for (int channels : {1, 3}) {
            const auto planes = byte_ramps(s, channels, 50, 13);
            Vobject out;
            ASSERT_EQ(zoom_image_size(make("byte", s.width, s.height, planes), &out, s.width,
                                      s.height, "constant"),
                      V_OK);
            for (int c = 0; c < channels; ++c)
                EXPECT_EQ(plane<std::uint8_t>(out, c), planes[c]) << s.width << "x" << s.height;
        }
}

TEST_F(GeometryTest, ZoomTakesTheNearestSourcePixel)
{
    Vobject out;
    ASSERT_EQ(zoom_image_size(bytes(4, 1, {10, 20, 30, 40}), &out, 2, 1, "constant"), V_OK);
    EXPECT_EQ(plane<std::uint8_t>(out), (std::vector<std::uint8_t>{20, 40}));
    ASSERT_EQ(zoom_image_size(bytes(3, 1, {10, 20, 30}), &out, 5, 1, "constant"), V_OK);
    EXPECT_EQ(plane<std::uint8_t>(out), (std::vector<std::uint8_t>{10, 10, 20, 30, 30}));

    // The resizing dialog's largest step: 640 x 480 to 1280 x 960 doubles every pixel.
    const auto source = ramp<std::uint8_t>(640, 480, 0, 1);
    ASSERT_EQ(zoom_image_size(bytes(640, 480, source), &out, 1280, 960, "constant"), V_OK);
    const auto big = plane<std::uint8_t>(out);
    for (int y : {0, 1, 479 * 2 + 1})
        for (int x : {0, 1, 2, 1279})
            EXPECT_EQ(big[std::size_t(y) * 1280 + std::size_t(x)],
                      source[std::size_t(y / 2) * 640 + std::size_t(x / 2)]);

    // Any other size, every pixel, in row bands whose repeated rows are copies.
    const auto odd = ramp<std::uint8_t>(300, 200, 7, 3);
    ASSERT_EQ(zoom_image_size(bytes(300, 200, odd), &out, 777, 555, "constant"), V_OK);
    const auto zoomed = plane<std::uint8_t>(out);
    int wrong = 0;
    for (int y = 0; y < 555; ++y)
        for (int x = 0; x < 777; ++x)
            wrong += zoomed[std::size_t(y) * 777 + std::size_t(x)] !=
                     odd[std::size_t((2 * y + 1) * 200 / 1110) * 300 +
                         std::size_t((2 * x + 1) * 300 / 1554)];
    EXPECT_EQ(wrong, 0);

    // A source more than 2^30 pixels wide, of which one pixel is read.
    Vobject wide;
    ASSERT_EQ(gen_image_const(&wide, "byte", (1 << 30) + 2, 1), V_OK);
    ASSERT_EQ(zoom_image_size(wide, &out, 1, 1, "constant"), V_OK);
    EXPECT_EQ(plane<std::uint8_t>(out), (std::vector<std::uint8_t>{0}));

    EXPECT_EQ(zoom_image_size(grid(), &out, 0, 5, "constant"), VERR_PARAM);
    EXPECT_EQ(zoom_image_size(grid(), &out, 5, 5, "bilinear"), VERR_PARAM);
    EXPECT_EQ(zoom_image_size(Vobject(), &out, 5, 5, "constant"), VERR_NO_OBJECT);
}

TEST_F(GeometryTest, TileFillsRowsLeftToRight)
{
    Vobject all;
    for (std::uint8_t v : {1, 2, 3}) {
        const Vobject one = bytes(2, 1, {v, std::uint8_t(v * 10)});
        concat_obj(all, one, &all);
    }
    Vobject out;
    ASSERT_EQ(tile_images(all, &out, 2, "horizontal"), V_OK);
    EXPECT_EQ(out.image(0)->width(), 4);
    EXPECT_EQ(out.image(0)->height(), 2);
    EXPECT_EQ(plane<std::uint8_t>(out), (std::vector<std::uint8_t>{1, 10, 2, 20, 3, 30, 0, 0}));
    ASSERT_EQ(tile_images(all, &out, 5, "horizontal"), V_OK);
    EXPECT_EQ(plane<std::uint8_t>(out), (std::vector<std::uint8_t>{1, 10, 2, 20, 3, 30}));
    ASSERT_EQ(tile_images(all, &out, 1, "horizontal"), V_OK);
    EXPECT_EQ(out.image(0)->height(), 3);

    const Vobject colour = make<std::uint8_t>("byte", 1, 1, {{1}, {2}, {3}});
    Vobject pair;
    concat_obj(colour, colour, &pair);
    ASSERT_EQ(tile_images(pair, &out, 2, "horizontal"), V_OK);
    EXPECT_EQ(plane<std::uint8_t>(out, 2), (std::vector<std::uint8_t>{3, 3}));

    Vobject mixed;
    concat_obj(all, bytes(1, 1, {9}), &mixed);
    EXPECT_EQ(tile_images(mixed, &out, 2, "horizontal"), VERR_SIZE_MISMATCH);
    concat_obj(all, make<float>("real", 2, 1, {{1, 2}}), &mixed);
    EXPECT_EQ(tile_images(mixed, &out, 2, "horizontal"), VERR_TYPE_MISMATCH);
    EXPECT_EQ(tile_images(all, &out, 0, "horizontal"), VERR_PARAM);
    EXPECT_EQ(tile_images(all, &out, 2, "vertical"), VERR_PARAM);
    EXPECT_EQ(tile_images(Vobject(), &out, 2, "horizontal"), VERR_NO_OBJECT);
}

} // namespace
