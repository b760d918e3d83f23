// "Démodulation image phasée": unwraps a wrapped phase image, with an optional
// mask, into a height image "ImDemod%d_M%d" that carries its number of phase
// jumps. The dialog stays open for further runs.
#pragma once

#include <functional>

#include <QDialog>

#include "analysis_documents.h"
#include "workbench/common/window_timers.h"
#include "workbench/core/unwrap_options.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class WorkbenchSettings;

class CDemodulationDlg : public QDialog {
    Q_OBJECT
public:
    // The timer that checks the choice of images.
    enum { TIMER_CHOICE = 1 };
    // The unwrapper's call: width, height, phase, mask, output, flags -> M.
    using Unwrapper = std::function<int(int, int, const std::int32_t*, const std::int32_t*,
                                        std::int32_t*, UnwrapFlags)>;

    // Lists the open documents into both boxes (and "AUCUNE" last in the mask
    // box), sets the default options and starts the choice timer (20 ms).
    explicit CDemodulationDlg(WorkbenchSettings* app, QWidget* parent = nullptr);

    // A tick of TIMER_CHOICE: "&Démoduler" is enabled while a phased image is
    // chosen and differs from the mask.
    void OnTimer(int id);
    bool IsTimerActive(int id) const { return m_timers.IsActive(id); }
    // Replaces CPhaseUnwrapper::Unwrap (tests watch the dialog during a run).
    void SetUnwrapper(Unwrapper unwrap) { m_unwrap = std::move(unwrap); }
    const UnwrapOptions& Options() const { return m_options; }
    // The document of the last run, or null.
    CFraloDoc* ResultDocument() const { return m_pResultDoc; }

    // "&Fermer" and Escape.
    void reject() override;

private:
    void OnDemodulate();
    void OnPreset(int preset);
    void ReadControls();
    void WriteControls();
    void SetRunButtonsEnabled(bool enabled);

    WorkbenchSettings* m_pApp;
    DocumentList m_docs;
    int m_nCount = 0;
    UnwrapOptions m_options;
    QString m_strStatus = QStringLiteral("?");
    QString m_strResultName = QStringLiteral("NOUVELLE IMAGE");
    QComboBox* m_pPhased;
    QComboBox* m_pMask;
    QCheckBox* m_pDiscontinuities;
    QCheckBox* m_pPoles;
    QCheckBox* m_pContinuousBackground;
    QCheckBox* m_pVeryFineFringes;
    QCheckBox* m_pInvert;
    QButtonGroup* m_pImageKind;
    QButtonGroup* m_pQuality;
    QButtonGroup* m_pNoise;
    QLabel* m_pStatus;
    QLabel* m_pResultName;
    QPushButton* m_pClose;
    QPushButton* m_pDefaults;
    QPushButton* m_pDemodulate;
    CFraloDoc* m_pResultDoc = nullptr;
    // Kept for the dialog's next run: its work memory is then already in hand.
    CPhaseUnwrapper m_unwrapper;
    Unwrapper m_unwrap;
    WindowTimers m_timers;
};
