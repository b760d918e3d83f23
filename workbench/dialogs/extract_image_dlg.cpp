#include "extract_image_dlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

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

constexpr int kPollMs = 100;

} // namespace

CExtractImageDlg::CExtractImageDlg(WorkbenchSettings* app, QWidget* parent)
    : QDialog(parent), m_pApp(app), m_timers([this](int id) { OnTimer(id); })
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Extraction d'une image"));
    m_pSourceName = Named(new QLabel(QStringLiteral("?"), this), 1017);
    m_pOK = Named(new QPushButton(QStringLiteral("OK"), this), 1);
    m_pOK->setDefault(true);
    auto* cancel = Named(new QPushButton(QStringLiteral("&Annuler"), this), 2);
    connect(m_pOK, &QPushButton::clicked, this, &CExtractImageDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CExtractImageDlg::reject);

    auto* text = new QVBoxLayout;
    text->addWidget(
        new QLabel(QString::fromUtf8("Digitalisez l'image à extaire à la souris dans :"), this));
    text->addWidget(m_pSourceName);
    text->addWidget(new QLabel(QStringLiteral("Destination : NOUV. IMAGE"), this));
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_pOK);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(text);
    layout->addLayout(buttons);

    m_timers.SetTimer(TIMER_ACTIVE, kPollMs);
    show();
}

CExtractImageDlg::~CExtractImageDlg() { m_pApp->ForgetZoneWindow(this); }

void CExtractImageDlg::OnTimer(int id)
{
    if (id != TIMER_ACTIVE)
        return;
    CFraloDoc* doc = Documents()->ActiveDocument();
    if (!doc) {
        m_pOK->setEnabled(false);
        m_pSourceName->setText(QStringLiteral("?"));
        return;
    }
    if (doc->m_nKind & KindComplexFft) {
        m_pOK->setEnabled(false);
        return;
    }
    m_pSourceName->setText(doc->m_strName);
    const TrackerRect& r = doc->m_tracker.m_rect;
    m_pOK->setEnabled(r.right != r.left && r.bottom != r.top);
}

void CExtractImageDlg::Detach()
{
    m_pApp->ForgetZoneWindow(this);
    m_timers.KillTimer(TIMER_ACTIVE);
}

void CExtractImageDlg::ClearZone(CFraloDoc* doc)
{
    doc->ClearZone();
    doc->ResetTracker();
    if (doc->m_pView)
        doc->m_pView->DisplayImage();
}

void CExtractImageDlg::accept()
{
    Detach();
    CFraloDoc* source = Documents()->ActiveDocument();
    if (!source)
        return QDialog::accept();
    const TrackerRect& r = source->m_tracker.m_rect;
    const ImageZone zone =
        ExtractionZone(r.left, r.top, r.right, r.bottom, source->m_ptScroll.x, source->m_ptScroll.y,
                       source->m_nWidth, source->m_nHeight);
    if (!ExtractionLargeEnough(zone)) {
        UserMessage(QString::fromUtf8("Taille mini de la zone digitalisée : 100 x 100 pixels !"));
        return QDialog::accept();
    }
    const int width = zone.Width(), height = zone.Height();
    // Cropped before its document is made: a failure leaves no empty document.
    Vobject part;
    const bool cropped =
        RunAtErrorEdge([&] { crop_part(source->m_image, &part, zone.y0, zone.x0, width, height); });
    if (CFraloDoc* crop = cropped ? Documents()->NewImageDocument(width, height) : nullptr) {
        crop->SetKind(source->m_nKind & ~KindProfiles);
        crop->UpdateTitle();
        crop->m_image = part;
        if (crop->m_pView) {
            crop->m_pView->SetWindowExtents(width, height);
            crop->m_pView->DisplayImage();
        }
    }
    ClearZone(source);
    QDialog::accept();
}

void CExtractImageDlg::reject()
{
    Detach();
    if (CFraloDoc* doc = Documents()->ActiveDocument())
        ClearZone(doc);
    QDialog::reject();
}
