// What the piezo, stage and stepper pages of the phase-shift acquisition
// dialog share: the camera and result documents, the four-frame run on the
// page's timers, the viewing cycle, the subtraction of a reference phase, and
// the close-down that leaves the last complete run behind (TIFF files and the
// "Im0_270" mosaic). Each page adds its instrument and its step values.
#pragma once

#include <memory>

#include <QWidget>

#include <verodyn/object.h>

#include "analysis_documents.h"
#include "common/window_timers.h"
#include "phase_sequence.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

class CameraPort;

class CPhasePage : public QWidget, public acquisition::SequenceView {
    Q_OBJECT
public:
    enum {
        IDC_ACQUIRE = 22,
        IDC_SHOW_ALL = 1004,
        IDC_SUBTRACT = 1024,
        IDC_REFERENCE = 132,
        IDC_RESULT = 1025,
        IDC_CAMERA = 1023,
        IDC_STATUS = 1017,
    };

    // The page of the active document (its camera document), listing the
    // other open documents as references.
    CPhasePage(CFraloApp* app, QWidget* parent);
    // The close-down: live acquisition stopped; after a complete run the four
    // frames written as "im0.tif".."im270.tif" and tiled into the camera
    // document as "Im0_270", the phase back in the result document.
    ~CPhasePage() override;

    // "&Acquisition": validates the step values, prepares the documents once,
    // places the frames and starts the run on timer 9.
    void OnAcquisition();
    // A tick of one of the run's timers (9..15).
    void OnTimer(int id);
    bool IsTimerActive(int id) const { return m_timers.IsActive(id); }
    // "&Visu. toutes les images": the next image of the viewing cycle.
    void OnShowAllImages();
    // "&Soustraction mod. 256": phase minus reference into a new document.
    void OnSubtractMod256();

    CFraloDoc* CameraDocument() const { return m_pCameraDoc; }
    CFraloDoc* PhaseDocument() const { return m_pPhaseDoc; }
    CFraloDoc* SubtractDocument() const { return m_pSubtractDoc; }
    QString Status() const;
    const acquisition::PhaseSequence* Sequence() const { return m_pSequence.get(); }

    // Where the run shows what it does.
    void SetStatus(const std::string& text) override;
    void ShowPlane(const std::uint8_t* plane, const std::string& name) override;
    void ShowPhase(const std::uint8_t* plane) override;

protected:
    // Reads, validates and shows the step values and stores them in the
    // application object.
    virtual void ReadStepValues() = 0;
    // Just before the run's first timer starts.
    virtual void BeforeRun() { }
    // The page's instrument, owned by the page until its close-down.
    void SetInstrument(std::unique_ptr<acquisition::PhaseInstrument> instrument);
    // A step-value edit of the page: disabled during a run, enabled after it
    // when `editable`.
    QLineEdit* AddEdit(int id, const char* label, bool editable);
    // A static text of the page, under the edits.
    QLabel* AddStatic(int id);
    void SetStatusText(const QString& text);

    CFraloApp* m_pApp;

private:
    void Prepare();
    void Finished();
    void ShowInPhaseDocument(const Vobject& image, const QString& name);
    QString PhaseName() const;
    void EnableRunControls(bool enabled);
    void WriteSteps();

    CFraloDoc* m_pCameraDoc = nullptr;
    CFraloDoc* m_pPhaseDoc = nullptr;
    CFraloDoc* m_pReferenceDoc = nullptr;
    CFraloDoc* m_pSubtractDoc = nullptr;
    DocumentList m_docs{};
    Vobject m_imgPhase;
    int m_bFirst = 1;
    int m_bNoPhase = 1;
    short m_nShowIndex = 0;
    std::unique_ptr<acquisition::PhaseInstrument> m_pInstrument;
    std::unique_ptr<CameraPort> m_pCameraPort;
    std::unique_ptr<acquisition::PhaseSequence> m_pSequence;
    QPushButton* m_btnAcquire;
    QPushButton* m_btnSubtract;
    QPushButton* m_btnShowAll;
    QComboBox* m_cbReference;
    QLabel* m_pResult;
    QLabel* m_pCamera;
    QLabel* m_pStatus;
    QGridLayout* m_pSteps;
    std::vector<std::pair<QLineEdit*, bool>> m_edits;
    WindowTimers m_timers;
};
