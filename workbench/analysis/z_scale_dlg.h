// "Speckle ou moiré: calcul EchZ": the z scale of the active document (EchZ,
// millimetres per grey level) from its number of phase jumps M and the laser
// wavelength (speckle) or the moiré pitch.
#pragma once

#include <QDialog>

#include "workbench/common/window_timers.h"

class CFraloDoc;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;

class CSpeckleEchZDlg : public QDialog {
    Q_OBJECT
public:
    // The timer that reads the entries.
    enum { TIMER_SCALE = 30 };

    // Works on the active document: speckle at 632.8 nm, its moiré pitch and M
    // (0 for a document without phase jumps); starts the timer (100 ms).
    explicit CSpeckleEchZDlg(QWidget* parent = nullptr);

    // Without an active document the dialog does not open (Rejected).
    int exec() override;
    // A tick of TIMER_SCALE: valid entries enable "&OK", give EchZ and write M
    // (and the moiré pitch) into the document; others disable "&OK".
    void OnTimer(int id);
    bool IsTimerActive(int id) const { return m_timers.IsActive(id); }
    // EchZ of the last valid entries, in millimetres per grey level, for the
    // opener to take: the document's own z scale is left as it is.
    float ScaleZ() const { return m_fScaleZ; }

    // "&OK" and "&Quitter" stop the timer.
    void done(int result) override;

private:
    CFraloDoc* m_pDoc;
    QButtonGroup* m_pMethod;
    QLabel* m_pImage;
    QLabel* m_pScale;
    QLineEdit* m_pPitch;
    QLineEdit* m_pWavelength;
    QLineEdit* m_pJumps;
    QPushButton* m_pOK;
    float m_fScaleZ = 0;
    WindowTimers m_timers;
};
