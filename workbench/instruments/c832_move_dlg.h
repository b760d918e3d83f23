// Manual moves of the C-832 stage's X axis (axis 1): jogs, home, a typed
// target, the speed, and the position shown while it moves (timer 1).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include <QDialog>
#include <QString>

#include "metrology/instruments/c832_controller.h"
#include "workbench/common/window_timers.h"
#include <clock/clock.h>

class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

class CC832MoveDlg : public QDialog {
    Q_OBJECT
public:
    // Connects to the card; without one the dialog is closed at once.
    explicit CC832MoveDlg(ondula::Clock& clock, QWidget* parent = nullptr);

    // Shows the dialog unless it closed when it was made.
    int exec() override;
    bool IsClosed() const { return m_bClosed; }

    void OnTimer(int id);
    void OnDefineOrigin();
    void OnGoHome();
    void OnGoToPosition();
    void OnHScroll();
    void OnInitCard();
    void OnMoveMinus();
    void OnMovePlus();
    void OnStop();
    void OnCancel();
    void reject() override { OnCancel(); }

    enum Motion : int16_t { None, JogPlus, JogMinus, GoingHome, GoingToTarget };

    QPushButton* m_btnGoHome;
    QPushButton* m_btnDefineOrigin;
    QPushButton* m_btnClose;
    QPushButton* m_btnPlus;
    QPushButton* m_btnMinus;
    QPushButton* m_btnStop;
    QPushButton* m_btnGoTo;
    QSlider* m_sliderSpeed;
    QString m_strSpeed;
    QString m_strX;
    QString m_strStatus;
    float m_fTarget = 0;
    float m_fSpeed = 50;
    int16_t m_nMotion = None;
    std::unique_ptr<instruments::CC832Controller> m_pC832;
    int m_bAxisOk = 0;

private:
    void UpdateData(bool save);
    void EnableMotionButtons(bool enable);
    // After the axis answered: initialised at the current speed, jogs and the
    // target offered (home and origin keep their state); otherwise every
    // motion button off and "?" as position. STOP is off either way.
    void UseAxis(bool answered);
    // "Axe X non OK !", as UseAxis(false).
    void LoseAxis();
    // Loads and starts motion `m_nMotion` at the current speed.
    void LoadMotion();
    void StartMotion(Motion motion);
    void ShowPosition();

    QLabel* m_pSpeed;
    QLineEdit* m_pX;
    QLabel* m_pStatus;
    ondula::Clock& m_clock;
    bool m_bClosed = false;
    std::optional<ondula::Deadline> m_motionDeadline;
    // Last: the timers stop before the controller goes.
    WindowTimers m_timers;
};
