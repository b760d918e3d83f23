#include "real_time_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <imageproc/quiet_library.h>
#include <verodyn/operators.h>

#include "workbench/analysis/dialog_controls.h"
#include "workbench/core/live_difference.h"
#include "workbench/doc/fralo_doc.h"

CRealTimeDlg::CRealTimeDlg(WorkbenchSettings* app, QWidget* parent)
    : CLiveViewDlg(app, TIMER_REAL_TIME, parent)
{
    m_pReference = Named(new QPushButton(QString::fromUtf8("&Référence"), this), 3);
    m_pGain = Named(new QLineEdit(QString::number(m_nGain), this), 1005);
    auto* label = new QLabel(QStringLiteral("&Gain :"), this);
    label->setBuddy(m_pGain);
    auto* gain = new QHBoxLayout;
    gain->addWidget(label);
    gain->addWidget(m_pGain);
    BuildLayout(QString::fromUtf8("Visualisation en temps réel"),
                QString::fromUtf8("Image temps réel :"), 1003, 1004, gain, m_pReference);
    m_pReference->setEnabled(false);
    connect(m_pReference, &QPushButton::clicked, this, &CRealTimeDlg::OnReference);
    connect(m_pGain, &QLineEdit::textChanged, this, &CRealTimeDlg::OnChangeGain);
}

void CRealTimeDlg::OnStarting()
{
    const std::size_t pixels = std::size_t(FrameWidth()) * std::size_t(FrameHeight());
    m_reference.assign(pixels, 0);
    m_result.assign(pixels, 0);
    m_pReference->setEnabled(true);
}

void CRealTimeDlg::OnReference()
{
    const std::vector<uint8_t>& grey = GreyLevels();
    m_reference.assign(grey.begin(), grey.end());
}

void CRealTimeDlg::OnChangeGain()
{
    const GainEntry entry = GainFromText(m_pGain->text().toStdString());
    m_nGain = static_cast<int16_t>(entry.gain);
    const QString shown = QString::fromStdString(entry.text);
    // The rewritten text changes the entry once more, to the same gain.
    if (m_pGain->text() != shown)
        m_pGain->setText(shown);
}

void CRealTimeDlg::ComputeResult()
{
    const std::vector<uint8_t>& grey = GreyLevels();
    DifferencePlane(grey.data(), m_reference.data(), grey.size(), m_nGain, m_result.data());
    QuietLibrary quiet;
    gen_image1(&m_pResultDoc->m_image, "byte", FrameWidth(), FrameHeight(), m_result.data());
}
