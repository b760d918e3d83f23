// The view's measurement overlays, drawn with the application's pens, colours
// and label font: the marked point with its value, the zone's diagonal, the
// horizontal and vertical profiles with their fits, and the zone tracker.
// Lines leave out their end point and a polyline continues from where the
// last one ended, as the program's overlays always have.
#pragma once

#include <initializer_list>

#include <QPoint>

class CFraloDoc;
class QPainter;
struct OverlayPath;
enum class ProfileCurve;
class WorkbenchSettings;

class ProfileOverlay {
public:
    // Draws on `painter` for `doc`: in client coordinates (image coordinates
    // minus the document's scroll position), or in image coordinates when printing.
    ProfileOverlay(QPainter& painter, CFraloDoc& doc, bool printing);
    ProfileOverlay(const ProfileOverlay&) = delete;
    ProfileOverlay& operator=(const ProfileOverlay&) = delete;

    // The cross at the document's clicked point, in red with its value label.
    void DrawCross();
    // The zone's diagonal, the profiles recomputed along it and their fits
    // (while fits are on), for the directions in which the zone is more than
    // 10 pixels long.
    void DrawProfiles();

    // A white square of 7 x 7 pixels round image point (x, y), filled with pen
    // `penIndex`, with the value label over it when `withText`.
    void DrawProfileInfo(int x, int y, int penIndex, bool withText);
    // The zone's diagonal with both ends marked.
    void DrawProfileLine();
    // The box 255 pixels deep on the image's bottom edge and the horizontal
    // profile's curve in it.
    void DrawHorizontalProfile();
    // The box 255 pixels wide on the image's left edge and the vertical
    // profile's curve in it.
    void DrawVerticalProfile();
    // The fits' curves, with marks where they cross their width level.
    void DrawHorizontalGauss() { DrawGauss(true); }
    void DrawVerticalGauss() { DrawGauss(false); }

private:
    void DrawGauss(bool horizontal);
    // In pen `pen`, once the zone has both corners: the zone's diagonal, the
    // box through the image points `box` and back to the first, and the curve.
    void DrawProfile(int pen, ProfileCurve curve, std::initializer_list<QPoint> box);
    void SelectPen(int index);
    void MoveTo(QPoint to);
    void LineTo(QPoint to);
    void DrawPath(const OverlayPath& path);
    // Client point of image point (x, y).
    QPoint Client(int x, int y) const;
    bool HasAllCorners() const;

    QPainter& m_painter;
    CFraloDoc& m_doc;
    const WorkbenchSettings& m_app;
    QPoint m_scroll;
    QPoint m_position;
};

// The document's zone tracker in the black dotted pen: shape 0 the tracker,
// shape 1 the tracker with the ellipse inscribed in it, any other nothing.
void DrawTracker(QPainter& painter, const CFraloDoc& doc, int shape);
