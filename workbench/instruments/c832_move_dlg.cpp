#include "c832_move_dlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "instrument_rules.h"
#include "instrument_ui.h"
#include "metrology/instruments/stage.h"
#include "workbench/common/user_message.h"

using instruments::kStageAxis;

namespace {

constexpr int kPollTimer = 1;
constexpr int kPollMs = 40;
constexpr double kJogMm = 100.0;
constexpr int kSlowest = 10, kFastest = 100;
constexpr auto kResetPause = std::chrono::milliseconds(300);

const char* const kAxisNotOk = "Axe X non OK !";

} // namespace

CC832MoveDlg::CC832MoveDlg(ondula::Clock& clock, QWidget* parent)
    : QDialog(parent), m_clock(clock), m_timers([this](int id) { OnTimer(id); })
{
    setWindowTitle(QString::fromUtf8("Déplacement de l'axe motorisé P.I. C832"));
    m_btnGoHome = PlainButton("&Revenir origine", this, [this] { OnGoHome(); });
    m_btnDefineOrigin = PlainButton("Définir &origine", this, [this] { OnDefineOrigin(); });
    m_btnClose = PlainButton("&Fermer", this, [this] { OnCancel(); });
    m_btnPlus = PlainButton("X&+", this, [this] { OnMovePlus(); });
    m_btnMinus = PlainButton("X&-", this, [this] { OnMoveMinus(); });
    m_btnStop = PlainButton("&STOP", this, [this] { OnStop(); });
    m_btnGoTo = PlainButton("&Aller à cette position", this, [this] { OnGoToPosition(); });
    auto* initCard = PlainButton("&Initialiser carte", this, [this] { OnInitCard(); });
    auto* speed = new QGroupBox(QString::fromUtf8("Vitesse de l'axe (mm/min)"), this);
    auto* speedRow = new QGridLayout(speed);
    m_sliderSpeed = new QSlider(Qt::Horizontal, speed);
    m_pSpeed = new QLabel(speed);
    speedRow->addWidget(m_sliderSpeed, 0, 0);
    speedRow->addWidget(m_pSpeed, 0, 1);
    m_pX = new QLineEdit(this);
    m_pStatus = new QLabel(this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(MnemonicLabel("&X:", m_pX, this), 0, 0);
    grid->addWidget(m_pX, 0, 1);
    grid->addWidget(m_btnGoTo, 0, 2);
    grid->addWidget(m_btnMinus, 1, 0);
    grid->addWidget(m_btnStop, 1, 1);
    grid->addWidget(m_btnPlus, 1, 2);
    grid->addWidget(m_btnGoHome, 2, 0);
    grid->addWidget(m_btnDefineOrigin, 2, 1);
    grid->addWidget(initCard, 2, 2);
    grid->addWidget(speed, 3, 0, 1, 3);
    grid->addWidget(m_pStatus, 4, 0, 1, 2);
    grid->addWidget(m_btnClose, 4, 2);

    m_strSpeed = FormatSpeed(m_fSpeed);
    m_sliderSpeed->setRange(kSlowest, kFastest);
    m_sliderSpeed->setValue(int(m_fSpeed));
    m_pC832 = OpenStage(m_clock);
    if (!m_pC832->IsOpen()) {
        m_bClosed = true;
        OnCancel();
        return;
    }
    m_pC832->ResetAxis(kStageAxis);
    if (m_pC832->TestAxes(kStageAxis)) {
        m_pC832->ResetAxis(kStageAxis);
        UseAxis(true);
        m_strX = FormatPosition(m_pC832->GetPosition(kStageAxis));
        m_strStatus = QString::fromUtf8("Axe X OK...");
    } else {
        UseAxis(false);
        m_strStatus = QString::fromUtf8(kAxisNotOk);
    }
    UpdateData(false);

    connect(m_sliderSpeed, &QSlider::valueChanged, this, &CC832MoveDlg::OnHScroll);
}

int CC832MoveDlg::exec() { return m_bClosed ? QDialog::Rejected : QDialog::exec(); }

void CC832MoveDlg::UpdateData(bool save)
{
    if (save) {
        m_strX = m_pX->text();
        return;
    }
    m_pSpeed->setText(m_strSpeed);
    m_pX->setText(m_strX);
    m_pStatus->setText(m_strStatus);
}

void CC832MoveDlg::EnableMotionButtons(bool enable)
{
    for (QPushButton* button : {m_btnGoHome, m_btnDefineOrigin, m_btnPlus, m_btnMinus, m_btnGoTo})
        button->setEnabled(enable);
}

void CC832MoveDlg::UseAxis(bool answered)
{
    m_bAxisOk = answered;
    m_btnStop->setEnabled(false);
    if (!answered) {
        EnableMotionButtons(false);
        m_strX = QStringLiteral("?");
        return;
    }
    m_pC832->InitAxes(kStageAxis);
    m_pC832->SetVelocity(kStageAxis, m_fSpeed);
    m_btnPlus->setEnabled(true);
    m_btnMinus->setEnabled(true);
    m_btnGoTo->setEnabled(true);
}

void CC832MoveDlg::LoseAxis()
{
    // The chips stopped answering: the axis is lost until the card is initialised again.
    UseAxis(false);
    m_strStatus = QString::fromUtf8(kAxisNotOk);
}

void CC832MoveDlg::ShowPosition() { m_strX = FormatPosition(m_pC832->GetPosition(kStageAxis)); }

void CC832MoveDlg::LoadMotion()
{
    switch (m_nMotion) {
    case JogPlus:
        m_pC832->MoveRelative(kStageAxis, kJogMm);
        break;
    case JogMinus:
        m_pC832->MoveRelative(kStageAxis, -kJogMm);
        break;
    case GoingHome:
        m_pC832->MoveAbsolute(kStageAxis, 0.0);
        break;
    case GoingToTarget:
        m_pC832->MoveAbsolute(kStageAxis, m_fTarget);
        break;
    default:
        return;
    }
    m_motionDeadline.emplace(m_clock, m_pC832->MotionTimeBound(kStageAxis));
}

void CC832MoveDlg::StartMotion(Motion motion)
{
    EnableMotionButtons(false);
    m_btnStop->setEnabled(true);
    m_pC832->SetVelocity(kStageAxis, m_fSpeed);
    m_nMotion = motion;
    LoadMotion();
    UpdateData(false);
    m_timers.SetTimer(kPollTimer, kPollMs);
}

void CC832MoveDlg::OnMovePlus()
{
    if (m_bAxisOk)
        StartMotion(JogPlus);
}

void CC832MoveDlg::OnMoveMinus()
{
    if (m_bAxisOk)
        StartMotion(JogMinus);
}

void CC832MoveDlg::OnGoHome()
{
    if (m_bAxisOk)
        StartMotion(GoingHome);
}

void CC832MoveDlg::OnGoToPosition()
{
    if (!m_bAxisOk)
        return;
    UpdateData(true);
    const auto target = ParseTarget(m_strX, instruments::kStageCountsPerMm);
    if (!target)
        return;
    m_fTarget = *target;
    StartMotion(GoingToTarget);
}

void CC832MoveDlg::OnTimer(int id)
{
    if (id != kPollTimer || !m_nMotion)
        return;
    m_strStatus.clear();
    if (m_pC832->CheckOverTravel(kStageAxis)) {
        m_timers.KillTimer(kPollTimer);
        m_btnStop->setEnabled(false);
        UpdateData(false);
        UserMessage(QString::fromUtf8(instruments::kOverTravelText));
    } else {
        ShowPosition();
        UpdateData(false);
    }
    if (m_pC832->IsMotionDone(kStageAxis)) {
        m_timers.KillTimer(kPollTimer);
        m_btnStop->setEnabled(false);
        EnableMotionButtons(true);
    } else if (m_timers.IsActive(kPollTimer) && !m_pC832->IsConnected()) {
        m_timers.KillTimer(kPollTimer);
        LoseAxis();
        UpdateData(false);
        UserMessage(MoveNotFinishedText());
    } else if (m_timers.IsActive(kPollTimer) && m_motionDeadline && m_motionDeadline->Expired()) {
        // STOP stays available to end what the axis may still be doing.
        m_timers.KillTimer(kPollTimer);
        UserMessage(MoveNotFinishedText());
    }
}

void CC832MoveDlg::OnStop()
{
    m_timers.KillTimer(kPollTimer);
    if (m_bAxisOk) {
        m_pC832->StopSmooth(kStageAxis);
        if (!m_pC832->WaitMotionEnd(kStageAxis))
            UserMessage(MoveNotFinishedText());
        ShowPosition();
        m_pC832->ResetInterrupts(kStageAxis);
        m_btnStop->setEnabled(false);
        EnableMotionButtons(true);
        if (!m_pC832->IsConnected())
            LoseAxis();
        UpdateData(false);
    }
    m_nMotion = None;
}

void CC832MoveDlg::OnHScroll()
{
    m_fSpeed = float(m_sliderSpeed->value());
    m_strSpeed = FormatSpeed(m_fSpeed);
    // Only a motion that is still running takes the new speed.
    if (m_bAxisOk && m_nMotion && m_timers.IsActive(kPollTimer)) {
        m_pC832->StopSmooth(kStageAxis);
        m_pC832->SetVelocity(kStageAxis, m_fSpeed);
        LoadMotion();
    }
    UpdateData(false);
}

void CC832MoveDlg::OnDefineOrigin()
{
    if (!m_bAxisOk)
        return;
    m_pC832->DefineHome(kStageAxis);
    m_strX = FormatPosition(0);
    UpdateData(false);
}

void CC832MoveDlg::OnInitCard()
{
    m_strStatus = QString::fromUtf8("RESET...");
    UpdateData(false);
    m_pStatus->repaint();
    m_clock.SleepFor(kResetPause);
    m_pC832->ResetAxis(kStageAxis);
    m_strStatus = QString::fromUtf8(m_pC832->TestAxes(kStageAxis) ? "Axe X OK..." : kAxisNotOk);
    const float x = m_pC832->GetPosition(kStageAxis);
    if (x != instruments::CC832Controller::kNoPosition)
        m_strX = FormatPosition(x);
    UseAxis(x != instruments::CC832Controller::kNoPosition);
    UpdateData(false);
}

void CC832MoveDlg::OnCancel()
{
    m_timers.KillTimer(kPollTimer);
    if (m_pC832 && m_bAxisOk && m_nMotion)
        m_pC832->StopSmooth(kStageAxis);
    m_pC832.reset();
    QDialog::reject();
}
