#include "profile_overlay.h"

#include <algorithm>
#include <cstdlib>

#include <QPainter>

#include "workbench/core/overlay_rules.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/faces/workbench_settings.h"

namespace {

// Depth of the profile boxes: the largest luminance.
constexpr int kProfileDepth = 255;
// Half side of a marked point's outline; its fill stays one pixel inside.
constexpr int kMarkHalf = 3;
// The value label's bottom edge stands this far above the marked point.
constexpr int kLabelGap = 4;

// Gives the painter back the pen it had when the scope began.
class PenScope {
public:
    explicit PenScope(QPainter& painter) : m_painter(painter), m_pen(painter.pen()) { }
    ~PenScope() { m_painter.setPen(m_pen); }
    PenScope(const PenScope&) = delete;
    PenScope& operator=(const PenScope&) = delete;

private:
    QPainter& m_painter;
    QPen m_pen;
};

} // namespace

ProfileOverlay::ProfileOverlay(QPainter& painter, CFraloDoc& doc, bool printing)
    : m_painter(painter),
      m_doc(doc),
      m_app(*doc.m_pApp),
      m_scroll(printing ? QPoint() : QPoint(doc.m_ptScroll.x, doc.m_ptScroll.y))
{
}

QPoint ProfileOverlay::Client(int x, int y) const { return QPoint(x, y) - m_scroll; }

void ProfileOverlay::SelectPen(int index) { m_painter.setPen(m_app.m_pens[index]); }

void ProfileOverlay::MoveTo(QPoint to) { m_position = to; }

void ProfileOverlay::LineTo(QPoint to)
{
    // The line stops one pixel short of `to`, along its longer side, so that
    // a closed figure draws each corner once and a fill stops inside its outline.
    const QPoint d = to - m_position;
    const int steps = std::max(std::abs(d.x()), std::abs(d.y()));
    if (steps > 0) {
        const double f = double(steps - 1) / steps;
        m_painter.drawLine(m_position, m_position + QPoint(qRound(d.x() * f), qRound(d.y() * f)));
    }
    m_position = to;
}

void ProfileOverlay::DrawPath(const OverlayPath& path)
{
    for (size_t i = 0; i < path.points.size(); ++i) {
        const QPoint p(path.points[i].x, path.points[i].y);
        if (i == 0 && path.startsWithMove)
            MoveTo(p);
        else
            LineTo(p);
    }
}

bool ProfileOverlay::HasAllCorners() const
{
    const ProfileState& p = m_doc.m_profile;
    return p.x1 != -1 && p.y1 != -1 && p.x2 != -1 && p.y2 != -1;
}

void ProfileOverlay::DrawCross() { DrawProfileInfo(m_doc.m_ptCross.x, m_doc.m_ptCross.y, 1, true); }

void ProfileOverlay::DrawProfiles()
{
    ProfileState& p = m_doc.m_profile;
    const ZoneProfiles zone = ProfilesOfZone(p.x1, p.y1, p.x2, p.y2);
    if (zone.Any()) {
        DrawProfileLine();
        m_doc.ComputeProfiles(p.channel, p.x1, p.y1, p.x2, p.y2);
    }
    if (zone.horizontal) {
        DrawHorizontalProfile();
        if (m_doc.m_bGaussFit)
            DrawHorizontalGauss();
    }
    if (zone.vertical) {
        DrawVerticalProfile();
        if (m_doc.m_bGaussFit)
            DrawVerticalGauss();
    }
}

