// The view of one document: the image at 1:1 in a display window of the
// imaging library, overlays on top, mouse values, the cross and the profile
// zone, the context menu, the window of the live loop and printing.
#pragma once

#include <cstdint>
#include <functional>

#include <QAbstractScrollArea>
#include <QImage>
#include <QPoint>
#include <QSize>

#include "workbench/common/window_timers.h"
#include "workbench/faces/image_view.h"

class BoardSurface;
class CFraloDoc;
class CChildFrame;
class QMenu;
class QPainter;
class QPrinter;

// How the overlay elements (cross with its value, profile curves) are drawn;
// `printing` draws in image coordinates.
using OverlayPainter = std::function<void(QPainter& painter, CFraloDoc& doc, bool printing)>;

class WorkbenchSettings;

// The picture of the document's image as the view shows, copies and prints
// it; null for an image of a pixel type that has none.
QImage ShownPicture(const CFraloDoc& doc);

class CFraloView : public ImageView {
    Q_OBJECT
public:
    explicit CFraloView(CFraloDoc* document);
    ~CFraloView() override;

    CFraloDoc* GetDocument() const { return m_pDoc; }
    DocumentFrame* Frame() const override;

    // Scroll sizes, frame fit, title, and the display window opened at the image size.
    void OnInitialUpdate();
    // Shows the document's image in the display window (not while the 3-D view
    // owns the view), its part the image's size whatever its pixel type.
    void DisplayImage() override;
    // Live frames show rows 0..rows and columns 0..columns of what is grabbed.
    void SetDisplayedPart(int rows, int columns) override;
    // The window a webcam's capture window is created in.
    QWidget* CaptureParent() const override { return viewport(); }
    // Closes the display window and shows a window a board draws into in its
    // place; returns that window's handle for the board library.
    intptr_t ReleaseDisplayWindow() override;
    // Takes the board's window away and shows the image in the display window
    // again, opened at the image size.
    void RestoreDisplayWindow() override;
    // The window a board draws into, or null before the first release.
    BoardSurface* BoardWindow() const { return m_pBoardSurface; }
    // The context menu's "Aquisition permanente" and "Acquisition figée":
    // the document's StartAcquisition and StopAcquisition.
    void OnLiveAcquisition();
    void OnFrozenAcquisition();
    // Opens the display window at the image size, as the first update does,
    // and closes it: the 3-D view draws in its place.
    void OpenDisplayWindow() override;
    void CloseDisplayWindow() override;
    // The picture the 3-D view drew last, shown while the document's kind
    // word has the 3-D bit.
    void ShowPicture(const QImage& picture) override;
    // Starts the live loop of the application's LiveControl for `document`,
    // this view's, on this view's timers 98 (start delay) and 99 (grabs).
    void StartLiveTimer(CFraloDoc* document) override;
    // Ends the live loop (LiveControl::StopLoop) and shows the last frame.
    void StopLiveTimer() override;
    // A tick of this view's timer `id`, handed to the live loop.
    void OnTimer(int id);
    // The window of the live loop: this view's timers and display window.
    void SetTimer(int id, int milliseconds) override { m_timers.SetTimer(id, milliseconds); }
    void KillTimer(int id) override { m_timers.KillTimer(id); }
    void ShowFrame(const Vobject& frame) override;
    // Overlays over the image: on screen the cross, the zone and the profiles;
    // when printing the cross and the profiles only.
    void DrawOverlays(QPainter& painter, bool printing);
    // What the overlay layer paints: the 3-D picture while the 3-D view owns
    // the view, else the overlays.
    void PaintOverlayLayer(QPainter& painter);
    // Draws the picture the view shows (ShownPicture) scaled isotropically
    // into `page`, then the overlays; nothing for an image without picture.
    void OnPrint(QPainter& painter, const QRect& page);
    void Print(QPrinter* printer);

    void SetScrollSizes(int width, int height) override;
    void ScrollTo(int x, int y) override;
    QPoint ScrollPosition() const override;
    // Places the display window at the scroll position with the image size.
    void SetWindowExtents(int width, int height) override;
    long WindowHandle() const override { return m_hWindow; }

    void OnResetMouseCoords();
    void OnClearProfiles();
    // The context menu: the frame's commands of ContextMenuItems, for this
    // view made active, enabled by their update rules.
    QMenu* CreateContextMenu();

    bool IsTimerActive(int id) const { return m_timers.IsActive(id); }

    // Painters of the cross and of the profiles, shared by every view.
    static void SetOverlayPainters(OverlayPainter cross, OverlayPainter profiles);

protected:
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void UpdateScrollBars();
    void StoreScrollPosition();
    void SetCursorFromTracker(QPoint client);
    // With the mask dialog open on the brush shape: the disc round the
    // image point of `client` is painted, and true is returned.
    bool PaintMaskBrush(QPoint client);
    // Ends a drag: a profile zone, or the cross for a click under 15 pixels.
    void EndZoneTrack();
    void Invalidate();

    CFraloDoc* m_pDoc;
    long m_hWindow = 0;
    bool m_bWindowOpen = false;
    WorkbenchSettings* m_pApp;
    WindowTimers m_timers;
    BoardSurface* m_pBoardSurface = nullptr;
    QSize m_scrollSize;
    QWidget* m_pOverlay;
    bool m_bTracking = false;
    QPoint m_ptPress;
    QImage m_picture;
};
