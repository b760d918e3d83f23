#include "fralo_view.h"

#include <algorithm>
#include <cstdlib>

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>

#include <imageproc/mask_canvas.h>
#include <imageproc/plane_buffers.h>
#include <imageproc/quiet_library.h>
#include <verodyn/operators.h>
#include <verodyn/window.h>

#include "profile_overlay.h"
#include "workbench/acquisition/board_surface.h"
#include "workbench/common/qimage_planes.h"
#include "workbench/common/tracker_cursor.h"
#include "workbench/core/print_scale.h"
#include "workbench/core/save_rules.h"
#include "workbench/core/shown_image.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/faces/document_frame.h"
#include "workbench/faces/documents.h"
#include "workbench/faces/mask_editor.h"
#include "workbench/faces/workbench_settings.h"

namespace {

// A click that moves less than this in both directions sets the cross.
constexpr int kClickTolerance = 15;

OverlayPainter& CrossPainter()
{
    static OverlayPainter painter;
    return painter;
}

OverlayPainter& ProfilePainter()
{
    static OverlayPainter painter;
    return painter;
}

// A transparent layer over the display window on which the overlays are drawn.
class OverlayLayer : public QWidget {
public:
    OverlayLayer(CFraloView* view, QWidget* parent) : QWidget(parent), m_view(view)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setAttribute(Qt::WA_TranslucentBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        m_view->PaintOverlayLayer(painter);
    }

private:
    CFraloView* m_view;
};

} // namespace

CFraloView::CFraloView(CFraloDoc* document)
    : m_pDoc(document),
      m_pApp(Settings()),
      m_timers([this](int id) { OnTimer(id); }),
      m_pOverlay(new OverlayLayer(this, viewport()))
{
    setFrameShape(QFrame::NoFrame);
    viewport()->setMouseTracking(true);
    setMouseTracking(true);
}

CFraloView::~CFraloView()
{
    if (m_bWindowOpen) {
        QuietLibrary quiet;
        close_window(m_hWindow);
    }
}

DocumentFrame* CFraloView::Frame() const
{
    for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (auto* frame = dynamic_cast<DocumentFrame*>(w))
            return frame;
    return nullptr;
}

void CFraloView::OnInitialUpdate()
{
    CFraloDoc* doc = m_pDoc;
    doc->AttachFrame(Frame());
    SetScrollSizes(doc->m_nWidth, doc->m_nHeight);
    doc->FitFrameToImage(std::min(m_pApp->m_nMaxWidth, doc->m_nWidth),
                         std::min(m_pApp->m_nMaxHeight, doc->m_nHeight));
    doc->AttachView(this);
    doc->UpdateTitle();
    OpenDisplayWindow();
    DisplayImage();
}

void CFraloView::OpenDisplayWindow()
{
    if (m_bWindowOpen)
        return;
    {
        // The display window is a child of this view, not of a library window;
        // without it the view shows no image.
        QuietLibrary quiet;
        CheckModeScope anyFather("~father");
        m_bWindowOpen = open_window(0, 0, m_pDoc->m_nWidth, m_pDoc->m_nHeight, viewport(),
                                    "visible", "", &m_hWindow) == V_OK;
    }
    SetWindowExtents(m_pDoc->m_nWidth, m_pDoc->m_nHeight);
    m_pOverlay->raise();
}

void CFraloView::CloseDisplayWindow()
{
    if (!m_bWindowOpen)
        return;
    QuietLibrary quiet;
    close_window(m_hWindow);
    m_bWindowOpen = false;
}

void CFraloView::ShowPicture(const QImage& picture)
{
    m_picture = picture;
    m_pOverlay->update();
}

intptr_t CFraloView::ReleaseDisplayWindow()
{
    CloseDisplayWindow();
    if (!m_pBoardSurface)
        m_pBoardSurface = new BoardSurface(viewport());
    m_pBoardSurface->setGeometry(0, 0, m_pDoc->m_nWidth, m_pDoc->m_nHeight);
    m_pBoardSurface->show();
    m_pBoardSurface->raise();
    return m_pBoardSurface->Handle();
}

void CFraloView::RestoreDisplayWindow()
{
    if (m_pBoardSurface)
        m_pBoardSurface->hide();
    OpenDisplayWindow();
    DisplayImage();
}

void CFraloView::SetDisplayedPart(int rows, int columns)
{
    if (!m_bWindowOpen)
        return;
    QuietLibrary quiet;
    set_part(m_hWindow, 0, 0, rows, columns);
}

void CFraloView::OnLiveAcquisition() { m_pDoc->StartAcquisition(); }

