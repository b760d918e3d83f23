#include "piezo_dlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include "instrument_rules.h"
#include "instrument_ui.h"
#include "serial_params_dlg.h"
#include "workbench/faces/workbench_settings.h"

namespace {

constexpr int kSendTimer = 29;
constexpr int kTickMs = 50;
constexpr int16_t kQuietTicksBeforeSend = 10;
constexpr int kLargestPosition = 1023;

QString SupplyLabel(int model)
{
    return QString::fromUtf8(model ? "Alimentation 2" : "Alimentation 1");
}

} // namespace

CPiezoDlg::CPiezoDlg(WorkbenchSettings* app, ondula::Clock& clock, QWidget* parent)
    : QDialog(parent), m_pApp(app), m_clock(clock), m_timers([this](int id) { OnTimer(id); })
{
    setWindowTitle(QString::fromUtf8("Pilotage translateur piézo"));
    auto* voltage = new QGroupBox(QString::fromUtf8("Tension piézo (V)"), this);
    auto* grid = new QGridLayout(voltage);
    m_slider = new QSlider(Qt::Horizontal, voltage);
    m_pVoltage = new QLineEdit(voltage);
    m_pPos = new QLineEdit(voltage);
    m_pRange = new QLineEdit(voltage);
    m_pSupply = new QLabel(voltage);
    m_pVoltage->setReadOnly(true);
    m_pPos->setReadOnly(true);
    grid->addWidget(m_slider, 0, 0, 1, 4);
    grid->addWidget(new QLabel(QString::fromUtf8("U(V):")), 1, 0);
    grid->addWidget(m_pVoltage, 1, 1);
    grid->addWidget(new QLabel(QString::fromUtf8("Convertisseur:")), 1, 2);
    grid->addWidget(m_pPos, 1, 3);
    grid->addWidget(MnemonicLabel("&Intervalle tension piezo : 0 à ", m_pRange, voltage), 2, 0, 1,
                    2);
    grid->addWidget(m_pRange, 2, 2);
    grid->addWidget(new QLabel(QString::fromUtf8("V")), 2, 3);
    grid->addWidget(m_pSupply, 3, 0, 1, 4);

    auto* ports = new QGroupBox(QString::fromUtf8("N° port série"), this);
    auto* portRow = new QHBoxLayout(ports);
    m_pCom1 = new QRadioButton(QString::fromUtf8("COM&1"), ports);
    m_pCom2 = new QRadioButton(QString::fromUtf8("COM&2"), ports);
    portRow->addWidget(m_pCom1);
    portRow->addWidget(m_pCom2);

    auto* select = PlainButton("&Sélectionner alim...", this, [this] { OnSelectSupply(); });
    auto* close = PlainButton("&Fermer", this, [this] { OnCancel(); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(select);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(voltage);
    layout->addWidget(ports);
    layout->addLayout(buttons);

    m_nComPort = m_pApp->m_nComPort;
    m_nRange = m_pApp->m_nSupplyFullScale;
    m_strRange = QString::number(m_nRange);
    m_nPos = m_pApp->m_nSliderPos;
    m_fVoltage = PiezoVoltage(m_nRange, m_nPos);
    m_slider->setRange(0, kLargestPosition);
    m_slider->setValue(m_nPos);
    OpenPort(m_nComPort);
    m_pPort->SendSetpoint(int16_t(m_slider->value()));
    m_strSupply = SupplyLabel(m_pApp->m_nSupplyModel);
    UpdateData(false);
    m_nQuietTicks = 0;
    m_bPending = 0;
    m_timers.SetTimer(kSendTimer, kTickMs);

    connect(m_slider, &QSlider::valueChanged, this, &CPiezoDlg::OnHScroll);
    connect(m_pCom1, &QRadioButton::clicked, this, &CPiezoDlg::OnCom1);
    connect(m_pCom2, &QRadioButton::clicked, this, &CPiezoDlg::OnCom2);
    connect(m_pRange, &QLineEdit::editingFinished, this, &CPiezoDlg::OnKillfocusRange);
}

void CPiezoDlg::UpdateData(bool save)
{
    if (save) {
        m_nComPort = m_pCom2->isChecked() ? 1 : m_pCom1->isChecked() ? 0 : m_nComPort;
        m_strRange = m_pRange->text();
        return;
    }
    m_pCom1->setChecked(m_nComPort == 0);
    m_pCom2->setChecked(m_nComPort == 1);
    m_pRange->setText(m_strRange);
    m_pPos->setText(QString::number(m_nPos));
    m_pVoltage->setText(QString::number(double(m_fVoltage)));
    m_pSupply->setText(m_strSupply);
}

void CPiezoDlg::OpenPort(int portIndex)
{
    m_pPort.reset();
    m_pPort = std::make_unique<instruments::CSerialPort>(portIndex, m_pApp->m_nSupplyModel, m_clock,
                                                         UserMessageSink());
}

void CPiezoDlg::OnHScroll()
{
    m_nPos = int16_t(m_slider->value());
    m_pApp->SetSliderPosition(m_nPos);
    m_nQuietTicks = 0;
    m_bPending = 1;
    m_fVoltage = PiezoVoltage(m_nRange, m_nPos);
    UpdateData(false);
}

void CPiezoDlg::OnTimer(int)
{
    if (m_nQuietTicks <= kQuietTicksBeforeSend)
        ++m_nQuietTicks;
    if (m_nQuietTicks > kQuietTicksBeforeSend && m_bPending) {
        m_bPending = 0;
        m_pPort->SendSetpoint(m_nPos);
    }
}

void CPiezoDlg::OnComPort(int portIndex)
{
    if (m_nComPort == portIndex)
        return;
    OpenPort(portIndex);
    m_nComPort = portIndex;
    m_pPort->SendSetpoint(m_nPos);
}

void CPiezoDlg::OnCom1() { OnComPort(0); }

void CPiezoDlg::OnCom2() { OnComPort(1); }

void CPiezoDlg::OnKillfocusRange()
{
    UpdateData(true);
    m_nRange = ParseSupplyRange(m_strRange);
    m_strRange = QString::number(m_nRange);
    UpdateData(false);
}

void CPiezoDlg::OnSelectSupply()
{
    CSerialParamsDlg params(m_pApp, this);
    if (params.exec() != QDialog::Accepted)
        return;
    OpenPort(m_nComPort);
    m_strSupply = SupplyLabel(m_pApp->m_nSupplyModel);
    m_nRange = m_pApp->m_nSupplyFullScale;
    m_strRange = QString::number(m_nRange);
    UpdateData(false);
}

void CPiezoDlg::OnCancel()
{
    m_timers.KillTimer(kSendTimer);
    m_pPort.reset();
    UpdateData(true);
    m_pApp->KeepPiezoSettings(m_nComPort, m_nRange, m_nPos);
    QDialog::reject();
}
