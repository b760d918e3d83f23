// "Vidéoprojecteur": the phase shifted by the projected fringes themselves.
// A projector document, which the user places on the projector's screen,
// shows the pattern at 0, 90, 180 and 270 degrees while the camera acquires;
// the wrapped phase is compared with a reference phase and unwrapped.
#pragma once

#include <memory>

#include "four_frame_page.h"
#include "metrology/acquisition/projector_sequence.h"

class QCheckBox;
class QLineEdit;
class WorkbenchSettings;

class CProjectorPhasePage : public CFourFramePage {
    Q_OBJECT
public:
    enum {
        IDC_ADJUST = 23,
        IDC_DEMODULATE = 1107,
        IDC_PERIOD = 1024,
        IDC_INVERT = 1026,
    };

    // `projector` receives each pattern drawn.
    CProjectorPhasePage(WorkbenchSettings* app, acquisition::ProjectorOutput& projector,
                        QWidget* parent);
    // Live acquisition stopped; after an acquisition the camera document
    // becomes the "Im0_270" mosaic and the projector document shows the phase.
    ~CProjectorPhasePage() override;

    void OnAcquisition();
    // "&Réglage acquisition" / "&Arrêt réglage".
    void OnAdjust();
    void OnDemodulate();

    CFraloDoc* ProjectorDocument() const { return m_pRunDoc; }
    CFraloDoc* DemodulatedDocument() const { return m_pResultDoc; }

protected:
    acquisition::FourFrameSequence* Run() const override { return m_pSequence.get(); }
    void Finished() override;
    void Stopped() override;

private:
    int ReadPeriod();
    void SetUp();
    void PlaceFrames();
    void EnableAfterRun();
    bool SlowSource() const;

    acquisition::ProjectorOutput& m_projector;
    bool m_bSetUp = false;
    bool m_bAdjusting = false;
    std::unique_ptr<acquisition::ProjectorSequence> m_pSequence;
    QPushButton* m_btnAdjust;
    QPushButton* m_btnDemodulate;
    QLineEdit* m_pPeriod;
    QCheckBox* m_pInvert;
};
