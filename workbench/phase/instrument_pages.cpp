#include "instrument_pages.h"

#include <QLabel>
#include <QLineEdit>

#include "workbench/core/entry_text.h"
#include "workbench/faces/workbench_settings.h"
#include "workbench/instruments/instrument_ui.h"

namespace {

float EditFloat(const QLineEdit* edit)
{
    return ParseLeadingFloat(edit->text().toStdString()).value_or(0.0f);
}

int EditInt(const QLineEdit* edit)
{
    return ParseLeadingInt(edit->text().toStdString()).value_or(0);
}

QString Fixed(float value, int decimals) { return QString::number(double(value), 'f', decimals); }

} // namespace

CPiezoPhasePage::CPiezoPhasePage(WorkbenchSettings* app, ondula::Clock& clock, QWidget* parent)
    : CPhasePage(app, parent)
{
    static const char* const labels[] = {"U0:", "U&1:", "U&2:", "U&3:", "U&4:"};
    static const int ids[] = {1032, 1028, 1029, 1030, 1031};
    for (int k = 0; k < 5; ++k) {
        m_edits[k] = AddEdit(ids[k], labels[k], k > 0);
        m_setpoints[k] = AddNote(1042 + k);
    }
    m_edits[0]->setEnabled(false);
    QLabel* supply = AddStatic(1018);
    supply->setText(QString::asprintf(m_pApp->m_nSupplyModel == 0 ? "Alim 1 [0, %d V] sur COM%d..."
                                                                  : "Alim 2 [0, %d V] sur COM%d...",
                                      int(m_pApp->m_nSupplyFullScale), m_pApp->m_nComPort + 1));
    auto piezo = std::make_unique<acquisition::PiezoSteps>(
        m_pApp->m_nComPort, m_pApp->m_nSupplyModel, m_pApp->m_nSliderPos, clock, UserMessageSink());
    m_pPiezo = piezo.get();
    SetInstrument(std::move(piezo));
    ShowSteps(m_pApp->m_nPhaseSteps);
    SetStatusText(QString::fromUtf8("Déph. de PI/2 entre les tensions piézo..."));
}

void CPiezoPhasePage::ShowSteps(const acquisition::Setpoints& setpoints)
{
    m_edits[0]->setText(Fixed(0.0f, 1));
    m_setpoints[0]->setText(QString::asprintf("(%3d)", 0));
    for (int k = 0; k < 4; ++k) {
        m_edits[k + 1]->setText(QString::fromStdString(
            acquisition::SetpointText(setpoints[k], m_pApp->m_nSupplyFullScale)));
        m_setpoints[k + 1]->setText(QString::asprintf("(%3d)", int(setpoints[k])));
    }
    m_pPiezo->SetSetpoints(setpoints, m_pApp->m_nSupplyFullScale);
}

void CPiezoPhasePage::ReadStepValues()
{
    const int fullScale = m_pApp->m_nSupplyFullScale;
    acquisition::TypedVoltages typed{};
    for (int k = 0; k < 4; ++k) {
        const int shown = m_pApp->m_nPhaseSteps[k];
        const bool untouched =
            m_edits[k + 1]->text().toStdString() == acquisition::SetpointText(shown, fullScale);
        typed[k] = {EditFloat(m_edits[k + 1]), untouched ? shown : -1};
    }
    m_pApp->SetPhaseSteps(acquisition::ValidateVoltages(typed, fullScale));
    ShowSteps(m_pApp->m_nPhaseSteps);
}

CStagePhasePage::CStagePhasePage(WorkbenchSettings* app, ondula::Clock& clock, QWidget* parent)
    : CPhasePage(app, parent)
{
    static const char* const labels[] = {"X&1(mm):", "X&2(mm):", "X&3(mm):", "X&4(mm):"};
    for (int k = 0; k < 4; ++k)
        m_edits[k] = AddEdit(1033 + k, labels[k], true);
    auto stage = std::make_unique<acquisition::StageSteps>(clock, UserMessageSink());
    m_pStage = stage.get();
    SetInstrument(std::move(stage));
    ShowSteps();
    const std::string& failure = m_pStage->InitFailure();
    SetStatusText(failure.empty()
                      ? QString::fromUtf8("Déphasage de PI/2 entre les différentes positions...")
                      : QString::fromStdString(failure));
}

void CStagePhasePage::ShowSteps()
{
    for (int k = 0; k < 4; ++k)
        m_edits[k]->setText(Fixed(m_pApp->m_fStagePos[k], 3));
    m_pStage->SetPositions(m_pApp->m_fStagePos);
}

void CStagePhasePage::ReadStepValues()
{
    acquisition::StagePositions typed{};
    for (int k = 0; k < 4; ++k)
        typed[k] = EditFloat(m_edits[k]);
    m_pApp->SetStagePositions(acquisition::ClampStagePositions(typed));
    ShowSteps();
}

CStepperPhasePage::CStepperPhasePage(WorkbenchSettings* app, ondula::Clock& clock, QWidget* parent)
    : CPhasePage(app, parent)
{
    static const char* const labels[] = {"X&1(pas):", "X&2(pas):", "X&3(pas):", "X&4(pas):"};
    for (int k = 0; k < 4; ++k)
        m_edits[k] = AddEdit(1033 + k, labels[k], k > 0);
    m_edits[0]->setEnabled(false);
    m_pProgress = AddStatic(1037);
    auto stepper = std::make_unique<acquisition::StepperSteps>(
        clock, UserMessageSink(),
        [this](const std::string& text) { m_pProgress->setText(QString::fromStdString(text)); });
    m_pStepper = stepper.get();
    SetInstrument(std::move(stepper));
    ShowSteps();
    SetStatusText(QString::fromUtf8("Déphasage de PI/2 entre les différents pas moteur..."));
}

void CStepperPhasePage::ShowSteps()
{
    for (int k = 0; k < 4; ++k)
        m_edits[k]->setText(QString::number(m_pApp->m_nStepperPos[k]));
    m_pStepper->SetPositions(m_pApp->m_nStepperPos);
}

void CStepperPhasePage::ReadStepValues()
{
    std::array<int, 4> typed{};
    for (int k = 0; k < 4; ++k)
        typed[k] = EditInt(m_edits[k]);
    m_pApp->SetStepperPositions(acquisition::ClampStepperPositions(typed));
    ShowSteps();
}

void CStepperPhasePage::BeforeRun() { m_pStepper->ResetMotor(); }
