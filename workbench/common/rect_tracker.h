// CRectTracker: a rectangle the user moves, resizes or draws with the mouse,
// with eight resize handles; the state behind the document's zone tracker.
#pragma once

#include <QPoint>

class QPainter;
class QWidget;

// A rectangle in window convention: right and bottom are exclusive, so
// (10, 20, 30, 25) covers columns 10..29 and rows 20..24. After tracking with
// inversion allowed, left may exceed right and top may exceed bottom: the
// corners stay where the user put them.
struct TrackerRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const TrackerRect&) const = default;
};

class CRectTracker {
public:
    enum StyleFlags {
        solidLine = 1,
        dottedLine = 2,
        hatchedBorder = 4,
        resizeInside = 8,
        resizeOutside = 16,
        hatchInside = 32
    };
    enum TrackerHit {
        hitNothing = -1,
        hitTopLeft = 0,
        hitTopRight = 1,
        hitBottomRight = 2,
        hitBottomLeft = 3,
        hitTop = 4,
        hitRight = 5,
        hitBottom = 6,
        hitLeft = 7,
        hitMiddle = 8
    };

    static constexpr int kHandleSize = 8;

    TrackerRect m_rect{};
    unsigned m_nStyle = 0;
    int m_nHandleSize = kHandleSize;

    // What lies under `point`: a handle (only with resizeInside or resizeOutside
    // and a handle size above 0), hitMiddle inside the rectangle, else
    // hitNothing. An inverted rectangle is tested as its normalised copy; an
    // empty one (a single point) is never hit.
    int HitTest(QPoint point) const;
    // Draws the normalised rectangle in the painter's pen colour: dotted or solid
    // border, hatched border band (hatchedBorder) and inside (hatchInside), and
    // filled handles when sized (inside the rectangle with resizeInside, outside
    // otherwise). An empty rectangle draws nothing.
    void Draw(QPainter& painter) const;
    // Swaps the edges where needed so that left <= right and top <= bottom.
    void NormalizeRect();
    // Empties the rectangle and takes `style` with handles of the default size.
    void Reset(unsigned style);
    // Empties the rectangle; style and handles stay.
    void Clear();
    // A rectangle the user tracked stays a zone that can be resized: handles
    // of the default size, inside it.
    void KeepZone();
    // A click leaves no zone: the rectangle empties and shows no handles.
    void DropZone();

    // Modal tracking on `widget`'s mouse: runs a local event loop that takes the
    // widget's mouse and keyboard and repaints the widget at each move. It ends
    // with the left button's release (or a move without it), is cancelled by
    // Escape, a hidden or destroyed widget or one that lost the mouse to
    // another grabber, and then restores the rectangle.
    // Track moves (start inside) or resizes (start on a handle). Both return
    // false at once for a hidden widget, and Track when `start` hits nothing.
    bool Track(QWidget* widget, QPoint start, bool allowInvert);
    // Draws a new rectangle from `start` to the release point.
    bool TrackRubberBand(QWidget* widget, QPoint start, bool allowInvert);

    // The state machine behind the modal calls. BeginTrack starts from `start`
    // with `hit` a handle, hitMiddle (move) or hitNothing (a rubber band from
    // `start`); a handle or move normalises the rectangle first. Without
    // inversion an edge stops at the opposite edge.
    void BeginTrack(QPoint start, int hit, bool allowInvert);
    // The rectangle for the mouse at `point`.
    void TrackTo(QPoint point);
    // Ends tracking and keeps the rectangle (also an empty band, so that the
    // caller can tell a click). True when the rectangle differs from where
    // tracking began: moved or resized, or a band that is more than its start point.
    bool EndTrack();
    // Ends tracking and restores the rectangle held before BeginTrack.
    void CancelTrack();
    bool IsTracking() const { return m_tracking; }

private:
    bool RunTrackLoop(QWidget* widget);

    TrackerRect m_saved{}; // restored by CancelTrack
    TrackerRect m_base{};  // the rectangle the mouse offsets apply to
    QPoint m_start;
    int m_hit = hitNothing;
    bool m_allowInvert = false;
    bool m_tracking = false;
};
