#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <imageproc/mask_canvas.h>

namespace {

// The painted pixels of the mask as rows of '#' and '.'.
std::vector<std::string> Rows(const MaskCanvas& canvas)
{
    std::vector<std::string> rows;
    for (int y = 0; y < canvas.Height(); ++y) {
        std::string row;
        for (int x = 0; x < canvas.Width(); ++x)
            row += canvas.Mask()[std::size_t(x + canvas.Width() * y)] == 255 ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

TEST(MaskCanvas, AddingTwiceTintsOnceAndRemovingRestoresTheGrey)
{
    const uint8_t red[4] = {200, 10, 60, 70}, green[4] = {100, 10, 60, 70},
                  blue[4] = {0, 10, 60, 70};
    MaskCanvas canvas(2, 2);
    EXPECT_TRUE(canvas.Prepare(PlaneView{2, 2, 3, {red, green, blue}}));
    EXPECT_EQ(canvas.Plane(1), (std::vector<uint8_t>{119, 10, 60, 70}));
    canvas.Paint(MaskCanvas::Rectangle, 0, 0, 0, 1);
    canvas.Paint(MaskCanvas::Rectangle, 0, 1, 0, 0);
    EXPECT_EQ(canvas.Plane(0), (std::vector<uint8_t>{246, 10, 187, 70})) << "+127 mod 256, once";
    EXPECT_EQ(canvas.Mask(), (std::vector<uint8_t>{255, 0, 255, 0}));
    canvas.SetMode(MaskCanvas::Remove);
    canvas.Paint(MaskCanvas::Rectangle, 0, 0, 1, 1);
    EXPECT_EQ(canvas.Plane(0), (std::vector<uint8_t>{119, 10, 60, 70}));
    EXPECT_EQ(canvas.Mask(), (std::vector<uint8_t>(4, 0)));
}

TEST(MaskCanvas, EllipseAndBrushDiscClippedAtTheBorder)
{
    MaskCanvas ellipse(40, 30);
    ellipse.Paint(MaskCanvas::Ellipse, 30, 20, 10, 10);
    std::vector<int> column20;
    for (int y = 0; y < 30; ++y)
        if (ellipse.Mask()[std::size_t(20 + 40 * y)])
            column20.push_back(y);
    EXPECT_EQ(column20, (std::vector<int>{11, 12, 13, 14, 15, 16, 17, 18, 19}));

    MaskCanvas brush(6, 6);
    brush.Paint(MaskCanvas::Brush, -5, -5, 5, 5);
    EXPECT_EQ(Rows(brush), (std::vector<std::string>{"#####.", "#####.", "#####.", "####..",
                                                     "#.....", "......"}));
}

} // namespace