void ProfileOverlay::DrawProfileInfo(int x, int y, int penIndex, bool withText)
{
    PenScope keep(m_painter);
    const QPoint c = Client(x, y);
    const int s = kMarkHalf;
    SelectPen(0);
    MoveTo(c + QPoint(-s, -s));
    for (QPoint corner : {QPoint(s, -s), QPoint(s, s), QPoint(-s, s), QPoint(-s, -s)})
        LineTo(c + corner);
    SelectPen(penIndex);
    for (int dx = 1 - s; dx < s; ++dx) {
        MoveTo(c + QPoint(dx, 1 - s));
        LineTo(c + QPoint(dx, s));
    }
    if (!withText)
        return;
    // Other pixel types keep no value at the cross: it is read there, as the
    // values pane reads it.
    const PixelSample sample = SamplePixel(m_doc.m_image, m_doc.m_ptCross.x, m_doc.m_ptCross.y);
    const bool calibrated = m_doc.m_bCalibratedZ != 0;
    const std::string label =
        sample.parts != 0 ? CrossLabel(sample, calibrated, m_doc.m_fScaleZ, m_doc.m_fUnitFactorZ)
                          : CrossLabel(m_doc.Channels(), m_doc.m_nCrossValue, calibrated,
                                       m_doc.m_fScaleZ, m_doc.m_fUnitFactorZ);
    if (label.empty())
        return;
    m_painter.save();
    m_painter.setFont(m_app.m_font);
    m_painter.setPen(ColorFromRef(m_app.m_colors[1]));
    m_painter.setBackgroundMode(Qt::TransparentMode);
    // Wide and high enough for any label: centred on c.x, its bottom on the gap.
    const int room = 1000;
    m_painter.drawText(QRect(c.x() - room, c.y() - kLabelGap - room, 2 * room, room),
                       Qt::AlignHCenter | Qt::AlignBottom, QString::fromStdString(label));
    m_painter.restore();
}

void ProfileOverlay::DrawProfileLine()
{
    PenScope keep(m_painter);
    const ProfileState& p = m_doc.m_profile;
    SelectPen(2);
    DrawProfileInfo(p.x1, p.y1, 2, false);
    DrawProfileInfo(p.x2, p.y2, 2, false);
    MoveTo(Client(p.x1, p.y1));
    LineTo(Client(p.x2, p.y2));
}

void ProfileOverlay::DrawHorizontalProfile()
{
    const ProfileState& p = m_doc.m_profile;
    const int h = m_doc.m_nHeight;
    DrawProfile(3, ProfileCurve::Horizontal,
                {{p.x1, h}, {p.x1, h - kProfileDepth}, {p.x2, h - kProfileDepth}, {p.x2, h}});
}

void ProfileOverlay::DrawVerticalProfile()
{
    const ProfileState& p = m_doc.m_profile;
    DrawProfile(4, ProfileCurve::Vertical,
                {{0, p.y1}, {kProfileDepth, p.y1}, {kProfileDepth, p.y2}, {0, p.y2}});
}

void ProfileOverlay::DrawProfile(int pen, ProfileCurve curve, std::initializer_list<QPoint> box)
{
    PenScope keep(m_painter);
    SelectPen(pen);
    if (!HasAllCorners())
        return;
    DrawProfileLine();
    const QPoint start = Client(box.begin()->x(), box.begin()->y());
    MoveTo(start);
    for (auto corner = box.begin() + 1; corner != box.end(); ++corner)
        LineTo(Client(corner->x(), corner->y()));
    LineTo(start);
    DrawPath(ProfileCurvePath(m_doc.m_profile, curve, m_doc.m_nHeight, m_scroll.x(), m_scroll.y()));
}

void ProfileOverlay::DrawGauss(bool horizontal)
{
    PenScope keep(m_painter);
    const int pen = horizontal ? 3 : 4;
    SelectPen(pen);
    const ProfileState& p = m_doc.m_profile;
    DrawPath(ProfileCurvePath(
        p, horizontal ? ProfileCurve::HorizontalGauss : ProfileCurve::VerticalGauss,
        m_doc.m_nHeight, m_scroll.x(), m_scroll.y()));
    for (OverlayPoint mark : GaussWidthMarks(p, horizontal, m_doc.m_nWidth, m_doc.m_nHeight))
        DrawProfileInfo(mark.x, mark.y, pen, false);
}

void DrawTracker(QPainter& painter, const CFraloDoc& doc, int shape)
{
    if (shape != 0 && shape != 1)
        return;
    painter.save();
    painter.setPen(doc.m_pApp->m_pens[7]);
    doc.m_tracker.Draw(painter);
    const TrackerRect& r = doc.m_tracker.m_rect;
    const int left = std::min(r.left, r.right), right = std::max(r.left, r.right);
    const int top = std::min(r.top, r.bottom), bottom = std::max(r.top, r.bottom);
    // Inside the rectangle, whose right and bottom edges are exclusive.
    if (shape == 1 && right - left > 1 && bottom - top > 1) {
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
    }
    painter.restore();
}
