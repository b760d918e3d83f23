#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>
#include <array>
#include <limits>
#include <thread>
#include <vector>

#include <verodyn/verodyn.h>
#include <verodyn/window.h>

namespace {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { set_check("~give_error"); }
    void TearDown() override
    {
        for (long handle : opened_)
            close_window(handle);
        set_check("father");
        set_check("give_error");
    }

    long open(int width, int height, QWidget* father = nullptr, int row = 0, int column = 0)
    {
        long handle = 0;
        EXPECT_EQ(open_window(row, column, width, height, father, "visible", "", &handle), V_OK);
        opened_.push_back(handle);
        return handle;
    }

    static QImage shown(long handle) { return window_widget(handle)->grab().toImage(); }

    std::vector<long> opened_;
};

// A grey ramp whose pixel (x, y) is x + 16 * y (mod 256).
Vobject grey_ramp(int width, int height)
{
    std::vector<unsigned char> plane(std::size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            plane[std::size_t(y) * width + x] = static_cast<unsigned char>(x + 16 * y);
    Vobject image;
    gen_image1(&image, "byte", width, height, plane.data());
    return image;
}

TEST_F(WindowTest, GreyImageIsShownOneToOneWithTheImageSizeAsPart)
{
    const int width = 37, height = 11; // odd width: rows are padded in the QImage
    const long handle = open(width, height);
    ASSERT_EQ(set_part(handle, 0, 0, height, width), V_OK);
    ASSERT_EQ(disp_obj(grey_ramp(width, height), handle), V_OK);
    const QImage image = shown(handle);
    ASSERT_EQ(image.size(), QSize(width, height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int level = (x + 16 * y) & 0xFF;
            ASSERT_EQ(image.pixel(x, y), qRgb(level, level, level)) << x << "," << y;
        }
}

TEST_F(WindowTest, ColourPlanesAreShownAsRedGreenBlue)
{
    const unsigned char red[4] = {255, 0, 0, 10}, green[4] = {0, 255, 0, 20},
                        blue[4] = {0, 0, 255, 30};
    Vobject image;
    ASSERT_EQ(gen_image3(&image, "byte", 2, 2, red, green, blue), V_OK);
    const long handle = open(2, 2);
    ASSERT_EQ(set_part(handle, 0, 0, 2, 2), V_OK);
    ASSERT_EQ(disp_obj(image, handle), V_OK);
    const QImage picture = shown(handle);
    EXPECT_EQ(picture.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(picture.pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_EQ(picture.pixel(0, 1), qRgb(0, 0, 255));
    EXPECT_EQ(picture.pixel(1, 1), qRgb(10, 20, 30));
}

TEST_F(WindowTest, ThePartIsScaledToFillTheWindowAndOutsideTheImageIsBlack)
{
    const long handle = open(8, 8);
    ASSERT_EQ(disp_obj(grey_ramp(4, 4), handle), V_OK);

    struct Case {
        std::array<int, 4> part; // row1, column1, row2, column2
        QPoint at;
        int level; // -1: black background
    };
    const Case cases[] = {
        {{0, 0, 4, 4}, {0, 0}, 0},    {{0, 0, 4, 4}, {1, 1}, 0},   {{0, 0, 4, 4}, {2, 0}, 1},
        {{0, 0, 4, 4}, {7, 7}, 51},   {{1, 1, 3, 3}, {0, 0}, 17},  {{1, 1, 3, 3}, {4, 7}, 34},
        {{0, 0, 8, 8}, {3, 3}, 51},   {{0, 0, 8, 8}, {4, 0}, -1},  {{0, 0, 8, 8}, {7, 7}, -1},
        {{-2, -2, 6, 6}, {0, 0}, -1}, {{-2, -2, 6, 6}, {3, 2}, 1},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(set_part(handle, c.part[0], c.part[1], c.part[2], c.part[3]), V_OK);
        const int level = c.level < 0 ? 0 : c.level;
        EXPECT_EQ(shown(handle).pixel(c.at), qRgb(level, level, level))
            << c.part[0] << "," << c.part[1] << "," << c.part[2] << "," << c.part[3] << " at "
            << c.at.x() << "," << c.at.y();
    }
}

TEST_F(WindowTest, UntilSetPartTheWindowShowsTheImageOneToOneFromItsOrigin)
{
    const long handle = open(6, 4);
    ASSERT_EQ(disp_obj(grey_ramp(3, 2), handle), V_OK);
    const QImage picture = shown(handle);
    EXPECT_EQ(picture.pixel(2, 1), qRgb(18, 18, 18));
    EXPECT_EQ(picture.pixel(3, 1), qRgb(0, 0, 0));
    EXPECT_EQ(picture.pixel(2, 2), qRgb(0, 0, 0));
}

TEST_F(WindowTest, RealAndComplexChannelsAreScaledFromTheirMinimumToTheirMaximum)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* type;
        std::vector<float> values; // complex: real and imaginary parts
        std::array<int, 4> levels;
    };
    const Case cases[] = {
        {"real", {-10, 0, 10, 30}, {0, 64, 128, 255}},
        {"real", {5, 5, 5, 5}, {0, 0, 0, 0}},
        {"real", {1, nan, 3, 2}, {0, 0, 255, 128}},
        {"complex", {3, 4, 0, 0, 0, 10, -6, 8}, {128, 0, 255, 255}},
    };
    const long handle = open(2, 2);
    for (const Case& c : cases) {
        Vobject image;
        ASSERT_EQ(gen_image1(&image, c.type, 2, 2, c.values.data()), V_OK);
        ASSERT_EQ(disp_obj(image, handle), V_OK);
        const QImage picture = shown(handle);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(picture.pixel(i % 2, i / 2), qRgb(c.levels[i], c.levels[i], c.levels[i]))
                << c.type << " " << i;
    }
    std::vector<float> red = {0, 2}, green = {7, 7}, blue = {4, -4};
    Vobject colour;
    ASSERT_EQ(gen_image3(&colour, "real", 2, 1, red.data(), green.data(), blue.data()), V_OK);
    ASSERT_EQ(disp_obj(colour, handle), V_OK);
    EXPECT_EQ(shown(handle).pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(shown(handle).pixel(1, 0), qRgb(255, 0, 0));
}

TEST_F(WindowTest, TheShownImageIsACopyOfThePlanes)
{
    Vobject image = grey_ramp(2, 2);
    const long handle = open(2, 2);
    ASSERT_EQ(disp_obj(image, handle), V_OK);
    void* plane;
    get_image_pointer1(image, &plane, nullptr, nullptr, nullptr);
    static_cast<unsigned char*>(plane)[0] = 200;
    image.clear();
    EXPECT_EQ(shown(handle).pixel(0, 0), qRgb(0, 0, 0));
}

TEST_F(WindowTest, ExtentsPlaceTheWindowInItsFatherAndKeepThePart)
{
    set_check("~father");
    QWidget view;
    view.resize(100, 80);
    const long handle = open(20, 10, &view, 5, 7);
    QWidget* widget = window_widget(handle);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget(), &view);
    EXPECT_EQ(widget->geometry(), QRect(7, 5, 20, 10));
    EXPECT_TRUE(widget->testAttribute(Qt::WA_TransparentForMouseEvents));

    ASSERT_EQ(set_part(handle, 0, 0, 2, 2), V_OK);
    ASSERT_EQ(disp_obj(grey_ramp(2, 2), handle), V_OK);
    ASSERT_EQ(set_window_extents(handle, 1, 2, 4, 4), V_OK);
    EXPECT_EQ(widget->geometry(), QRect(2, 1, 4, 4));
    EXPECT_EQ(shown(handle).pixel(3, 3), qRgb(17, 17, 17));
}

TEST_F(WindowTest, FatherRuleAcceptsOnlyLibraryWindowsUnlessRelaxed)
{
    QWidget plain;
    long handle = 0;
    EXPECT_EQ(open_window(0, 0, 4, 4, &plain, "visible", "", &handle), VERR_WINDOW_FATHER);
    const long outer = open(10, 10);
    const long inner = open(4, 4, window_widget(outer), 1, 1);
    EXPECT_EQ(window_widget(inner)->parentWidget(), window_widget(outer));
    set_check("~father");
    const long hosted = open(4, 4, &plain);
    EXPECT_EQ(window_widget(hosted)->parentWidget(), &plain);
}

TEST_F(WindowTest, AWindowDestroyedWithItsFatherIsGoneButClosesCleanly)
{
    set_check("~father");
    auto father = std::make_unique<QWidget>();
    long handle = 0;
    ASSERT_EQ(open_window(0, 0, 4, 4, father.get(), "visible", "", &handle), V_OK);
    father.reset();
    EXPECT_EQ(window_widget(handle), nullptr);
    EXPECT_EQ(disp_obj(grey_ramp(2, 2), handle), VERR_WINDOW_HANDLE);
    EXPECT_EQ(close_window(handle), V_OK);
    EXPECT_EQ(close_window(handle), VERR_WINDOW_HANDLE);
}

TEST_F(WindowTest, WrongArgumentsGiveTheirStatus)
{
    long handle = 0;
    EXPECT_EQ(open_window(0, 0, 0, 4, nullptr, "visible", "", &handle), VERR_PARAM);
    EXPECT_EQ(open_window(0, 0, 4, 4, nullptr, "visible", "", nullptr), VERR_PARAM);
    EXPECT_EQ(open_window(0, 0, 4, 4, nullptr, "hidden", "", &handle), VERR_WINDOW_MODE);
    EXPECT_EQ(open_window(0, 0, 4, 4, nullptr, "visible", "remote:0", &handle), VERR_WINDOW_MODE);

    const long window = open(4, 4);
    EXPECT_EQ(set_part(window, 2, 0, 2, 4), VERR_PARAM);
    EXPECT_EQ(set_part(window, 0, 3, 4, 1), VERR_PARAM);
    EXPECT_EQ(set_window_extents(window, 0, 0, 4, -1), VERR_PARAM);

    Vobject empty, words;
    gen_image_const(&words, "uint2", 2, 2);
    const Vobject two_channels(VImage::create(VPixelType::Byte, 2, 2, 2));
    EXPECT_EQ(disp_obj(empty, window), VERR_NO_OBJECT);
    EXPECT_EQ(disp_obj(words, window), VERR_PIXEL_TYPE);
    EXPECT_EQ(disp_obj(two_channels, window), VERR_CHANNEL);

    const long closed = open(2, 2);
    ASSERT_EQ(close_window(closed), V_OK);
    opened_.pop_back();
    for (long bad : {closed, 0L, -1L, 999999L}) {
        EXPECT_EQ(disp_obj(grey_ramp(2, 2), bad), VERR_WINDOW_HANDLE);
        EXPECT_EQ(set_part(bad, 0, 0, 2, 2), VERR_WINDOW_HANDLE);
        EXPECT_EQ(set_window_extents(bad, 0, 0, 2, 2), VERR_WINDOW_HANDLE);
        EXPECT_EQ(close_window(bad), VERR_WINDOW_HANDLE);
        EXPECT_EQ(window_widget(bad), nullptr);
    }
}

TEST_F(WindowTest, FailuresThrowWhileErrorsAreGiven)
{
    set_check("give_error");
    try {
        disp_obj(grey_ramp(2, 2), -7);
        FAIL() << "no exception";
    } catch (const VException& e) {
        EXPECT_EQ(e.err(), VERR_WINDOW_HANDLE);
        EXPECT_STREQ(e.what(), "disp_obj: not a window handle");
    }
}

TEST_F(WindowTest, CallsOutsideTheGuiThreadAreRefused)
{
    const long window = open(2, 2);
    Vstatus opened = 0, shown_status = 0;
    QWidget* widget = window_widget(window);
    std::thread([&] {
        long handle = 0;
        opened = open_window(0, 0, 2, 2, nullptr, "visible", "", &handle);
        shown_status = disp_obj(grey_ramp(2, 2), window);
        widget = window_widget(window);
    }).join();
    EXPECT_EQ(opened, VERR_NO_DISPLAY);
    EXPECT_EQ(shown_status, VERR_NO_DISPLAY);
    EXPECT_EQ(widget, nullptr);
}

} // namespace
