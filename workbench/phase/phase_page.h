// What the piezo, stage and stepper pages of the phase-shift acquisition
// dialog share beyond the projector page's: the result document prepared
// once, the four-frame run driving an instrument, the subtraction of a
// reference phase, and the close-down that leaves the last complete run
// behind (TIFF files and the "Im0_270" mosaic). Each page adds its instrument
// and its step values.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "four_frame_page.h"
#include "metrology/acquisition/phase_sequence.h"

class QGridLayout;
class QLineEdit;
class WorkbenchSettings;

class CPhasePage : public CFourFramePage {
    Q_OBJECT
public:
    enum { IDC_SUBTRACT = 1024 };

    // The page of the active document (its camera document), listing the
    // other open documents as references.
    CPhasePage(WorkbenchSettings* app, QWidget* parent);
    // The close-down: live acquisition stopped; after a complete run the four
    // frames written as "im0.tif".."im270.tif" and tiled into the camera
    // document as "Im0_270", the phase back in the result document.
    ~CPhasePage() override;

    // "&Acquisition": validates the step values, prepares the documents once,
    // places the frames and starts the run on timer 9.
    void OnAcquisition();
    // "&Soustraction mod. 256": phase minus reference into a new document.
    void OnSubtractMod256();

    CFraloDoc* CameraDocument() const { return m_pCameraDoc; }
    CFraloDoc* PhaseDocument() const { return m_pRunDoc; }
    CFraloDoc* SubtractDocument() const { return m_pResultDoc; }

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
    // A static text beside the last edit.
    QLabel* AddNote(int id);
    // A static text of the page on a row of its own, under the edits so far.
    QLabel* AddStatic(int id);
    void SetStatusText(const QString& text);

    acquisition::FourFrameSequence* Run() const override { return m_pSequence.get(); }
    void Finished() override;
    void Stopped() override;

private:
    void Prepare();
    void WriteFrames();
    void EnableRunControls(bool enabled);

    int m_bFirst = 1;
    int m_bNoPhase = 1;
    std::unique_ptr<acquisition::PhaseInstrument> m_pInstrument;
    std::unique_ptr<acquisition::PhaseSequence> m_pSequence;
    QPushButton* m_btnSubtract;
    QGridLayout* m_pSteps;
    int m_nStepRows = 0;
    std::vector<std::pair<QLineEdit*, bool>> m_edits;
};
