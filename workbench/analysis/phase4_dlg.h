// "Calcul d'une image phasée à 4 images": a wrapped phase image "ImPhasee%d"
// from four open images a quarter fringe apart.
#pragma once

#include <array>

#include <QDialog>

#include "analysis_documents.h"
#include "workbench/common/window_timers.h"

class QComboBox;
class QLabel;
class QPushButton;
class WorkbenchSettings;

class CPhase4Dlg : public QDialog {
    Q_OBJECT
public:
    // The timer that checks the choice of images.
    enum { TIMER_CHOICE = 91 };

    // Lists the open documents into the four boxes, preselects the last four and,
    // with at least four, starts the choice timer (200 ms).
    explicit CPhase4Dlg(WorkbenchSettings* app, QWidget* parent = nullptr);

    // A tick of TIMER_CHOICE: OK is enabled exactly while the four images differ.
    void OnTimer(int id);
    bool IsTimerActive(int id) const { return m_timers.IsActive(id); }
    // The document OK made, or null.
    CFraloDoc* NewDocument() const { return m_pNewDoc; }

    // "&Quitter" and Escape.
    void reject() override;

private:
    void OnOK();
    // The chosen documents i0, i90, i180, i270 as list positions.
    std::array<int, 4> ChosenPositions() const;
    void SetStatus(const QString& text);

    WorkbenchSettings* m_pApp;
    DocumentList m_docs;
    int m_nCount = 0;
    std::array<int, 4> m_preselected{};
    std::array<QComboBox*, 4> m_pBoxes{}; // i0, i90, i180, i270
    QPushButton* m_pOK;
    QLabel* m_pStatus;
    bool m_bValid = false;
    CFraloDoc* m_pNewDoc = nullptr;
    WindowTimers m_timers;
};
