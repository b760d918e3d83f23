// The MDI child frame of one document: it owns the document and shows its view.
#pragma once

#include <memory>

#include <QMdiSubWindow>

#include "frame_fit.h"

class CFraloDoc;
class CFraloView;

class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    // Takes over `document`, makes its view and deletes both when closed.
    explicit CChildFrame(std::unique_ptr<CFraloDoc> document);
    ~CChildFrame() override;

    CFraloDoc* Document() const { return m_pDoc.get(); }
    CFraloView* View() const { return m_pView; }
    // The size of the area inside the frame's border.
    QSize ClientSize() const;
    // Gives the frame the outer size `size`, moved left or up where needed to
    // stay inside the visible work area and cut where the area is smaller. A
    // maximised or minimised frame keeps its state and its size.
    void SetFrameSize(FrameSize size);
    // The visible work area, without the scroll bars it may show.
    FrameSize AreaSize() const;

protected:
    // A changed document asks whether to save before its frame closes.
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<CFraloDoc> m_pDoc;
    CFraloView* m_pView;
};
