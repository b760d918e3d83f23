#include "mask_dlg.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <imageproc/mask_canvas.h>
#include <imageproc/quiet_library.h>
#include <verodyn/operators.h>

#include "workbench/analysis/analysis_documents.h"
#include "workbench/analysis/dialog_controls.h"
#include "workbench/common/error_edge.h"
#include "workbench/common/user_message.h"
#include "workbench/core/save_rules.h"
#include "workbench/core/zone_rules.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/faces/documents.h"
#include "workbench/faces/image_view.h"
#include "workbench/faces/workbench_settings.h"

namespace {

constexpr int kShapeIds[3] = {1012, 1013, 1014};

} // namespace

CMaskDlg::CMaskDlg(WorkbenchSettings* app, QWidget* parent)
    : QDialog(parent),
      m_pApp(app),
      m_pDoc(Documents()->ActiveDocument()),
      m_nWidth(m_pDoc ? m_pDoc->m_nWidth : 0),
      m_nHeight(m_pDoc ? m_pDoc->m_nHeight : 0),
      m_pCanvas(std::make_unique<MaskCanvas>(m_nWidth, m_nHeight))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromUtf8("Création d'un masque"));

    auto* group = new QGroupBox(QStringLiteral("Type masque"), this);
    auto* shapes = new QButtonGroup(this);
    auto* radios = new QVBoxLayout(group);
    const char* const texts[3] = {"&Rectangulaire", "&Elliptique", "&Quelconque"};
    for (int shape = 0; shape < 3; ++shape) {
        auto* radio =
            Named(new QRadioButton(QString::fromUtf8(texts[shape]), group), kShapeIds[shape]);
        radio->setChecked(shape == m_pApp->m_nMaskShape);
        shapes->addButton(radio, shape);
        radios->addWidget(radio);
    }
    connect(shapes, &QButtonGroup::idClicked, this, &CMaskDlg::OnShape);

    auto* add = Named(new QPushButton(QStringLiteral("&Ajouter zone"), this), 3);
    m_pRemove = Named(new QPushButton(QStringLiteral("&Retirer zone"), this), 4);
    m_pMessage =
        Named(new QLabel(QStringLiteral("Destination du masque:\nNOUVELLE IMAGE ..."), this), 1016);
    m_pMessage->setWordWrap(true);
    auto* cancel = Named(new QPushButton(QStringLiteral("&Annuler"), this), 2);
    m_pOK = Named(new QPushButton(QStringLiteral("&OK"), this), 1);
    connect(add, &QPushButton::clicked, this, &CMaskDlg::OnAddZone);
    connect(m_pRemove, &QPushButton::clicked, this, &CMaskDlg::OnRemoveZone);
    connect(cancel, &QPushButton::clicked, this, &CMaskDlg::reject);
    connect(m_pOK, &QPushButton::clicked, this, &CMaskDlg::accept);

    auto* zones = new QVBoxLayout;
    zones->addWidget(add);
    zones->addWidget(m_pRemove);
    zones->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(group);
    top->addLayout(zones);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cancel);
    buttons->addWidget(m_pOK);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_pMessage);
    layout->addLayout(buttons);

    m_pRemove->setEnabled(false);
    m_pOK->setEnabled(false);
    show();
}

CMaskDlg::~CMaskDlg() { m_pApp->ForgetZoneWindow(this); }

void CMaskDlg::OnShape(int shape)
{
    m_pApp->SetMaskShape(shape);
    if (shape == MaskCanvas::Brush)
        m_pCanvas->SetMode(MaskCanvas::Add);
    if (!m_pDoc)
        return;
    m_pDoc->ResetTracker();
    if (m_pDoc->m_pView)
        m_pDoc->m_pView->DisplayImage();
}

void CMaskDlg::OnAddZone()
{
    m_pOK->setEnabled(true);
    m_pRemove->setEnabled(true);
    m_pCanvas->SetMode(MaskCanvas::Add);
    PaintTracker();
}

void CMaskDlg::OnRemoveZone()
{
    m_pCanvas->SetMode(MaskCanvas::Remove);
    PaintTracker();
}

void CMaskDlg::PaintTracker()
{
    if (!m_pDoc)
        return;
    const TrackerRect& r = m_pDoc->m_tracker.m_rect;
    ImageZone zone;
    if (MaskTrackerZone(r.left, r.top, r.right, r.bottom, m_pDoc->m_ptScroll.x,
                        m_pDoc->m_ptScroll.y, &zone))
        PaintZone(m_pApp->m_nMaskShape, zone.x0, zone.y0, zone.x1, zone.y1);
}

void CMaskDlg::PaintZone(int shape, int x0, int y0, int x1, int y1)
{
    if (!m_pDoc || !m_pCanvas)
        return;
    if (m_bFresh)
        PrepareWorkingImage();
    m_pCanvas->Paint(shape, x0, y0, x1, y1);
    ShowWorkingImage();
}

void CMaskDlg::PrepareWorkingImage()
{
    m_bFresh = false;
    m_savedImage = m_pDoc->m_image;
    const ImageShape shape = ShapeOf(m_savedImage);
    if (shape.width != m_nWidth || shape.height != m_nHeight)
        UserMessage(QStringLiteral("Erreur sur taille image !"));
    if (m_pCanvas->Prepare(ViewPlanes(m_savedImage)))
        m_pMessage->setText(
            QString::fromUtf8("L'image originale sera restituée en fin de création du masque..."));
}

void CMaskDlg::ShowWorkingImage()
{
    Vobject working;
    {
        QuietLibrary quiet;
        gen_image3(&working, "byte", m_nWidth, m_nHeight, m_pCanvas->Plane(0).data(),
                   m_pCanvas->Plane(1).data(), m_pCanvas->Plane(2).data());
    }
    m_pDoc->SetImage(working);
    if (m_pDoc->m_pView)
        m_pDoc->m_pView->DisplayImage();
}

void CMaskDlg::Finish()
{
    m_pApp->ForgetZoneWindow(this);
    if (!m_pDoc)
        return;
    if (!m_bFresh)
        m_pDoc->SetImage(m_savedImage);
    m_pDoc->ClearZone();
    m_pDoc->ResetTracker();
    if (m_pDoc->m_pView)
        m_pDoc->m_pView->DisplayImage();
}

void CMaskDlg::accept()
{
    const bool painted = m_pDoc && !m_bFresh;
    Finish();
    if (painted) {
        // Made before its document: a failure leaves no empty document.
        Vobject image;
        const bool made = RunAtErrorEdge(
            [&] { gen_image1(&image, "byte", m_nWidth, m_nHeight, m_pCanvas->Mask().data()); });
        CFraloDoc* mask = made ? Documents()->NewImageDocument(m_nWidth, m_nHeight) : nullptr;
        if (mask)
            ShowResultImage(*mask, image, QStringLiteral("Masque%1").arg(m_pApp->m_nImageCounter));
    }
    m_pCanvas.reset();
    QDialog::accept();
}

void CMaskDlg::reject()
{
    Finish();
    m_pCanvas.reset();
    QDialog::reject();
}

void CMaskDlg::DocumentClosing(CFraloDoc* doc)
{
    if (doc != m_pDoc)
        return;
    m_pDoc = nullptr;
    reject();
}
