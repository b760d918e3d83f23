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
#include "workbench/common/user_message.h"

namespace {

constexpr int kAxis = 1;
constexpr int kCountsPerMm = 120000;
constexpr int kPollTimer = 1;
constexpr int kPollMs = 40;
constexpr double kJogMm = 100.0;
constexpr int kSlowest = 10, kFastest = 100;
constexpr float kInitialSpeed = 50;
constexpr auto kResetPause = std::chrono::milliseconds(300);

} // namespace

CC832MoveDlg::CC832MoveDlg(ondula::Clock& clock, QWidget* parent)
    : QDialog(parent), m_clock(clock), m_timers([this](int id) { OnTimer(id); })
{
    setWindowTitle(QString::fromUtf8("Déplacement de l'axe motorisé P.I. C832"));
    m_btnGoHome = PlainButton("&Revenir origine", this);
    m_btnDefineOrigin = PlainButton("Définir &origine", this);
    m_btnClose = PlainButton("&Fermer", this);
    m_btnPlus = PlainButton("X&+", this);
    m_btnMinus = PlainButton("X&-", this);
    m_btnStop = PlainButton("&STOP", this);
    m_btnGoTo = PlainButton("&Aller à cette position", this);
    auto* initCard = PlainButton("&Initialiser carte", this);
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

    m_fSpeed = kInitialSpeed;
    m_nMotion = None;
    m_strSpeed = FormatSpeed(kInitialSpeed);
    m_sliderSpeed->setRange(kSlowest, kFastest);
    m_sliderSpeed->setValue(int(kInitialSpeed));
    m_pC832 =
        std::make_unique<instruments::CC832Controller>(kCountsPerMm, m_clock, UserMessageSink());
    if (!m_pC832->IsOpen()) {
        m_bClosed = true;
        OnCancel();
        return;
    }
    m_pC832->ResetAxis(kAxis);
    if (m_pC832->TestAxes(kAxis)) {
        m_pC832->ResetAxis(kAxis);
        UseAxis(true);
        m_strX = FormatPosition(m_pC832->GetPosition(kAxis));
        m_strStatus = QString::fromUtf8("Axe X OK...");
    } else {
        UseAxis(false);
        m_strStatus = QString::fromUtf8("Axe X non OK !");
    }
    UpdateData(false);

    connect(m_btnDefineOrigin, &QPushButton::clicked, this, &CC832MoveDlg::OnDefineOrigin);
    connect(m_btnGoHome, &QPushButton::clicked, this, &CC832MoveDlg::OnGoHome);
    connect(m_btnGoTo, &QPushButton::clicked, this, &CC832MoveDlg::OnGoToPosition);
    connect(m_sliderSpeed, &QSlider::valueChanged, this, &CC832MoveDlg::OnHScroll);
    connect(initCard, &QPushButton::clicked, this, &CC832MoveDlg::OnInitCard);
    connect(m_btnMinus, &QPushButton::clicked, this, &CC832MoveDlg::OnMoveMinus);
    connect(m_btnPlus, &QPushButton::clicked, this, &CC832MoveDlg::OnMovePlus);
    connect(m_btnStop, &QPushButton::clicked, this, &CC832MoveDlg::OnStop);
    connect(m_btnClose, &QPushButton::clicked, this, &CC832MoveDlg::OnCancel);
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
    m_pC832->InitAxes(kAxis);
    m_pC832->SetVelocity(kAxis, m_fSpeed);
    m_btnPlus->setEnabled(true);
    m_btnMinus->setEnabled(true);
    m_btnGoTo->setEnabled(true);
}

void CC832MoveDlg::ShowPosition() { m_strX = FormatPosition(m_pC832->GetPosition(kAxis)); }

void CC832MoveDlg::LoadMotion()
{
    switch (m_nMotion) {
    case JogPlus:
        m_pC832->MoveRelative(kAxis, kJogMm);
        break;
    case JogMinus:
        m_pC832->MoveRelative(kAxis, -kJogMm);
        break;
    case GoingHome:
        m_pC832->MoveAbsolute(kAxis, 0.0);
        break;
    case GoingToTarget:
        m_pC832->MoveAbsolute(kAxis, m_fTarget);
        break;
    default:
        return;
    }
    m_motionDeadline.emplace(m_clock, m_pC832->MotionTimeBound(kAxis));
}

void CC832MoveDlg::StartMotion(Motion motion)
{
    EnableMotionButtons(false);
    m_btnStop->setEnabled(true);
    m_pC832->SetVelocity(kAxis, m_fSpeed);
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
    const auto target = ParseTarget(m_strX, kCountsPerMm);
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
    if (m_pC832->CheckOverTravel(kAxis)) {
        m_timers.KillTimer(kPollTimer);
        m_btnStop->setEnabled(false);
        UpdateData(false);
        UserMessage(QString::fromUtf8("Surcourse axe 1 détectée !"));
    } else {
        ShowPosition();
        UpdateData(false);
    }
    if (m_pC832->IsMotionDone(kAxis)) {
        m_timers.KillTimer(kPollTimer);
        m_btnStop->setEnabled(false);
        EnableMotionButtons(true);
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
        m_pC832->StopSmooth(kAxis);
        if (!m_pC832->WaitMotionEnd(kAxis))
            UserMessage(MoveNotFinishedText());
        ShowPosition();
        m_pC832->ResetInterrupts(kAxis);
        m_btnStop->setEnabled(false);
        EnableMotionButtons(true);
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
        m_pC832->StopSmooth(kAxis);
        m_pC832->SetVelocity(kAxis, m_fSpeed);
        LoadMotion();
    }
    UpdateData(false);
}

void CC832MoveDlg::OnDefineOrigin()
{
    if (!m_bAxisOk)
        return;
    m_pC832->DefineHome(kAxis);
    m_strX = FormatPosition(0);
    UpdateData(false);
}

void CC832MoveDlg::OnInitCard()
{
    m_strStatus = QString::fromUtf8("RESET...");
    UpdateData(false);
    m_pStatus->repaint();
    m_clock.SleepFor(kResetPause);
    m_pC832->ResetAxis(kAxis);
    m_strStatus = QString::fromUtf8(m_pC832->TestAxes(kAxis) ? "Axe X OK..." : "Axe X non OK !");
    const float x = m_pC832->GetPosition(kAxis);
    if (x != instruments::CC832Controller::kNoPosition)
        m_strX = FormatPosition(x);
    UseAxis(x != instruments::CC832Controller::kNoPosition);
    UpdateData(false);
}

void CC832MoveDlg::OnCancel()
{
    m_timers.KillTimer(kPollTimer);
    if (m_pC832 && m_bAxisOk && m_nMotion)
        m_pC832->StopSmooth(kAxis);
    m_pC832.reset();
    QDialog::reject();
}