void CFraloView::OnFrozenAcquisition() { m_pDoc->StopAcquisition(); }

void CFraloView::DisplayImage()
{
    if (m_pDoc->m_nKind & KindShownIn3D) {
        m_pOverlay->update();
        return;
    }
    if (!m_bWindowOpen)
        return;
    ImageShape shape = ShapeOf(m_pDoc->m_image);
    Vobject shown;
    if (!ShownImage(m_pDoc->m_image, IsFftKind(m_pDoc->m_nKind), &shown))
        shown = m_pDoc->m_image;
    {
        QuietLibrary quiet;
        set_part(m_hWindow, 0, 0, shape.height, shape.width);
        disp_obj(shown, m_hWindow);
    }
    m_pOverlay->update();
}

void CFraloView::SetWindowExtents(int width, int height)
{
    if (!m_bWindowOpen)
        return;
    QPoint s = ScrollPosition();
    set_window_extents(m_hWindow, -s.y(), -s.x(), width, height);
}

void CFraloView::SetScrollSizes(int width, int height)
{
    m_scrollSize = QSize(width, height);
    UpdateScrollBars();
}

void CFraloView::UpdateScrollBars()
{
    // An image that fits the area without scroll bars needs none.
    QSize whole = maximumViewportSize();
    bool fits = m_scrollSize.width() <= whole.width() && m_scrollSize.height() <= whole.height();
    QSize page = fits ? whole : viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, m_scrollSize.width() - page.width()));
    horizontalScrollBar()->setPageStep(page.width());
    horizontalScrollBar()->setSingleStep(std::max(1, page.width() / 100));
    verticalScrollBar()->setRange(0, std::max(0, m_scrollSize.height() - page.height()));
    verticalScrollBar()->setPageStep(page.height());
    verticalScrollBar()->setSingleStep(std::max(1, page.height() / 100));
}

void CFraloView::ScrollTo(int x, int y)
{
    horizontalScrollBar()->setValue(x);
    verticalScrollBar()->setValue(y);
}

QPoint CFraloView::ScrollPosition() const
{
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void CFraloView::StoreScrollPosition() { m_pDoc->SetScrollPosition(ScrollPosition()); }

void CFraloView::scrollContentsBy(int, int)
{
    StoreScrollPosition();
    m_pDoc->m_tracker.Clear();
    SetWindowExtents(m_pDoc->m_nWidth, m_pDoc->m_nHeight);
    m_pOverlay->update();
}

void CFraloView::resizeEvent(QResizeEvent* event)
{
    StoreScrollPosition();
    m_pDoc->m_tracker.Clear();
    QAbstractScrollArea::resizeEvent(event);
    m_pOverlay->resize(viewport()->size());
    UpdateScrollBars();
    QSize client = viewport()->size();
    DocumentFrame* frame = Frame();
    if (frame && !frame->isMaximized() && client.width() > m_pDoc->m_nWidth &&
        client.height() > m_pDoc->m_nHeight)
        m_pDoc->EnlargeFrame(m_pDoc->m_nWidth, m_pDoc->m_nHeight);
}

void CFraloView::SetCursorFromTracker(QPoint client)
{
    viewport()->setCursor(TrackerCursorShape(
        m_pDoc->m_tracker.m_rect, m_pDoc->m_tracker.m_nHandleSize, client.x(), client.y()));
}

void CFraloView::Invalidate() { m_pOverlay->update(); }

bool CFraloView::PaintMaskBrush(QPoint client)
{
    MaskEditor* mask = m_pApp->m_pMaskDlg;
    if (!mask || m_pApp->m_nMaskShape != MaskCanvas::Brush)
        return false;
    const QPoint p = client + ScrollPosition();
    const int r = MaskCanvas::kBrushRadius;
    mask->PaintZone(MaskCanvas::Brush, p.x() - r, p.y() - r, p.x() + r, p.y() + r);
    return true;
}

void CFraloView::mouseMoveEvent(QMouseEvent* event)
{
    QPoint point = event->position().toPoint();
    SetCursorFromTracker(point);
    // The brush paints while the left button alone is down, and the mouse
    // values stay as they were.
    const bool leftAlone = event->buttons() == Qt::LeftButton &&
                           !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier));
    if (!m_bTracking && leftAlone && PaintMaskBrush(point))
        return;
    if (m_bTracking) {
        m_pDoc->m_tracker.TrackTo(point);
        // The release went elsewhere (a popup took the mouse): the drag ends here.
        if (!(event->buttons() & Qt::LeftButton))
            EndZoneTrack();
        Invalidate();
    }
    const QPoint image = point + ScrollPosition();
    m_pDoc->SetMouse(image, CFraloDoc::GetPixelValue(m_pDoc->m_image, image.x(), image.y()));
}

