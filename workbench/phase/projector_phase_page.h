// "Vidéoprojecteur": the phase shifted by the projected fringes themselves.
// A projector document, which the user places on the projector's screen,
// shows the pattern at 0, 90, 180 and 270 degrees while the camera acquires;
// the wrapped phase is compared with a reference phase and unwrapped.
#pragma once

#include <memory>

#include <QWidget>

#include <verodyn/object.h>

#include "analysis_documents.h"
#include "common/window_timers.h"
#include "projector_sequence.h"

class CameraPort;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CProjectorPhasePage : public QWidget, public acquisition::SequenceView {
    Q_OBJECT
public:
    enum {
        IDC_ACQUIRE = 22,
        IDC_ADJUST = 23,
        IDC_SHOW_ALL = 1004,
        IDC_DEMODULATE = 1107,
        IDC_PERIOD = 1024,
        IDC_INVERT = 1026,
        IDC_REFERENCE = 132,
        IDC_STATUS = 1017,
        IDC_CAMERA = 1023,
        IDC_RESULT = 1025,
    };

    // `projector` receives each pattern drawn.
    CProjectorPhasePage(CFraloApp* app, acquisition::ProjectorOutput& projector, QWidget* parent);
    // Live acquisition stopped; after an acquisition the camera document
    // becomes the "Im0_270" mosaic and the projector document shows the phase.
    ~CProjectorPhasePage() override;

    void OnAcquisition();
    // "&Réglage acquisition" / "&Arrêt réglage".
    void OnAdjust();
    void OnDemodulate();
    void OnShowAllImages();
    void OnTimer(int id);
    bool IsTimerActive(int id) const { return m_timers.IsActive(id); }

    CFraloDoc* ProjectorDocument() const { return m_pProjectorDoc; }
    CFraloDoc* DemodulatedDocument() const { return m_pDemodDoc; }
    const acquisition::ProjectorSequence* Sequence() const { return m_pSequence.get(); }
    QString Status() const;

    void SetStatus(const std::string& text) override;
    void ShowPlane(const std::uint8_t* plane, const std::string& name) override;
    void ShowPhase(const std::uint8_t* plane) override;

private:
    int ReadPeriod();
    void SetUp();
    void PlaceFrames();
    void Finished();
    void EnableAfterRun();
    QString PhaseName() const;
    bool SlowSource() const;

    CFraloApp* m_pApp;
    acquisition::ProjectorOutput& m_projector;
    CFraloDoc* m_pCameraDoc = nullptr;
    CFraloDoc* m_pProjectorDoc = nullptr;
    CFraloDoc* m_pReferenceDoc = nullptr;
    CFraloDoc* m_pDemodDoc = nullptr;
    DocumentList m_docs{};
    Vobject m_imgPhase;
    bool m_bSetUp = false;
    bool m_bAdjusting = false;
    short m_nShowIndex = 0;
    std::unique_ptr<CameraPort> m_pCameraPort;
    std::unique_ptr<acquisition::ProjectorSequence> m_pSequence;
    QPushButton* m_btnAcquire;
    QPushButton* m_btnAdjust;
    QPushButton* m_btnShowAll;
    QPushButton* m_btnDemodulate;
    QLineEdit* m_pPeriod;
    QCheckBox* m_pInvert;
    QComboBox* m_cbReference;
    QLabel* m_pStatus;
    QLabel* m_pCamera;
    QLabel* m_pResult;
    WindowTimers m_timers;
};
