#include "z_scale_dlg.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialog_controls.h"
#include "workbench/core/z_scale_entries.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/faces/documents.h"

namespace {

constexpr int kScaleMs = 100;

} // namespace

CSpeckleEchZDlg::CSpeckleEchZDlg(QWidget* parent)
    : QDialog(parent),
      m_pDoc(Documents()->ActiveDocument()),
      m_timers([this](int id) { OnTimer(id); })
{
    setWindowTitle(QString::fromUtf8("Speckle ou moiré: calcul EchZ"));
    m_pMethod = new QButtonGroup(this);
    auto* speckle = Named(new QRadioButton(QStringLiteral("&Speckle"), this), 1000);
    auto* moire = Named(new QRadioButton(QString::fromUtf8("&Moiré"), this), 1001);
    m_pMethod->addButton(speckle, int(metrology::ZScaleMethod::Speckle));
    m_pMethod->addButton(moire, int(metrology::ZScaleMethod::Moire));
    m_pImage = Named(new QLabel(QString::fromUtf8("Image démodulée:"), this), 1009);
    m_pScale = Named(new QLabel(QStringLiteral("EchZ="), this), 1011);
    m_pPitch = Named(new QLineEdit(this), 1115);
    m_pWavelength = Named(new QLineEdit(this), 1116);
    m_pJumps = Named(new QLineEdit(this), 1114);
    const OkQuitButtons buttons = NewOkQuitButtons(this, [this] { accept(); });
    m_pOK = buttons.ok;

    auto* methods = new QHBoxLayout;
    methods->addWidget(speckle);
    methods->addWidget(moire);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&M:"), m_pJumps);
    form->addRow(QStringLiteral("&Lambda(nm):"), m_pWavelength);
    form->addRow(QStringLiteral("&DeltaZ(mm):"), m_pPitch);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(methods);
    layout->addWidget(m_pImage);
    layout->addLayout(form);
    layout->addWidget(m_pScale);
    layout->addLayout(buttons.row);

    speckle->setChecked(true);
    m_pWavelength->setText(QStringLiteral("632.8"));
    if (!m_pDoc)
        return;
    m_pPitch->setText(QString::asprintf("%1.3f", double(m_pDoc->m_fMoirePitch)));
    if (m_pDoc->m_nFringeCount < 0) {
        m_pImage->setText(QString::fromUtf8("Image démodulée: ?"));
        m_pJumps->setText(QStringLiteral("0"));
    } else {
        m_pImage->setText(m_pDoc->m_strName);
        m_pJumps->setText(QString::number(m_pDoc->m_nFringeCount));
    }
    m_timers.SetTimer(TIMER_SCALE, kScaleMs);
    // Read once now, so that "&OK" never hands over a scale the entries did not give.
    OnTimer(TIMER_SCALE);
}

int CSpeckleEchZDlg::exec() { return m_pDoc ? QDialog::exec() : int(QDialog::Rejected); }

void CSpeckleEchZDlg::OnTimer(int id)
{
    if (id != TIMER_SCALE || !m_pDoc)
        return;
    ZScaleEntries entries;
    entries.method = metrology::ZScaleMethod(m_pMethod->checkedId());
    entries.wavelength = m_pWavelength->text().toStdString();
    entries.jumps = m_pJumps->text().toStdString();
    entries.pitch = m_pPitch->text().toStdString();
    const bool moire = entries.method == metrology::ZScaleMethod::Moire;
    m_pPitch->setEnabled(moire);
    m_pWavelength->setEnabled(!moire);

    const ZScaleReading reading = ReadZScaleEntries(entries);
    m_pOK->setEnabled(reading.echZ.has_value());
    m_pScale->setText(QString::fromStdString(reading.text));
    if (!reading.echZ)
        return;
    m_fScaleZ = *reading.echZ;
    m_pDoc->SetFringeCount(reading.jumps,
                           moire ? std::optional<float>(reading.pitch) : std::nullopt);
}

void CSpeckleEchZDlg::done(int result)
{
    m_timers.KillTimer(TIMER_SCALE);
    QDialog::done(result);
}