void CFraloView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(event);
    QPoint point = event->position().toPoint();
    SetCursorFromTracker(point);
    if (PaintMaskBrush(point))
        return Invalidate();
    int hit = m_pDoc->m_tracker.HitTest(point);
    m_pDoc->m_tracker.BeginTrack(point, hit < 0 ? CRectTracker::hitNothing : hit, hit < 0);
    m_bTracking = true;
    m_ptPress = point;
}

void CFraloView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_bTracking)
        return QAbstractScrollArea::mouseReleaseEvent(event);
    m_pDoc->m_tracker.TrackTo(event->position().toPoint());
    EndZoneTrack();
}

void CFraloView::EndZoneTrack()
{
    m_bTracking = false;
    m_pDoc->EndZoneTrack(m_ptPress, ScrollPosition(), kClickTolerance);
    Invalidate();
}

void CFraloView::OnResetMouseCoords()
{
    m_pDoc->ClearCross();
    Invalidate();
}

void CFraloView::OnClearProfiles()
{
    m_pDoc->ClearProfiles();
    Invalidate();
}

QMenu* CFraloView::CreateContextMenu()
{
    auto* menu = new QMenu(this);
    DocumentFrame* child = Frame();
    // The click that opens the menu makes this view the active one, on which
    // the commands act.
    if (Documents() && child)
        Documents()->AddContextCommands(menu, child);
    return menu;
}

void CFraloView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = CreateContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void CFraloView::StartLiveTimer(CFraloDoc* document)
{
    Documents()->Live().StartLoop(*document, *this);
}

void CFraloView::StopLiveTimer()
{
    Documents()->Live().StopLoop();
    // The frozen image is the one just grabbed, not the last frame shown.
    DisplayImage();
}

void CFraloView::OnTimer(int id) { Documents()->Live().OnTimer(id, m_pApp->m_nSource); }

void CFraloView::ShowFrame(const Vobject& frame)
{
    if (!m_bWindowOpen)
        return;
    QuietLibrary quiet;
    disp_obj(frame, m_hWindow);
}

void CFraloView::SetOverlayPainters(OverlayPainter cross, OverlayPainter profiles)
{
    CrossPainter() = std::move(cross);
    ProfilePainter() = std::move(profiles);
}

void CFraloView::DrawOverlays(QPainter& painter, bool printing)
{
    CFraloDoc* doc = m_pDoc;
    painter.setBackgroundMode(Qt::TransparentMode);
    if (!printing && doc == Documents()->AcquiringDoc())
        return;
    // While a zone dialog is open the view shows its zone only.
    if (!printing && m_pApp->m_pExtractDlg) {
        doc->m_tracker.NormalizeRect();
        DrawTracker(painter, *doc, MaskCanvas::Rectangle);
        return;
    }
    if (!printing && m_pApp->m_pMaskDlg) {
        DrawTracker(painter, *doc, m_pApp->m_nMaskShape);
        return;
    }
    if (!doc->m_ptCross.IsZero() && CrossPainter())
        CrossPainter()(painter, *doc, printing);
    if (!printing)
        DrawTracker(painter, *doc, 0);
    if (doc->m_nKind & KindProfiles) {
        if (!printing)
            doc->FollowImageChannels();
        if (ProfilePainter())
            ProfilePainter()(painter, *doc, printing);
    }
}

void CFraloView::PaintOverlayLayer(QPainter& painter)
{
    if (m_pDoc->m_nKind & KindShownIn3D)
        painter.drawImage(-ScrollPosition(), m_picture);
    else
        DrawOverlays(painter, false);
}

QImage ShownPicture(const CFraloDoc& doc)
{
    Vobject shown;
    if (!ShownImage(doc.m_image, IsFftKind(doc.m_nKind), &shown))
        return {};
    return PlanesToQImage(ViewPlanes(shown));
}

void CFraloView::OnPrint(QPainter& painter, const QRect& page)
{
    const QImage picture = ShownPicture(*m_pDoc);
    PrintViewport v = PrintScale(page.width(), page.height(), picture.width(), picture.height());
    if (v.width <= 0 || v.height <= 0)
        return;
    painter.setWindow(0, 0, picture.width(), picture.height());
    painter.setViewport(page.left(), page.top(), v.width, v.height);
    painter.drawImage(0, 0, picture);
    DrawOverlays(painter, true);
}

void CFraloView::Print(QPrinter* printer)
{
    QPainter painter(printer);
    OnPrint(painter, QRect(0, 0, printer->width(), printer->height()));
}
