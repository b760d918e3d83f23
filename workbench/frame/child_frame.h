// The MDI child frame of one document: it owns the document and shows its view.
#pragma once

#include <memory>

#include <QMdiSubWindow>

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

private:
    std::unique_ptr<CFraloDoc> m_pDoc;
    CFraloView* m_pView;
};
