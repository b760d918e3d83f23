#include "resize_dlg.h"

#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

#include <verodyn/operators.h>

#include "dialog_support.h"
#include "workbench/core/resize_rules.h"
#include "workbench/core/save_rules.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/faces/image_view.h"

namespace {

constexpr int kTickEvery = 10;

} // namespace

CResizeDlg::CResizeDlg(CFraloDoc& doc, QWidget* parent)
    : CPreviewDlg(doc, TIMER_PREVIEW, parent),
      m_nWidth0(doc.m_nWidth),
      m_nHeight0(doc.m_nHeight),
      m_nSmallest(SmallestResizePercent(doc.m_nWidth)),
      m_pSlider(SettingSlider(1019, m_nSmallest, kLargestResizePercent, 100)),
      m_pRangeText(Named(new QLabel, 1018)),
      m_pSizeText(Named(new QLabel, 1020))
{
    setWindowTitle(QStringLiteral("Redimensionnement image"));
    m_pSlider->setTickPosition(QSlider::TicksBelow);
    m_pSlider->setTickInterval(kTickEvery);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pRangeText);
    layout->addWidget(m_pSlider);
    layout->addWidget(m_pSizeText);
    layout->addWidget(DialogButtons(this, {{2, "&Annuler"}, {1, "OK"}}));

    ReadSliders();
}

void CResizeDlg::ReadSliders()
{
    m_nPercent = m_pSlider->value();
    m_pRangeText->setText(QString::fromStdString(ResizeRangeText(m_nSmallest, m_nPercent)));
    m_pSizeText->setText(
        QString::fromStdString(ResizeSizeText(m_nPercent, m_nSmallest, m_nWidth0, m_nHeight0)));
}

void CResizeDlg::ShowResized(const Vobject& image, int width, int height)
{
    m_doc.SetImage(image);
    m_doc.FitFrameToImage(width, height);
    m_doc.UpdateScrollSizes(width, height);
    m_doc.UpdateTitle();
    if (m_doc.m_pView)
        m_doc.m_pView->SetWindowExtents(width, height);
}

void CResizeDlg::ApplySetting()
{
    const ResizedSize size = SizeAtPercent(m_nPercent, m_nWidth0, m_nHeight0);
    Vobject image;
    zoom_image_size(m_saved, &image, size.width, size.height, "constant");
    ShowResized(image, size.width, size.height);
    m_doc.ClearZone();
    m_doc.UpdateAllViews();
    ReadSliders();
}

void CResizeDlg::RestoreSaved()
{
    Vobject image;
    zoom_image_size(m_saved, &image, m_nWidth0, m_nHeight0, "constant");
    ShowResized(image, m_nWidth0, m_nHeight0);
    m_doc.UpdateAllViews();
}
