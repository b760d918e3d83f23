#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "workbench/common/rect_tracker.h"

// Found by GoogleTest's printer through the type's namespace.
void PrintTo(const TrackerRect& r, std::ostream* out)
{
    *out << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}

namespace {

constexpr TrackerRect zone{100, 50, 200, 130};

// ---- HitTest ----------------------------------------------------------------

struct HitCase {
    TrackerRect rect;
    unsigned style;
    int size, x, y, hit;
};

class HitTestTest : public ::testing::TestWithParam<HitCase> { };

TEST_P(HitTestTest, PointHitsHandleInsideOrNothing)
{
    const HitCase& c = GetParam();
    CRectTracker tracker;
    tracker.m_rect = c.rect;
    tracker.m_nStyle = c.style;
    tracker.m_nHandleSize = c.size;
    EXPECT_EQ(tracker.HitTest(QPoint(c.x, c.y)), c.hit) << c.x << "," << c.y;
}

constexpr unsigned inside = CRectTracker::resizeInside | CRectTracker::dottedLine;
constexpr unsigned outside = CRectTracker::resizeOutside | CRectTracker::solidLine;

// Handles of 8 at the corners and at the middles: column 146..153, row 86..93.
INSTANTIATE_TEST_SUITE_P(
    Handles, HitTestTest,
    ::testing::Values(HitCase{zone, inside, 8, 100, 50, CRectTracker::hitTopLeft},
                      HitCase{zone, inside, 8, 107, 57, CRectTracker::hitTopLeft},
                      HitCase{zone, inside, 8, 108, 57, CRectTracker::hitMiddle},
                      HitCase{zone, inside, 8, 199, 50, CRectTracker::hitTopRight},
                      HitCase{zone, inside, 8, 199, 129, CRectTracker::hitBottomRight},
                      HitCase{zone, inside, 8, 100, 129, CRectTracker::hitBottomLeft},
                      HitCase{zone, inside, 8, 146, 50, CRectTracker::hitTop},
                      HitCase{zone, inside, 8, 153, 57, CRectTracker::hitTop},
                      HitCase{zone, inside, 8, 154, 50, CRectTracker::hitMiddle},
                      HitCase{zone, inside, 8, 199, 86, CRectTracker::hitRight},
                      HitCase{zone, inside, 8, 150, 129, CRectTracker::hitBottom},
                      HitCase{zone, inside, 8, 100, 93, CRectTracker::hitLeft},
                      HitCase{zone, inside, 8, 150, 90, CRectTracker::hitMiddle},
                      HitCase{zone, inside, 8, 200, 90, CRectTracker::hitNothing},
                      HitCase{zone, inside, 8, 99, 90, CRectTracker::hitNothing},
                      HitCase{zone, outside, 8, 96, 46, CRectTracker::hitTopLeft},
                      HitCase{zone, outside, 8, 100, 50, CRectTracker::hitMiddle},
                      HitCase{zone, outside, 8, 200, 130, CRectTracker::hitBottomRight},
                      HitCase{zone, outside, 8, 146, 42, CRectTracker::hitTop},
                      HitCase{zone, outside, 8, 207, 93, CRectTracker::hitRight},
                      // Without a resize style or with handle size 0 there are no handles.
                      HitCase{zone, CRectTracker::dottedLine, 8, 100, 50, CRectTracker::hitMiddle},
                      HitCase{zone, CRectTracker::dottedLine, 8, 96, 46, CRectTracker::hitNothing},
                      HitCase{zone, inside, 0, 100, 50, CRectTracker::hitMiddle},
                      // An inverted rectangle is hit as its normalised copy; a point never.
                      HitCase{{200, 130, 100, 50}, inside, 8, 100, 50, CRectTracker::hitTopLeft},
                      HitCase{{200, 130, 100, 50}, inside, 8, 150, 90, CRectTracker::hitMiddle},
                      HitCase{{40, 40, 40, 40}, inside, 8, 40, 40, CRectTracker::hitNothing}));

// ---- The tracking state machine ----------------------------------------------

struct TrackCase {
    int hit;
    bool invert;
    QPoint start, to;
    TrackerRect result;
    bool changed;
};

class TrackStateTest : public ::testing::TestWithParam<TrackCase> { };

TEST_P(TrackStateTest, MouseOffsetsGiveRectangle)
{
    const TrackCase& c = GetParam();
    CRectTracker tracker;
    tracker.m_rect = zone;
    tracker.BeginTrack(c.start, c.hit, c.invert);
    EXPECT_TRUE(tracker.IsTracking());
    tracker.TrackTo(c.to);
    EXPECT_EQ(tracker.EndTrack(), c.changed);
    EXPECT_EQ(tracker.m_rect, c.result);
    EXPECT_FALSE(tracker.IsTracking());
}

INSTANTIATE_TEST_SUITE_P(
    MovesResizesAndBands, TrackStateTest,
    ::testing::Values(
        TrackCase{CRectTracker::hitMiddle, false, {150, 90}, {160, 80}, {110, 40, 210, 120}, true},
        TrackCase{CRectTracker::hitMiddle, false, {150, 90}, {150, 90}, zone, false},
        TrackCase{CRectTracker::hitTopLeft, false, {100, 50}, {90, 60}, {90, 60, 200, 130}, true},
        TrackCase{
            CRectTracker::hitBottomLeft, false, {100, 129}, {95, 139}, {95, 50, 200, 140}, true},
        TrackCase{CRectTracker::hitRight, false, {199, 90}, {250, 0}, {100, 50, 251, 130}, true},
        TrackCase{CRectTracker::hitTop, false, {150, 50}, {0, 45}, {100, 45, 200, 130}, true},
        TrackCase{
            CRectTracker::hitBottom, false, {150, 129}, {150, 149}, {100, 50, 200, 150}, true},
        // Dragged past the opposite edge: stopped there, or inverted.
        TrackCase{CRectTracker::hitLeft, false, {100, 90}, {300, 90}, {200, 50, 200, 130}, true},
        TrackCase{CRectTracker::hitLeft, true, {100, 90}, {300, 90}, {300, 50, 200, 130}, true},
        TrackCase{
            CRectTracker::hitTopLeft, true, {100, 50}, {250, 180}, {250, 180, 200, 130}, true},
        // Rubber bands start at the start point, whatever the rectangle was.
        TrackCase{CRectTracker::hitNothing, false, {10, 20}, {40, 60}, {10, 20, 40, 60}, true},
        TrackCase{CRectTracker::hitNothing, true, {40, 60}, {10, 20}, {40, 60, 10, 20}, true},
        TrackCase{CRectTracker::hitNothing, false, {40, 60}, {10, 20}, {40, 60, 40, 60}, false},
        TrackCase{CRectTracker::hitNothing, true, {40, 60}, {140, 60}, {40, 60, 140, 60}, true},
        TrackCase{CRectTracker::hitNothing, true, {40, 60}, {40, 60}, {40, 60, 40, 60}, false}));

TEST(RectTrackerTest, MovingAnInvertedRectangleNormalisesItAndCancelRestoresIt)
{
    CRectTracker tracker;
    tracker.m_rect = {200, 130, 100, 50};
    tracker.BeginTrack({150, 90}, CRectTracker::hitMiddle, false);
    tracker.TrackTo({155, 95});
    EXPECT_EQ(tracker.m_rect, (TrackerRect{105, 55, 205, 135}));
    tracker.CancelTrack();
    EXPECT_EQ(tracker.m_rect, (TrackerRect{200, 130, 100, 50}));
    EXPECT_FALSE(tracker.IsTracking());

    tracker.TrackTo({0, 0});
    EXPECT_FALSE(tracker.EndTrack());
    EXPECT_EQ(tracker.m_rect, (TrackerRect{200, 130, 100, 50}));
    tracker.NormalizeRect();
    EXPECT_EQ(tracker.m_rect, zone);
}

// ---- Modal tracking through the widget's events -------------------------------

// A widget that remembers the tracker rectangle at each paint, as a view does.
class TrackedWidget : public QWidget {
public:
    explicit TrackedWidget(const CRectTracker& tracker) : tracker_(tracker) { resize(300, 200); }
    std::vector<TrackerRect> painted;

protected:
    void paintEvent(QPaintEvent*) override { painted.push_back(tracker_.m_rect); }

private:
    const CRectTracker& tracker_;
};

class ModalTrackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        widget = std::make_unique<TrackedWidget>(tracker);
        widget->show();
        // No case may wait for ever on events that never come.
        later(5000, [this] {
            if (tracker.IsTracking()) {
                ADD_FAILURE() << "tracking still runs after 5 s";
                key(Qt::Key_Escape);
            }
        });
    }

    // Sends events to the widget once the tracking loop runs, `delay` ms apart.
    void later(int delay, std::function<void()> action)
    {
        QTimer::singleShot(delay, widget.get(), action);
    }
    void send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, at, widget->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(widget.get(), &event);
    }
    void drag(QPoint at) { send(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton); }
    void release(QPoint at) { send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton); }
    void key(int code)
    {
        QKeyEvent event(QEvent::KeyPress, code, Qt::NoModifier);
        QCoreApplication::sendEvent(widget.get(), &event);
    }

    CRectTracker tracker;
    std::unique_ptr<TrackedWidget> widget;
};

