#include "rect_tracker.h"

#include <QBrush>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QPointer>
#include <QPolygon>
#include <QRegion>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <iterator>
#include <utility>

namespace {

// How often modal tracking checks that its widget still holds the mouse.
constexpr int kGrabCheckMs = 100;

TrackerRect normalized(TrackerRect r)
{
    if (r.left > r.right)
        std::swap(r.left, r.right);
    if (r.top > r.bottom)
        std::swap(r.top, r.bottom);
    return r;
}

bool is_point(const TrackerRect& r) { return r.left == r.right && r.top == r.bottom; }

bool contains(const TrackerRect& r, QPoint p)
{
    return p.x() >= r.left && p.x() < r.right && p.y() >= r.top && p.y() < r.bottom;
}

QRect to_qrect(const TrackerRect& r)
{
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

bool has_handles(unsigned style, int size)
{
    return size > 0 && (style & (CRectTracker::resizeInside | CRectTracker::resizeOutside)) != 0;
}

// Where a handle stands along one axis: the low edge (west or north), the
// middle, or the high edge (east or south).
enum HandleLine { kLowEdge, kMiddle, kHighEdge };

struct HandlePlace {
    HandleLine column, row;
};

// In TrackerHit order: the corners clockwise from the top left, then the
// middles of the top, right, bottom and left edges.
constexpr HandlePlace kHandlePlaces[] = {
    {kLowEdge, kLowEdge}, {kHighEdge, kLowEdge}, {kHighEdge, kHighEdge}, {kLowEdge, kHighEdge},
    {kMiddle, kLowEdge},  {kHighEdge, kMiddle},  {kMiddle, kHighEdge},   {kLowEdge, kMiddle},
};
static_assert(std::size(kHandlePlaces) == CRectTracker::hitLeft + 1);

// The square of handle `hit` (hitTopLeft..hitLeft) of the normalised rectangle
// `r`: inside `r` with resizeInside, else outside.
TrackerRect handle_rect(const TrackerRect& r, unsigned style, int size, int hit)
{
    const bool inside = (style & CRectTracker::resizeInside) != 0;
    const int cx = (r.left + r.right) / 2 - size / 2;
    const int cy = (r.top + r.bottom) / 2 - size / 2;
    const int west = inside ? r.left : r.left - size;
    const int east = inside ? r.right - size : r.right;
    const int north = inside ? r.top : r.top - size;
    const int south = inside ? r.bottom - size : r.bottom;
    const int columns[] = {west, cx, east};
    const int rows[] = {north, cy, south};
    const HandlePlace place = kHandlePlaces[hit];
    const int x = columns[place.column], y = rows[place.row];
    return {x, y, x + size, y + size};
}

// Feeds the widget's mouse and keys to the tracker while its loop runs.
class TrackFilter : public QObject {
public:
    TrackFilter(CRectTracker& tracker, QEventLoop& loop) : tracker_(tracker), loop_(loop) { }

    bool released() const { return released_; }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (done_ || !tracker_.IsTracking())
            return false;
        switch (event->type()) {
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            tracker_.TrackTo(mouse->position().toPoint());
            if (!(mouse->buttons() & Qt::LeftButton))
                finish(true);
            else
                static_cast<QWidget*>(watched)->update();
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton) {
                tracker_.TrackTo(mouse->position().toPoint());
                finish(true);
            }
            return true;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            return true;
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
                finish(false);
            return true;
        case QEvent::Hide:
            finish(false);
            return false;
        default:
            return false;
        }
    }

    // The first end wins; events still queued behind it pass through.
    void finish(bool released)
    {
        if (done_)
            return;
        done_ = true;
        released_ = released;
        loop_.quit();
    }

private:
    CRectTracker& tracker_;
    QEventLoop& loop_;
    bool done_ = false;
    bool released_ = false;
};

} // namespace

int CRectTracker::HitTest(QPoint point) const
{
    const TrackerRect r = normalized(m_rect);
    if (is_point(r))
        return hitNothing;
    if (has_handles(m_nStyle, m_nHandleSize))
        for (int hit = hitTopLeft; hit <= hitLeft; ++hit)
            if (contains(handle_rect(r, m_nStyle, m_nHandleSize, hit), point))
                return hit;
    return contains(r, point) ? hitMiddle : hitNothing;
}

void CRectTracker::Draw(QPainter& painter) const
{
    const TrackerRect r = normalized(m_rect);
    if (is_point(r))
        return;
    const QColor colour = painter.pen().color();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (m_nStyle & hatchInside)
        painter.fillRect(to_qrect(r), QBrush(colour, Qt::BDiagPattern));
    if ((m_nStyle & hatchedBorder) && m_nHandleSize > 0) {
        const int s = m_nHandleSize;
        const QRect rect = to_qrect(r);
        const bool inside = (m_nStyle & resizeInside) != 0;
        const QRect outer = inside ? rect : rect.adjusted(-s, -s, s, s);
        const QRect hole = inside ? rect.adjusted(s, s, -s, -s) : rect;
        painter.setClipRegion(QRegion(outer).subtracted(QRegion(hole)));
        painter.fillRect(outer, QBrush(colour, Qt::BDiagPattern));
        painter.setClipping(false);
    }
    if (m_nStyle & (solidLine | dottedLine)) {
        painter.setPen(QPen(colour, 0, (m_nStyle & dottedLine) ? Qt::DotLine : Qt::SolidLine));
        painter.setBrush(Qt::NoBrush);
        const int right = std::max(r.left, r.right - 1), bottom = std::max(r.top, r.bottom - 1);
        painter.drawPolygon(QPolygon({QPoint(r.left, r.top), QPoint(right, r.top),
                                      QPoint(right, bottom), QPoint(r.left, bottom)}));
    }
    if (has_handles(m_nStyle, m_nHandleSize))
        for (int hit = hitTopLeft; hit <= hitLeft; ++hit)
            painter.fillRect(to_qrect(handle_rect(r, m_nStyle, m_nHandleSize, hit)), colour);
    painter.restore();
}

