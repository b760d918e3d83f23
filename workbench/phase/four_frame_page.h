// What the pages of the phase-shift acquisition dialog share, the instrument
// pages and the projector page alike: the camera document and the document
// that shows the run, the reference phase chosen once per page, the run on
// the page's timers, the viewing cycle, and the pieces of the close-down.
#pragma once

#include <memory>

#include <QWidget>

#include <verodyn/object.h>

#include "metrology/acquisition/four_frame_sequence.h"
#include "workbench/analysis/analysis_documents.h"
#include "workbench/common/window_timers.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;

class CameraPort;
class WorkbenchSettings;

class CFourFramePage : public QWidget, public acquisition::SequenceView {
    Q_OBJECT
public:
    enum {
        IDC_ACQUIRE = 22,
        IDC_SHOW_ALL = 1004,
        IDC_REFERENCE = 132,
        IDC_STATUS = 1017,
        IDC_CAMERA = 1023,
        IDC_RESULT = 1025,
    };

    // The page's run; null before the page has set it up.
    const acquisition::FourFrameSequence* Sequence() const { return Run(); }
    // A tick of the run's timer.
    void OnTimer(int id);
    bool IsTimerActive(int id) const { return m_timers.IsActive(id); }
    // "&Visu. toutes les images": the next image of the viewing cycle.
    void OnShowAllImages();
    QString Status() const;

    // Where the run shows what it does: the document of the run.
    void SetStatus(const std::string& text) override;
    void ShowPlane(const std::uint8_t* plane, const std::string& name) override;
    void ShowPhase(const std::uint8_t* plane) override;

protected:
    // The page of the active document (its camera document, TakeCameraDocument),
    // listing the other open documents as references. The `projector` page
    // lists every open document, and its second result is a demodulation,
    // not a subtraction.
    CFourFramePage(WorkbenchSettings* app, bool projector, QWidget* parent);
    ~CFourFramePage() override;

    // The page's run, null before its set-up.
    virtual acquisition::FourFrameSequence* Run() const = 0;
    // After the run's finish, the phase shown.
    virtual void Finished() = 0;
    // After a run that failed once live acquisition had started (a frame, a
    // move): the page ready for another run.
    virtual void Stopped() = 0;

    // The camera, result and reference rows of the page, from `row` of `grid`
    // on; `referenceLabel` heads the reference's.
    void AddNameRows(QGridLayout& grid, int row, const char* referenceLabel);
    // The run's timer started, once the run has begun.
    void StartTimer();
    // The camera document named "ImCamera%d" after its number.
    void NameCameraDocument();
    // The reference of the combo's choice; none for "AUCUNE".
    void ChooseReference();
    // The camera document as the run sees it, width x height.
    CameraPort& OpenCameraPort(int width, int height);
    // The port opened last; null before.
    CameraPort* Camera() const { return m_pCameraPort.get(); }
    // "ImPhasee%d" with the run document's number.
    QString PhaseName() const;
    // A grey image of the last complete run's phase (all 0 before one).
    Vobject PhaseImage() const;

    // The close-down's pieces: live acquisition stopped; the last complete
    // run's frames tiled into the camera document as "Im0_270"; the phase
    // back in the run document; with a source, the camera document's frame
    // at (0, 0) and the frames cascaded.
    void StopLiveAcquisition();
    void TileFramesIntoCamera();
    void ShowPhaseAgain();
    void ReturnCameraFrame();

    WorkbenchSettings* m_pApp;
    CFraloDoc* m_pCameraDoc = nullptr;
    // The document of the run: the phase document, or the projector's.
    CFraloDoc* m_pRunDoc = nullptr;
    CFraloDoc* m_pReferenceDoc = nullptr;
    // The second result: the subtraction or the demodulation; null before it.
    CFraloDoc* m_pResultDoc = nullptr;
    QPushButton* m_btnAcquire;
    QPushButton* m_btnShowAll;
    QComboBox* m_cbReference;
    QLabel* m_pCamera;
    QLabel* m_pResult;
    QLabel* m_pStatus;
    WindowTimers m_timers;

private:
    bool m_bDemodulates;
    DocumentList m_docs{};
    short m_nShowIndex = 0;
    std::unique_ptr<CameraPort> m_pCameraPort;
};