TEST_F(ModalTrackTest, RubberBandFollowsTheMouseUntilRelease)
{
    later(0, [this] { drag({30, 40}); });
    later(30, [this] {
        drag({60, 70});
        release({80, 90});
    });
    EXPECT_TRUE(tracker.TrackRubberBand(widget.get(), {10, 20}, true));
    EXPECT_EQ(tracker.m_rect, (TrackerRect{10, 20, 80, 90}));
    EXPECT_FALSE(tracker.IsTracking());
    const auto& painted = widget->painted;
    EXPECT_NE(std::find(painted.begin(), painted.end(), TrackerRect{10, 20, 30, 40}),
              painted.end());
}

TEST_F(ModalTrackTest, EscapeCancelsAndRestoresTheRectangle)
{
    tracker.m_rect = {1, 2, 3, 4};
    later(0, [this] {
        drag({30, 40});
        key(Qt::Key_Escape);
        release({50, 50});
    });
    EXPECT_FALSE(tracker.TrackRubberBand(widget.get(), {10, 20}, true));
    EXPECT_EQ(tracker.m_rect, (TrackerRect{1, 2, 3, 4}));
}

TEST_F(ModalTrackTest, TrackMovesFromInsideAndAMoveWithoutTheButtonEndsIt)
{
    tracker.m_rect = {50, 50, 100, 100};
    later(0, [this] { send(QEvent::MouseMove, {70, 65}, Qt::NoButton, Qt::NoButton); });
    EXPECT_TRUE(tracker.Track(widget.get(), {60, 60}, false));
    EXPECT_EQ(tracker.m_rect, (TrackerRect{60, 55, 110, 105}));
}

