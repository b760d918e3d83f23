#include "overtravel_dlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "instrument_ui.h"
#include "metrology/instruments/stage.h"
#include "workbench/common/user_message.h"

using instruments::kStageAxis;

namespace {

constexpr double kStepMm = 0.2;
constexpr float kRecoverySpeed = 10.0f;

const char* const kInOverTravel = "Surcourse détectée !";
const char* const kCardNotFound = "Carte P.I. C-832 non trouvée !";

} // namespace

COvertravelDlg::COvertravelDlg(ondula::Clock& clock, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8("Sortie de surcourse"));
    m_btnPlus = PlainButton("Déplacement X+", this, [this] { OnMovePlus(); });
    m_btnMinus = PlainButton("Déplacement X-", this, [this] { OnMoveMinus(); });
    auto* close = PlainButton("Fermer", this, [this] { OnCancel(); });
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

    m_pC832 = OpenStage(clock);
    bool offerSteps = false;
    if (m_pC832->IsOpen()) {
        if (!m_pC832->TestAxes(kStageAxis)) {
            m_pC832->ResetAxis(kStageAxis);
            m_pC832->InitAxes(kStageAxis);
        }
        if (m_pC832->TestAxes(kStageAxis)) {
            if (m_pC832->CheckOverTravel(kStageAxis)) {
                offerSteps = true;
                m_pC832->ResetAxis(kStageAxis);
                m_pC832->InitAxes(kStageAxis);
                m_pC832->SetVelocity(kStageAxis, kRecoverySpeed);
                m_strState = QString::fromUtf8(kInOverTravel);
                m_strLine1 = QString::fromUtf8("Par appui sur X+ ou X-, dépl. = 0.2 mm");
                m_strLine2 = QString::fromUtf8("Ne vous trompez pas de sens !!");
            } else {
                m_strState = QString::fromUtf8("Pas de surcourse détectée !");
            }
        } else {
            m_strState = QString::fromUtf8(kCardNotFound);
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
    const float x = m_pC832->GetPosition(kStageAxis);
    if (x == instruments::CC832Controller::kNoPosition)
        return QStringLiteral("X(mm):?");
    return QString::asprintf("X(mm):%1.2f", double(x));
}

void COvertravelDlg::Step(double mm)
{
    m_strLine1 = PositionLine();
    m_strLine2.clear();
    UpdateData();
    m_pC832->MoveRelative(kStageAxis, mm);
    // The limit input stays active during recovery: only the target ends the wait.
    if (!m_pC832->WaitOnTarget(kStageAxis))
        UserMessage(MoveNotFinishedText());
    m_strLine1 = PositionLine();
    if (m_pC832->CheckOverTravel(kStageAxis)) {
        m_strState = QString::fromUtf8(kInOverTravel);
    } else {
        // A card that stopped answering has not left the limit.
        m_strState =
            QString::fromUtf8(m_pC832->IsConnected() ? "Fin de surcourse !" : kCardNotFound);
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
