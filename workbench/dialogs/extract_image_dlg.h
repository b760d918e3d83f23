// "Extraction d'une image": crops the zone digitised in the active image into
// a new document. Modeless; the application keeps it while it is open and it
// deletes itself when it closes.
#pragma once

#include <QDialog>

#include "workbench/common/window_timers.h"

class WorkbenchSettings;
class CFraloDoc;
class QLabel;
class QPushButton;

class CExtractImageDlg : public QDialog {
    Q_OBJECT
public:
    // The timer that follows the active document and its zone.
    enum { TIMER_ACTIVE = 13 };

    // Shown at once; the timer ticks every 100 ms.
    explicit CExtractImageDlg(WorkbenchSettings* app, QWidget* parent = nullptr);
    // The application forgets the dialog on every path.
    ~CExtractImageDlg() override;

    // A tick: without an active document OK is disabled and the name is "?";
    // otherwise the name is shown and OK enabled while the zone has a width
    // and a height, except for a complex FFT image (OK disabled).
    void OnTimer(int id);
    bool IsTimerActive(int id) const { return m_timers.IsActive(id); }

    // OK: the zone, ordered and clipped to the image, becomes a new document
    // when it exceeds 100 pixels both ways, else a message says so.
    void accept() override;
    // "&Annuler" and Escape: the active document's zone is cleared.
    void reject() override;

private:
    // Forgets the dialog and stops the timer.
    void Detach();
    // The cross value, the zone and the profiles of `doc` are cleared, and it is redisplayed.
    static void ClearZone(CFraloDoc* doc);

    WorkbenchSettings* m_pApp;
    QLabel* m_pSourceName;
    QPushButton* m_pOK;
    WindowTimers m_timers;
};
