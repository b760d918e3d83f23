// "Création d'un masque": a 0/255 mask of the active image's size, painted
// from rectangles, ellipses and brush strokes shown tinted over a grey copy
// of the image, delivered as a new document "Masque%d". Modeless; the
// application keeps it while it is open and it deletes itself when it closes.
#pragma once

#include <memory>

#include <QDialog>

#include <verodyn/object.h>

#include "workbench/faces/mask_editor.h"

class CFraloDoc;
class MaskCanvas;
class QLabel;
class QPushButton;
class WorkbenchSettings;

class CMaskDlg : public QDialog, public MaskEditor {
    Q_OBJECT
public:
    // Shown at once for the active document, with the shape last chosen.
    explicit CMaskDlg(WorkbenchSettings* app, QWidget* parent = nullptr);
    // The application forgets the dialog on every path.
    ~CMaskDlg() override;

    // The document the mask is made for; null once it has closed.
    CFraloDoc* Document() const override { return m_pDoc; }

    // The one entry for painting: `shape` (0 rectangle, 1 ellipse, 2 brush)
    // on the image corners, in the current mode. The first paint replaces
    // the document's image by the grey working copy.
    void PaintZone(int shape, int x0, int y0, int x1, int y1) override;
    // The document is closing: the dialog cancels without touching it.
    void DocumentClosing(CFraloDoc* doc) override;
    const Vobject* OriginalImage() const override { return m_bFresh ? nullptr : &m_savedImage; }

    // "&OK": the document gets its image back and, when a zone was painted,
    // the mask becomes a new document.
    void accept() override;
    // "&Annuler" and Escape: the document gets its image back.
    void reject() override;

private:
    void OnShape(int shape);
    void OnAddZone();
    void OnRemoveZone();
    // Paints the document's tracker rectangle in the current shape.
    void PaintTracker();
    // The grey working copy into the document (first paint).
    void PrepareWorkingImage();
    void ShowWorkingImage();
    // Forgets the dialog, puts the saved image back and clears the document's zone.
    void Finish();

    WorkbenchSettings* m_pApp;
    CFraloDoc* m_pDoc;
    Vobject m_savedImage;
    bool m_bFresh = true;
    int m_nWidth;
    int m_nHeight;
    std::unique_ptr<MaskCanvas> m_pCanvas;
    QLabel* m_pMessage;
    QPushButton* m_pOK;
    QPushButton* m_pRemove;
};
