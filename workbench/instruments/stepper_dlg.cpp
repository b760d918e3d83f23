#include "stepper_dlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "instrument_ui.h"

namespace {

constexpr uint8_t kIdlePlus = 0x00, kStepPlus = 0x01, kIdleMinus = 0x02, kStepMinus = 0x03,
                  kReset = 0x04;
constexpr int kPlusTimer = 0, kMinusTimer = 1;
constexpr int kTickMs = 50;
constexpr auto kLevelTime = std::chrono::milliseconds(10);

} // namespace

CStepperDlg::CStepperDlg(ondula::Clock& clock, QWidget* parent)
    : QDialog(parent), m_clock(clock), m_timers([this](int id) { OnTimer(id); })
{
    setWindowTitle(QString::fromUtf8("Pilotage moteur pas à pas"));
    auto* axis = new QGroupBox(QString::fromUtf8("Déplacement de l'axe"), this);
    auto* grid = new QGridLayout(axis);
    m_btnPlus = PlainButton("X&+", axis, [this] { OnMovePlus(); });
    m_btnMinus = PlainButton("X&-", axis, [this] { OnMoveMinus(); });
    m_btnStop = PlainButton("&STOP", axis, [this] { OnStop(); });
    auto* stepMinus = PlainButton("-1pas", axis, [this] { OnStepMinus(); });
    auto* stepPlus = PlainButton("+1pas", axis, [this] { OnStepPlus(); });
    grid->addWidget(m_btnMinus, 0, 0);
    grid->addWidget(m_btnStop, 0, 1);
    grid->addWidget(m_btnPlus, 0, 2);
    grid->addWidget(stepMinus, 1, 0);
    grid->addWidget(stepPlus, 1, 2);
    m_btnReset = PlainButton("&Reset", this, [this] { OnOK(); });
    m_btnClose = PlainButton("&Fermer", this, [this] { OnCancel(); });
    m_btnReset->setDefault(true);
    m_pStatus = new QLabel(this);
    auto* layout = new QGridLayout(this);
    layout->addWidget(axis, 0, 0, 1, 2);
    layout->addWidget(m_pStatus, 1, 0, 1, 2);
    layout->addWidget(m_btnReset, 2, 0);
    layout->addWidget(m_btnClose, 2, 1);

    m_pPort = std::make_unique<instruments::CParallelPort>(UserMessageSink());
    m_strStatus.clear();
    m_btnStop->setEnabled(false);
    m_nSteps = 0;
    UpdateData();
}

void CStepperDlg::UpdateData() { m_pStatus->setText(m_strStatus); }

void CStepperDlg::Step(bool plus)
{
    m_pPort->WriteData(plus ? kStepPlus : kStepMinus);
    m_clock.SleepFor(kLevelTime);
    m_pPort->WriteData(plus ? kIdlePlus : kIdleMinus);
    m_clock.SleepFor(kLevelTime);
}

void CStepperDlg::ShowSteps()
{
    m_strStatus = QString::fromUtf8("Dépl.(pas): ") + QString::number(m_nSteps);
    UpdateData();
}

void CStepperDlg::OnStepPlus()
{
    Step(true);
    ++m_nSteps;
    ShowSteps();
}

void CStepperDlg::OnStepMinus()
{
    Step(false);
    --m_nSteps;
    ShowSteps();
}

void CStepperDlg::EnableIdleButtons(bool enable)
{
    for (QPushButton* button : {m_btnReset, m_btnClose, m_btnPlus, m_btnMinus})
        button->setEnabled(enable);
}

void CStepperDlg::StartMotion(int id, uint8_t direction)
{
    m_btnStop->setEnabled(true);
    EnableIdleButtons(false);
    m_pPort->WriteData(direction);
    m_timers.SetTimer(id, kTickMs);
}

void CStepperDlg::OnMovePlus() { StartMotion(kPlusTimer, kIdlePlus); }

void CStepperDlg::OnMoveMinus() { StartMotion(kMinusTimer, kIdleMinus); }

void CStepperDlg::OnTimer(int id)
{
    if (id == kPlusTimer) {
        Step(true);
        ++m_nSteps;
    } else if (id == kMinusTimer) {
        Step(false);
        --m_nSteps;
    }
    ShowSteps();
}

void CStepperDlg::OnStop()
{
    m_timers.KillTimer(kPlusTimer);
    m_timers.KillTimer(kMinusTimer);
    m_pPort->WriteData(kIdlePlus);
    m_btnStop->setEnabled(false);
    EnableIdleButtons(true);
}

void CStepperDlg::OnOK()
{
    m_pPort->WriteData(kReset);
    m_clock.SleepFor(kLevelTime);
    m_pPort->WriteData(kIdlePlus);
    m_strStatus = QString::fromUtf8("Reset moteur demandé...");
    m_nSteps = 0;
    UpdateData();
}

void CStepperDlg::OnCancel()
{
    m_timers.KillTimer(kPlusTimer);
    m_timers.KillTimer(kMinusTimer);
    m_pPort.reset();
    QDialog::reject();
}