TEST_F(ModalTrackTest, TrackOutsideTheRectangleOrOnAHiddenWidgetReturnsAtOnce)
{
    tracker.m_rect = {50, 50, 100, 100};
    EXPECT_FALSE(tracker.Track(widget.get(), {10, 10}, false));
    widget->hide();
    EXPECT_FALSE(tracker.Track(widget.get(), {60, 60}, false));
    EXPECT_FALSE(tracker.TrackRubberBand(widget.get(), {10, 10}, true));
    EXPECT_FALSE(tracker.IsTracking());
    EXPECT_EQ(tracker.m_rect, (TrackerRect{50, 50, 100, 100}));
}

TEST_F(ModalTrackTest, LosingTheMouseToAnotherWidgetCancels)
{
    tracker.m_rect = {1, 2, 3, 4};
    QWidget other;
    other.show();
    later(0, [&] {
        drag({30, 40});
        other.grabMouse();
    });
    EXPECT_FALSE(tracker.TrackRubberBand(widget.get(), {10, 20}, true));
    EXPECT_EQ(tracker.m_rect, (TrackerRect{1, 2, 3, 4}));
    EXPECT_FALSE(tracker.IsTracking());
    other.releaseMouse();
}

TEST_F(ModalTrackTest, DestroyingTheWidgetEndsTrackingAsCancelled)
{
    tracker.m_rect = {1, 2, 3, 4};
    QTimer::singleShot(0, [this] {
        drag({30, 40});
        widget.reset();
    });
    EXPECT_FALSE(tracker.TrackRubberBand(widget.get(), {10, 20}, false));
    EXPECT_EQ(tracker.m_rect, (TrackerRect{1, 2, 3, 4}));
}

// ---- Drawing -----------------------------------------------------------------

QImage draw(const TrackerRect& rect, unsigned style, int size, QColor colour = Qt::black)
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    CRectTracker tracker;
    tracker.m_rect = rect;
    tracker.m_nStyle = style;
    tracker.m_nHandleSize = size;
    QPainter painter(&image);
    painter.setPen(colour);
    tracker.Draw(painter);
    return image;
}

