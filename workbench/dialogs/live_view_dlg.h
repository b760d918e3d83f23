// What the two live derived views share: the camera document acquiring live,
// a result document beside it, and a 50 ms timer whose ticks read the camera's
// grey levels by source and recompute the result.
#pragma once

#include <cstdint>
#include <vector>

#include <QDialog>

#include "workbench/common/window_timers.h"

class WorkbenchSettings;
class CFraloDoc;
class QLabel;
class QLayout;
class QPushButton;

class CLiveViewDlg : public QDialog {
    Q_OBJECT
public:
    // A tick of the dialog's timer: nothing while the previous tick runs.
    void OnTimer(int id);
    bool IsTimerActive(int id) const { return m_timers.IsActive(id); }
    // The active document when the dialog opened (the camera's), and the result's.
    CFraloDoc* CameraDocument() const { return m_pCameraDoc; }
    CFraloDoc* ResultDocument() const { return m_pResultDoc; }

    // "&Fermer" and Escape: once started, acquisition stops, the result
    // stays open beside the camera and every frame is cascaded.
    void reject() override;

protected:
    // The camera document is the active one; `timerId` ticks every 50 ms
    // once started.
    CLiveViewDlg(WorkbenchSettings* app, int timerId, QWidget* parent);

    // The window titled `title`: "Image caméra :" and its static `cameraId`
    // ("?"), `resultLabel` and its static `resultId` ("NOUVELLE IMAGE"),
    // `extra` (a row of the derived dialog's, or null), then the buttons
    // "&Visualiser", `extraButton` (or null) and "&Fermer".
    void BuildLayout(const QString& title, const QString& resultLabel, int cameraId, int resultId,
                     QLayout* extra, QPushButton* extraButton);

    // "&Visualiser": camera document at the default size, the result
    // document beside it, acquisition started and, unless the source is
    // none, the timer. A start that fails (the source falls back to none)
    // closes the result again, unasked, and leaves "&Visualiser" disabled.
    void OnOK();
    // After "&Visualiser", once acquisition has started.
    virtual void OnStarting() { }
    // The result image from the grey levels of the tick (GreyLevels).
    virtual void ComputeResult() = 0;
    int FrameWidth() const { return m_nWidth; }
    int FrameHeight() const { return m_nHeight; }
    // The camera's grey levels at the last tick: zero before the first.
    const std::vector<uint8_t>& GreyLevels() const { return m_grey; }

    WorkbenchSettings* m_pApp;
    CFraloDoc* m_pCameraDoc = nullptr;
    CFraloDoc* m_pResultDoc = nullptr;

private:
    // Closes the result document, which holds nothing of the user's.
    void DropResult();
    void ReadGreyLevels(int source);
    void ShowResult();

    int m_nTimerId;
    bool m_bStarted = false;
    bool m_bBusy = false;
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::vector<uint8_t> m_grey;
    QLabel* m_pCameraName = nullptr;
    QLabel* m_pResultName = nullptr;
    QPushButton* m_pShow = nullptr;
    WindowTimers m_timers;
};
