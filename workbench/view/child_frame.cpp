#include "child_frame.h"

#include <QCloseEvent>
#include <QMdiArea>

#include "workbench/faces/documents.h"

#include "fralo_view.h"
#include "workbench/doc/fralo_doc.h"

CChildFrame::CChildFrame(std::unique_ptr<CFraloDoc> document)
    : m_pDoc(std::move(document)), m_pView(new CFraloView(m_pDoc.get()))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(m_pView);
    m_pDoc->AttachFrame(this);
}

CChildFrame::~CChildFrame()
{
    // The document stops its acquisition through its view, so it goes first.
    m_pDoc.reset();
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    DocumentService* documents = Documents();
    if (documents && !documents->MayClose({m_pDoc.get()})) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

QSize CChildFrame::ClientSize() const
{
    return widget() ? widget()->size() : contentsRect().size();
}

FrameSize CChildFrame::AreaSize() const
{
    QMdiArea* area = mdiArea();
    if (!area)
        return {width(), height()};
    QSize size = area->maximumViewportSize();
    return {size.width(), size.height()};
}

void CChildFrame::SetFrameSize(FrameSize size)
{
    if (isMaximized() || isMinimized())
        return;
    FrameRect r = {x(), y(), size.width, size.height};
    if (mdiArea())
        r = KeepInArea(r, AreaSize());
    setGeometry(r.x, r.y, r.width, r.height);
}
