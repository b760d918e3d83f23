// The pages of "Temps moyenné": beside the live camera document, a document
// recomputed continuously from frames taken at different piezo voltages,
// with four quarter-fringe steps ("A 4 images") or two half-fringe steps
// ("A 2 images"). Each page restarts from scratch when its tab is shown.
#pragma once

#include <array>
#include <memory>

#include <QWidget>

#include "metrology/acquisition/piezo_steps.h"
#include "metrology/acquisition/time_average.h"
#include "workbench/common/window_timers.h"
#include <clock/clock.h>

class CameraPort;
class WorkbenchSettings;
class CFraloDoc;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

class CTimeAvgPage : public QWidget, public acquisition::SequenceView {
    Q_OBJECT
public:
    enum { IDC_LIVE_NAME = 1069, IDC_AVERAGE_NAME = 1070, IDC_GAIN = 1005 };

    // Stops the live acquisition it started and puts the frames back.
    ~CTimeAvgPage() override;

    // "&Démarrer" / "&Arrêter".
    void OnStartStop();
    // A tick of the view's timer (1..6).
    void OnTimer(int id);
    bool IsTimerActive(int id) const { return m_timers.IsActive(id); }
    bool IsRunning() const { return m_bRunning; }
    CFraloDoc* AverageDocument() const { return m_pAverageDoc; }
    const acquisition::AverageSequence* Sequence() const { return m_pSequence.get(); }

    // The progress text, or a message on a page without one (a failure
    // that nothing else has told).
    void SetStatus(const std::string& text) override;
    void ShowPlane(const std::uint8_t*, const std::string&) override { }
    void ShowPhase(const std::uint8_t* plane) override;

protected:
    // `buttonId`: the start button's resource id.
    CTimeAvgPage(WorkbenchSettings* app, ondula::Clock& clock, int buttonId, QWidget* parent);

    // Reads and clamps the entries, stores the steps in the application and
    // shows the values in force; returns the view to run at width x height.
    virtual std::unique_ptr<acquisition::AverageSequence> ReadEntries(int width, int height) = 0;
    // The gap between the live frame and the view's, webcam source.
    virtual int WebcamGap(int liveWidth) const = 0;

    QLineEdit* AddEdit(int id, const char* label, int value);
    static int EditValue(const QLineEdit* edit);
    acquisition::SequencePorts Ports();

    WorkbenchSettings* m_pApp;
    acquisition::PiezoSteps m_supply;
    QLabel* m_pProgress = nullptr;

private:
    void Start();
    void Stop();
    // The timers killed, "&Démarrer" and the edits back, the live frame at (0, 0).
    void BackToIdle();
    void FirstStart();

    CFraloDoc* m_pLiveDoc = nullptr;
    CFraloDoc* m_pAverageDoc = nullptr;
    // The size of the first start, every run's: a later start of live
    // acquisition may change the default size.
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::unique_ptr<CameraPort> m_pCameraPort;
    std::unique_ptr<acquisition::AverageSequence> m_pSequence;
    bool m_bRunning = false;
    bool m_bFirst = true;
    bool m_bInTick = false;
    QPushButton* m_pButton;
    QLabel* m_pLiveName;
    QLabel* m_pAverageName;
    QGridLayout* m_pEntries;
    std::vector<QLineEdit*> m_edits;
    WindowTimers m_timers;
};

// "A 4 images": sqrt((f0 - f2)^2 + (f1 - f3)^2) x gain.
class CTimeAvg4Page : public CTimeAvgPage {
    Q_OBJECT
public:
    CTimeAvg4Page(WorkbenchSettings* app, ondula::Clock& clock, QWidget* parent);

protected:
    // Escape does not close the dialog from this page.
    void keyPressEvent(QKeyEvent* event) override;
    std::unique_ptr<acquisition::AverageSequence> ReadEntries(int width, int height) override;
    int WebcamGap(int liveWidth) const override { return liveWidth + 12; }

private:
    QLineEdit* m_pGain;
    std::array<QLineEdit*, 4> m_volts{}; // U0, U90, U180, U270
};

// "A 2 images": |A - B| averaged over N pairs, x gain.
class CTimeAvg2Page : public CTimeAvgPage {
    Q_OBJECT
public:
    enum { IDC_COUNT = 1071, IDC_PROGRESS = 1009 };
    CTimeAvg2Page(WorkbenchSettings* app, ondula::Clock& clock, QWidget* parent);

protected:
    std::unique_ptr<acquisition::AverageSequence> ReadEntries(int width, int height) override;
    int WebcamGap(int liveWidth) const override { return liveWidth; }

private:
    QLineEdit* m_pGain;
    QLineEdit* m_pU0;
    QLineEdit* m_pU180;
    QLineEdit* m_pCount;
};
