#include "multiply_dlg.h"

#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

#include "dialog_support.h"

CMultiplyDlg::CMultiplyDlg(CFraloDoc& doc, QWidget* parent)
    : CPreviewDlg(doc, TIMER_PREVIEW, parent),
      m_pSlider(SettingSlider(1011, 1, 100, 10)),
      m_pText(Named(new QLabel, 1039))
{
    setWindowTitle(QStringLiteral("Multiplication par constante"));
    auto* explanation = new QLabel(QString::fromUtf8(
        "La luminance de tous les pixels de l'image est multipliée par le coefficient..."));
    explanation->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pSlider);
    layout->addWidget(explanation);
    layout->addWidget(m_pText);
    layout->addWidget(DialogButtons(
        this, {{2, "&Annuler"}, {3, "&Image orig.", [this] { OnOriginalImage(); }}, {1, "&OK"}}));

    ReadSliders();
}

void CMultiplyDlg::ReadSliders()
{
    m_fCoefficient = CoefficientOfPosition(m_pSlider->value());
    m_pText->setText(QString::asprintf("Coef [0.1, 10]: %1.1f", double(m_fCoefficient)));
}

void CMultiplyDlg::ApplySetting() { ApplyTableToSaved(MultiplyTable(m_fCoefficient)); }
