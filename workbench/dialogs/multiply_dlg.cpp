#include "multiply_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
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
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(Named(new QPushButton(QStringLiteral("&Annuler")), 2),
                       QDialogButtonBox::RejectRole);
    buttons->addButton(
        Clicked(new QPushButton(QStringLiteral("&Image orig.")), 3, [this] { OnOriginalImage(); }),
        QDialogButtonBox::ActionRole);
    buttons->addButton(Named(new QPushButton(QStringLiteral("&OK")), 1),
                       QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CMultiplyDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CMultiplyDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pSlider);
    layout->addWidget(explanation);
    layout->addWidget(m_pText);
    layout->addWidget(buttons);

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
