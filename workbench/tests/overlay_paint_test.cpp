#include <QImage>
#include <QPainter>

#include <verodyn/operators.h>

#include "widget_fixture.h"
#include "workbench/view/profile_overlay.h"

namespace {

class OverlayPaintTest : public WorkbenchTest {
protected:
    void SetUp() override
    {
        WorkbenchTest::SetUp();
        doc = frame->ActiveDocument();
        std::vector<uint8_t> plane(300 * 300, 100);
        Vobject image;
        ASSERT_EQ(gen_image1(&image, "byte", 300, 300, plane.data()), V_OK);
        doc->SetImage(image);
    }
    QImage Paint(bool printing)
    {
        QImage canvas(300, 300, QImage::Format_RGB32);
        canvas.fill(Qt::black);
        QPainter painter(&canvas);
        static_cast<CFraloView*>(doc->m_pView)->DrawOverlays(painter, printing);
        return canvas;
    }
    QRgb Pen(int k) const { return app->m_pens[k].color().rgb(); }
    // The box of the red label painted above row 57 (empty when none is).
    static QRect LabelBox(const QImage& c)
    {
        int left = 300, right = -1, bottom = -1;
        for (int y = 0; y < 57; ++y)
            for (int x = 0; x < 300; ++x)
                if (qRed(c.pixel(x, y)) > 128 && qGreen(c.pixel(x, y)) < 64) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    bottom = std::max(bottom, y);
                }
        return QRect(QPoint(left, 0), QPoint(right, bottom));
    }
    CFraloDoc* doc = nullptr;
};

TEST_F(OverlayPaintTest, CrossFillStaysInsideItsSquareUnderItsLabel)
{
    doc->m_ptCross = {50, 60};
    doc->m_nCrossValue = 200;
    const QImage c = Paint(false);
    const QRgb white = qRgb(255, 255, 255), red = qRgb(255, 0, 0);
    struct Case {
        int x, y;
        QRgb colour;
    };
    const Case cases[] = {
        {50, 62, red},   {50, 63, white}, {48, 58, red},   {52, 62, red},   {47, 57, white},
        {53, 57, white}, {53, 63, white}, {47, 63, white}, {53, 60, white}, {54, 60, qRgb(0, 0, 0)},
    };
    for (const Case& k : cases)
        EXPECT_EQ(c.pixel(k.x, k.y), k.colour) << k.x << "," << k.y;
    // The label "W:200" in red, centred over the cross, its bottom at row 56.
    const QRect label = LabelBox(c);
    const int left = label.left(), right = label.right(), bottom = label.bottom();
    ASSERT_GE(right, left);
    EXPECT_GT(right - left, 15);
    EXPECT_NEAR((left + right) / 2.0, 50, 2);
    EXPECT_LT(bottom, 56);
    EXPECT_GT(bottom, 40);
}

TEST_F(OverlayPaintTest, ACrossOnA16BitImageIsLabelledWithTheValueThere)
{
    const std::vector<uint16_t> plane(300 * 300, 40000);
    Vobject deep;
    ASSERT_EQ(gen_image1(&deep, "uint2", 300, 300, plane.data()), V_OK);
    doc->SetImage(deep);
    // A click keeps no value for such pixels: m_nCrossValue stays -1.
    doc->m_ptCross = {50, 60};
    const QRect label = LabelBox(Paint(false));
    EXPECT_GT(label.width(), 30); // "W:40000"
    EXPECT_NEAR(label.center().x(), 50, 2);
}

TEST_F(OverlayPaintTest, ProfilesFollowScrollingButNotPrinting)
{
    // A vertical zone: the curve stands at x = luminance 100 minus the scroll.
    doc->m_nKind = KindProfiles;
    doc->m_profile.x1 = 150;
    doc->m_profile.y1 = 20;
    doc->m_profile.x2 = 155;
    doc->m_profile.y2 = 80;
    doc->m_ptScroll = {10, 5};
    QImage screen = Paint(false);
    EXPECT_EQ(screen.pixel(90, 45), Pen(4));
    EXPECT_NE(screen.pixel(100, 50), Pen(4));
    EXPECT_EQ(screen.pixel(245, 50), Pen(4)); // the box's right side at 255 - 10
    QImage printed = Paint(true);
    EXPECT_EQ(printed.pixel(100, 50), Pen(4));
    EXPECT_EQ(printed.pixel(255, 50), Pen(4));

    // A horizontal zone: the curve at height - luminance, the box 255 deep.
    doc->m_profile = ProfileState{};
    doc->m_profile.x1 = 20;
    doc->m_profile.y1 = 100;
    doc->m_profile.x2 = 80;
    doc->m_profile.y2 = 105;
    doc->m_ptScroll = {};
    screen = Paint(false);
    EXPECT_EQ(screen.pixel(50, 200), Pen(3));
    EXPECT_EQ(screen.pixel(50, 45), Pen(3));
    EXPECT_EQ(screen.pixel(50, 150), qRgb(0, 0, 0));
    EXPECT_EQ(doc->m_profile.points[0][0], 20.0f);
    EXPECT_EQ(doc->m_profile.points[0][1], 100.0f);
}

TEST_F(OverlayPaintTest, TrackerShapes)
{
    doc->m_tracker.m_rect = {10, 10, 60, 40};
    doc->m_tracker.m_nStyle = CRectTracker::solidLine;
    doc->m_tracker.m_nHandleSize = 0;
    const auto inside = [&](int shape) {
        QImage canvas(100, 100, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        DrawTracker(painter, *doc, shape);
        int dark = 0, border = 0;
        for (int y = 10; y < 40; ++y)
            for (int x = 10; x < 60; ++x) {
                const bool edge = x == 10 || x == 59 || y == 10 || y == 39;
                (edge ? border : dark) += canvas.pixel(x, y) != qRgb(255, 255, 255);
            }
        return std::make_pair(border > 0, dark > 0);
    };
    EXPECT_EQ(inside(0), std::make_pair(true, false));
    EXPECT_EQ(inside(1), std::make_pair(true, true));
    EXPECT_EQ(inside(2), std::make_pair(false, false));
}

} // namespace
