// Manual moves of the stepper motor on the parallel port: single steps,
// continuous motion at one step per tick of timer 0 (plus) or 1 (minus), reset.
#pragma once

#include <cstdint>
#include <memory>

#include <QDialog>
#include <QString>

#include "metrology/instruments/parallel_port.h"
#include "workbench/common/window_timers.h"
#include <clock/clock.h>

class QLabel;
class QPushButton;

class CStepperDlg : public QDialog {
    Q_OBJECT
public:
    explicit CStepperDlg(ondula::Clock& clock, QWidget* parent = nullptr);

    void OnStop();
    void OnMoveMinus();
    void OnMovePlus();
    void OnTimer(int id);
    void OnStepMinus();
    void OnStepPlus();
    // "&Reset": resets the motor's driver; the dialog stays open.
    void OnOK();
    void OnCancel();
    void reject() override { OnCancel(); }

    QPushButton* m_btnReset;
    QPushButton* m_btnClose;
    QPushButton* m_btnPlus;
    QPushButton* m_btnMinus;
    QPushButton* m_btnStop;
    QString m_strStatus;
    std::unique_ptr<instruments::CParallelPort> m_pPort;
    int16_t m_nSteps = 0;

private:
    void UpdateData();
    // One step: the pulse with the direction, then the direction alone, 10 ms each.
    void Step(bool plus);
    void ShowSteps();
    // Continuous motion by ticks of timer `id`, the direction set first.
    void StartMotion(int id, uint8_t direction);
    void EnableIdleButtons(bool enable);

    QLabel* m_pStatus;
    ondula::Clock& m_clock;
    // Last: the timers stop before the port goes.
    WindowTimers m_timers;
};
