#include "overtravel_dlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "instrument_ui.h"
#include "workbench/common/user_message.h"

namespace {

constexpr int kAxis = 1;
constexpr int kCountsPerMm = 120000;
constexpr double kStepMm = 0.2;
constexpr float kRecoverySpeed = 10.0f;

const char* const kInOverTravel = "Surcourse détectée !";

} // namespace

COvertravelDlg::COvertravelDlg(ondula::Clock& clock, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8("Sortie de surcourse"));
    m_btnPlus = PlainButton("Déplacement X+", this);
    m_btnMinus = PlainButton("Déplacement X-", this);
    auto* close = PlainButton("Fermer", this);
    m_pLine1 = new QLabel(this);
    m_pLine2 = new QLabel(this);
    m_pState = new QLabel(this);
    auto* grid = new QGridLayout(this);
    grid->addWidget(m_pState, 0, 0, 1, 2);
    grid->addWidget(m_pLine1, 1, 0, 1, 2);
    grid->addWidget(m_pLine2, 2, 0, 1, 2);
    grid->addWidget(m_btnMinus, 3, 0);
    grid->addWidget(m_btnPlus, 3, 1);
    grid->addWidget(close, 4, 1);
    connect(m_btnMinus, &QPushButton::clicked, this, &COvertravelDlg::OnMoveMinus);
    connect(m_btnPlus, &QPushButton::clicked, this, &COvertravelDlg::OnMovePlus);
    connect(close, &QPushButton::clicked, this, &COvertravelDlg::OnCancel);

    m_pC832 =
        std::make_unique<instruments::CC832Controller>(kCountsPerMm, clock, UserMessageSink());
    bool offerSteps = false;
    if (m_pC832->IsOpen()) {
        if (!m_pC832->TestAxes(kAxis)) {
            m_pC832->ResetAxis(kAxis);
            m_pC832->InitAxes(kAxis);
        }
        if (m_pC832->TestAxes(kAxis)) {
            if (m_pC832->CheckOverTravel(kAxis)) {
                offerSteps = true;
                m_pC832->ResetAxis(kAxis);
                m_pC832->InitAxes(kAxis);
                m_pC832->SetVelocity(kAxis, kRecoverySpeed);
                m_strState = QString::fromUtf8(kInOverTravel);
                m_strLine1 = QString::fromUtf8("Par appui sur X+ ou X-, dépl. = 0.2 mm");
                m_strLine2 = QString::fromUtf8("Ne vous trompez pas de sens !!");
            } else {
                m_strState = QString::fromUtf8("Pas de surcourse détectée !");
            }
        } else {
            m_strState = QString::fromUtf8("Carte P.I. C-832 non trouvée !");
        }
    }
    m_btnPlus->setEnabled(offerSteps);
    m_btnMinus->setEnabled(offerSteps);
    UpdateData();
}

void COvertravelDlg::UpdateData()
{
    m_pLine1->setText(m_strLine1);
    m_pLine2->setText(m_strLine2);
    m_pState->setText(m_strState);
}

QString COvertravelDlg::PositionLine()
{
    return QString::asprintf("X(mm):%1.2f", double(m_pC832->GetPosition(kAxis)));
}

void COvertravelDlg::Step(double mm)
{
    m_strLine1 = PositionLine();
    m_strLine2.clear();
    UpdateData();
    m_pC832->MoveRelative(kAxis, mm);
    // The limit input stays active during recovery: only the target ends the wait.
    if (!m_pC832->WaitOnTarget(kAxis))
        UserMessage(MoveNotFinishedText());
    m_strLine1 = PositionLine();
    if (m_pC832->CheckOverTravel(kAxis)) {
        m_strState = QString::fromUtf8(kInOverTravel);
    } else {
        m_strState = QString::fromUtf8("Fin de surcourse !");
        m_btnPlus->setEnabled(false);
        m_btnMinus->setEnabled(false);
    }
    UpdateData();
}

void COvertravelDlg::OnMovePlus() { Step(kStepMm); }

void COvertravelDlg::OnMoveMinus() { Step(-kStepMm); }

void COvertravelDlg::OnCancel()
{
    m_pC832.reset();
    QDialog::reject();
}