void CRectTracker::NormalizeRect() { m_rect = normalized(m_rect); }

void CRectTracker::Reset(unsigned style)
{
    m_rect = {};
    m_nStyle = style;
    m_nHandleSize = kHandleSize;
}

void CRectTracker::Clear() { m_rect = {}; }

void CRectTracker::KeepZone()
{
    m_nStyle |= resizeInside;
    m_nHandleSize = kHandleSize;
}

void CRectTracker::DropZone()
{
    m_rect = {};
    m_nHandleSize = 0;
}

bool CRectTracker::Track(QWidget* widget, QPoint start, bool allowInvert)
{
    const int hit = HitTest(start);
    if (hit == hitNothing || m_tracking || !widget || !widget->isVisible())
        return false;
    BeginTrack(start, hit, allowInvert);
    return RunTrackLoop(widget);
}

bool CRectTracker::TrackRubberBand(QWidget* widget, QPoint start, bool allowInvert)
{
    if (m_tracking || !widget || !widget->isVisible())
        return false;
    BeginTrack(start, hitNothing, allowInvert);
    return RunTrackLoop(widget);
}

void CRectTracker::BeginTrack(QPoint start, int hit, bool allowInvert)
{
    m_saved = m_rect;
    if (hit < hitTopLeft || hit > hitMiddle) {
        m_hit = hitNothing;
        m_rect = {start.x(), start.y(), start.x(), start.y()};
    } else {
        m_hit = hit;
        NormalizeRect();
    }
    m_base = m_rect;
    m_start = start;
    m_allowInvert = allowInvert;
    m_tracking = true;
}

void CRectTracker::TrackTo(QPoint point)
{
    if (!m_tracking)
        return;
    const int dx = point.x() - m_start.x(), dy = point.y() - m_start.y();
    const int hit = m_hit == hitNothing ? int(hitBottomRight) : m_hit;
    const bool all = hit == hitMiddle;
    const bool left = all || hit == hitTopLeft || hit == hitBottomLeft || hit == hitLeft;
    const bool right = all || hit == hitTopRight || hit == hitBottomRight || hit == hitRight;
    const bool top = all || hit == hitTopLeft || hit == hitTopRight || hit == hitTop;
    const bool bottom = all || hit == hitBottomLeft || hit == hitBottomRight || hit == hitBottom;

    TrackerRect r = m_base;
    r.left += left ? dx : 0;
    r.right += right ? dx : 0;
    r.top += top ? dy : 0;
    r.bottom += bottom ? dy : 0;
    if (!m_allowInvert && !all) {
        if (left)
            r.left = std::min(r.left, r.right);
        if (right)
            r.right = std::max(r.right, r.left);
        if (top)
            r.top = std::min(r.top, r.bottom);
        if (bottom)
            r.bottom = std::max(r.bottom, r.top);
    }
    m_rect = r;
}

bool CRectTracker::EndTrack()
{
    if (!m_tracking)
        return false;
    m_tracking = false;
    return m_rect != m_base;
}

void CRectTracker::CancelTrack()
{
    if (!m_tracking)
        return;
    m_tracking = false;
    m_rect = m_saved;
}

bool CRectTracker::RunTrackLoop(QWidget* widget)
{
    QEventLoop loop;
    TrackFilter filter(*this, loop);
    QPointer<QWidget> guard(widget);
    const QMetaObject::Connection destroyed =
        QObject::connect(widget, &QObject::destroyed, &loop, [&filter] { filter.finish(false); });
    widget->installEventFilter(&filter);
    // Moves without a button reach only a widget that tracks the mouse.
    const bool tracking = widget->hasMouseTracking();
    widget->setMouseTracking(true);
    widget->grabMouse();
    widget->grabKeyboard();
    // A widget that lost the mouse to another grabber (a popup, another
    // tracker) would never see the release: tracking is then cancelled.
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, &loop, [&filter, widget] {
        if (QWidget::mouseGrabber() != widget)
            filter.finish(false);
    });
    watchdog.start(kGrabCheckMs);
    loop.exec();
    QObject::disconnect(destroyed);
    if (guard) {
        guard->removeEventFilter(&filter);
        guard->setMouseTracking(tracking);
        guard->releaseKeyboard();
        guard->releaseMouse();
        guard->update();
    }
    if (!filter.released()) {
        CancelTrack();
        return false;
    }
    return EndTrack();
}
