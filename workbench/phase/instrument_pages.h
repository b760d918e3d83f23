// The piezo, stage and stepper pages of the phase-shift acquisition dialog:
// the instrument each one drives and how its four step values are entered.
#pragma once

#include <array>

#include "metrology/acquisition/piezo_steps.h"
#include "metrology/acquisition/stage_steps.h"
#include "metrology/acquisition/stepper_steps.h"
#include "phase_page.h"
#include <clock/clock.h>

// "Piézo COM1" / "Piézo COM2": voltages U1..U4 of the serial piezo supply.
class WorkbenchSettings;

class CPiezoPhasePage : public CPhasePage {
    Q_OBJECT
public:
    CPiezoPhasePage(WorkbenchSettings* app, ondula::Clock& clock, QWidget* parent);

protected:
    void ReadStepValues() override;

private:
    void ShowSteps(const acquisition::Setpoints& setpoints);

    acquisition::PiezoSteps* m_pPiezo;
    std::array<QLineEdit*, 5> m_edits{}; // U0, U1..U4
    std::array<QLabel*, 5> m_setpoints{};
};

// "Axe P.I. C832": positions X1..X4 of axis 1 in millimetres.
class CStagePhasePage : public CPhasePage {
    Q_OBJECT
public:
    CStagePhasePage(WorkbenchSettings* app, ondula::Clock& clock, QWidget* parent);

protected:
    void ReadStepValues() override;

private:
    void ShowSteps();

    acquisition::StageSteps* m_pStage;
    std::array<QLineEdit*, 4> m_edits{};
};

// "Moteur pas à pas via LPT": positions X1..X4 in motor steps; X1 is fixed.
class CStepperPhasePage : public CPhasePage {
    Q_OBJECT
public:
    CStepperPhasePage(WorkbenchSettings* app, ondula::Clock& clock, QWidget* parent);

    // The motor's idea of its position, and the moves the page makes.
    acquisition::StepperSteps& Stepper() { return *m_pStepper; }

protected:
    void ReadStepValues() override;
    void BeforeRun() override;

private:
    void ShowSteps();

    acquisition::StepperSteps* m_pStepper;
    std::array<QLineEdit*, 4> m_edits{};
    QLabel* m_pProgress;
};
