#include "window_size_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "workbench/faces/workbench_settings.h"

namespace {

QString SizeText(int width, int height) { return QString("%1 X %2").arg(width).arg(height); }

} // namespace

CWindowSizeDlg::CWindowSizeDlg(QWidget* parent)
    : QDialog(parent), m_pApp(Settings()), m_pSizes(new QComboBox)
{
    setWindowTitle(QString::fromUtf8("Fenêtres"));
    m_pSizes->setObjectName(QStringLiteral("1000"));
    auto* group = new QGroupBox(QStringLiteral("Taille (pixel)"));
    auto* inGroup = new QVBoxLayout(group);
    inGroup->addWidget(new QLabel(QStringLiteral("Larg X Haut")));
    inGroup->addWidget(m_pSizes);
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QDialogButtonBox::Ok);
    buttons->addButton(QStringLiteral("&Quitter"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CWindowSizeDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CWindowSizeDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

void CWindowSizeDlg::OnInitDialog()
{
    m_pApp->FillSizeTable(m_pApp->m_nSource);
    m_pSizes->clear();
    int chosen = -1;
    for (int i = 0; i < kSizeTableEntries; ++i) {
        int16_t width = 0, height = 0;
        if (m_pApp->GetSize(i, &width, &height) != 0)
            continue;
        if (i == m_pApp->m_nSizeIndex)
            chosen = m_pSizes->count();
        m_pSizes->addItem(SizeText(width, height));
    }
    m_pSizes->setCurrentIndex(chosen);
}

void CWindowSizeDlg::OnOK()
{
    m_pApp->SelectSize(m_pSizes->currentIndex());
    QDialog::accept();
}
