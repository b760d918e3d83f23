#include "luminance_gamma_dlg.h"

#include <QGroupBox>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

#include "dialog_support.h"

CLuminanceGammaDlg::CLuminanceGammaDlg(CFraloDoc& doc, QWidget* parent)
    : CPreviewDlg(doc, TIMER_PREVIEW, parent),
      m_pLuminanceSlider(SettingSlider(155, 0, 100, 50)),
      m_pGammaSlider(SettingSlider(159, 1, 200, 100)),
      m_pLuminanceText(Named(new QLabel, 1021)),
      m_pGammaText(Named(new QLabel, 1023))
{
    setWindowTitle(QStringLiteral("Ajustement luminance, fact. contraste"));
    auto* values =
        new QGroupBox(QString::fromUtf8("Valeurs courantes et ajustement des paramètres"));
    auto* valuesLayout = new QVBoxLayout(values);
    valuesLayout->addWidget(m_pLuminanceText);
    valuesLayout->addWidget(m_pLuminanceSlider);
    valuesLayout->addWidget(m_pGammaText);
    valuesLayout->addWidget(m_pGammaSlider);
    auto* relations = new QGroupBox(QStringLiteral("Relations"));
    auto* relationsLayout = new QVBoxLayout(relations);
    relationsLayout->addWidget(new QLabel(QStringLiteral("W_NOUV = W_DER + Luminance")));
    // The fixed texts "(W_DER/255)", "Gamma" and ")*255" read as one balanced formula.
    relationsLayout->addWidget(
        new QLabel(QStringLiteral("W_NOUV = ((W_DER/255)<sup>Gamma</sup>)*255")));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(values);
    layout->addWidget(relations);
    layout->addWidget(DialogButtons(
        this,
        {{3, "&Image originale", [this] { OnOriginalImage(); }}, {2, "&Annuler"}, {1, "&OK"}}));

    ReadSliders();
}

void CLuminanceGammaDlg::ReadSliders()
{
    m_nLuminance = LuminanceOfPosition(m_pLuminanceSlider->value());
    m_fGamma = GammaOfPosition(m_pGammaSlider->value());
    m_pLuminanceText->setText(QString::asprintf("Luminance [-50,50]: %d", m_nLuminance));
    m_pGammaText->setText(QString::asprintf("Gamma [0.01, 2]: %4.2f", double(m_fGamma)));
}

void CLuminanceGammaDlg::ApplySetting()
{
    ApplyTableToSaved(LuminanceGammaTable(m_nLuminance, m_fGamma));
}
