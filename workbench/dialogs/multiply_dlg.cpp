#include "multiply_dlg.h"

#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

#include "dialog_support.h"
#include "slider_controls.h"

namespace {

constexpr int kCoefficientStart = 10;

} // namespace

CMultiplyDlg::CMultiplyDlg(CFraloDoc& doc, QWidget* parent)
    : CPreviewDlg(doc, TIMER_PREVIEW, parent),
      m_pSlider(NewSlider(1011, 1, 100, kCoefficientStart)),
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

    ReadSlider();
    connect(m_pSlider, &QSlider::valueChanged, this, [this] {
        ReadSlider();
        SettingMoved();
    });
}

void CMultiplyDlg::ReadSlider()
{
    m_fCoefficient = CoefficientOfPosition(m_pSlider->value());
    m_pText->setText(QString::asprintf("Coef [0.1, 10]: %1.1f", double(m_fCoefficient)));
}

void CMultiplyDlg::ApplySetting() { ApplyTableToSaved(MultiplyTable(m_fCoefficient)); }

void CMultiplyDlg::OnOriginalImage()
{
    PlaceSlider(m_pSlider, kCoefficientStart);
    ReadSlider();
    ApplySetting();
}