bool is(const QImage& image, int x, int y, QColor colour)
{
    return image.pixel(x, y) == colour.rgb();
}

constexpr TrackerRect box{5, 5, 25, 20}; // columns 5..24, rows 5..19

TEST(RectTrackerDrawTest, SolidBorderCoversTheEdgePixelsOnly)
{
    const QImage image = draw(box, CRectTracker::solidLine, 8);
    for (QPoint p :
         {QPoint(5, 5), QPoint(24, 5), QPoint(24, 19), QPoint(5, 19), QPoint(15, 5), QPoint(5, 12)})
        EXPECT_TRUE(is(image, p.x(), p.y(), Qt::black)) << p.x() << "," << p.y();
    for (QPoint p : {QPoint(15, 12), QPoint(25, 5), QPoint(5, 20), QPoint(4, 4), QPoint(6, 6)})
        EXPECT_TRUE(is(image, p.x(), p.y(), Qt::white)) << p.x() << "," << p.y();
}

TEST(RectTrackerDrawTest, DottedBorderLeavesGaps)
{
    const QImage image = draw(box, CRectTracker::dottedLine, 8);
    int black = 0;
    for (int x = 5; x <= 24; ++x)
        black += is(image, x, 5, Qt::black);
    EXPECT_GT(black, 4);
    EXPECT_LT(black, 16);
}

TEST(RectTrackerDrawTest, HandlesAreFilledInsideOrOutside)
{
    const QImage in = draw(box, CRectTracker::resizeInside, 4);
    for (QPoint p : {QPoint(5, 5), QPoint(8, 8), QPoint(21, 16), QPoint(24, 19), QPoint(13, 5),
                     QPoint(16, 8), QPoint(21, 10), QPoint(5, 13)})
        EXPECT_TRUE(is(in, p.x(), p.y(), Qt::black)) << p.x() << "," << p.y();
    for (QPoint p : {QPoint(9, 9), QPoint(12, 7), QPoint(4, 4), QPoint(15, 12)})
        EXPECT_TRUE(is(in, p.x(), p.y(), Qt::white)) << p.x() << "," << p.y();

    const QImage out = draw(box, CRectTracker::resizeOutside, 4);
    EXPECT_TRUE(is(out, 1, 1, Qt::black));
    EXPECT_TRUE(is(out, 4, 4, Qt::black));
    EXPECT_TRUE(is(out, 28, 23, Qt::black));
    EXPECT_TRUE(is(out, 5, 5, Qt::white));
    EXPECT_TRUE(is(draw(box, CRectTracker::solidLine, 4), 1, 1, Qt::white));
}

TEST(RectTrackerDrawTest, HatchingFillsBandOrInsideWithGaps)
{
    auto count = [](const QImage& image, QRect area) {
        int black = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                black += is(image, x, y, Qt::black);
        return black;
    };
    const QImage hatched = draw(box, CRectTracker::hatchInside, 4);
    const int inside = count(hatched, QRect(5, 5, 20, 15));
    EXPECT_GT(inside, 0);
    EXPECT_LT(inside, 20 * 15);
    EXPECT_EQ(count(hatched, QRect(0, 0, 40, 30)), inside);

    const QImage band = draw(box, CRectTracker::hatchedBorder, 4);
    EXPECT_GT(count(band, QRect(1, 1, 38, 4)), 0);
    EXPECT_EQ(count(band, QRect(5, 5, 20, 15)), 0);
    EXPECT_EQ(count(band, QRect(30, 0, 10, 30)), 0);
}

TEST(RectTrackerDrawTest, InvertedIsDrawnNormalisedPointNotAtAllInThePenColour)
{
    const unsigned style = CRectTracker::solidLine | CRectTracker::resizeInside;
    EXPECT_EQ(draw({25, 20, 5, 5}, style, 4), draw(box, style, 4));
    QImage blank(40, 30, QImage::Format_RGB32);
    blank.fill(Qt::white);
    EXPECT_EQ(draw({12, 12, 12, 12}, style, 4), blank);
    EXPECT_TRUE(is(draw(box, CRectTracker::solidLine, 4, Qt::red), 15, 5, Qt::red));
}

} // namespace
