// The MDI child frame of one document: it owns the document and shows its view.
#pragma once

#include <memory>

#include "workbench/faces/document_frame.h"

class CFraloDoc;
class CFraloView;

class CChildFrame : public DocumentFrame {
    Q_OBJECT
public:
    // Takes over `document`, makes its view and deletes both when closed.
    explicit CChildFrame(std::unique_ptr<CFraloDoc> document);
    ~CChildFrame() override;

    CFraloDoc* Document() const { return m_pDoc.get(); }
    CFraloView* View() const { return m_pView; }
    QSize ClientSize() const override;
    void SetFrameSize(FrameSize size) override;
    // The visible work area, without the scroll bars it may show.
    FrameSize AreaSize() const;

protected:
    // A changed document asks whether to save before its frame closes.
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<CFraloDoc> m_pDoc;
    CFraloView* m_pView;
};
