// Manual control of the piezo translator: a slider sets the supply's voltage,
// sent once the slider has rested for more than 10 ticks of timer 29.
#pragma once

#include <cstdint>
#include <memory>

#include <QDialog>
#include <QString>

#include "metrology/instruments/serial_port.h"
#include "workbench/common/window_timers.h"
#include <clock/clock.h>

class WorkbenchSettings;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSlider;

class CPiezoDlg : public QDialog {
    Q_OBJECT
public:
    // Opens the supply's port and sends it the remembered slider position.
    CPiezoDlg(WorkbenchSettings* app, ondula::Clock& clock, QWidget* parent = nullptr);

    void OnHScroll();
    void OnTimer(int id);
    void OnCom1();
    void OnCom2();
    void OnKillfocusRange();
    void OnSelectSupply();
    // Keeps the port, the range and the position in the application and ends.
    void OnCancel();
    void reject() override { OnCancel(); }

    QSlider* m_slider;
    int m_nComPort = -1;
    QString m_strRange;
    int16_t m_nPos = 0;
    float m_fVoltage = 0;
    QString m_strSupply;
    WorkbenchSettings* m_pApp;
    std::unique_ptr<instruments::CSerialPort> m_pPort;
    int m_bPending = 0;
    int16_t m_nRange = 0;
    int16_t m_nQuietTicks = 0;

private:
    void UpdateData(bool save);
    void OpenPort(int portIndex);
    void OnComPort(int portIndex);

    QRadioButton* m_pCom1;
    QRadioButton* m_pCom2;
    QLineEdit* m_pRange;
    QLineEdit* m_pPos;
    QLineEdit* m_pVoltage;
    QLabel* m_pSupply;
    ondula::Clock& m_clock;
    // Last: the timers stop before the port goes.
    WindowTimers m_timers;
};
