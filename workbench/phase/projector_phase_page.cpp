#include "projector_phase_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <imageproc/plane_buffers.h>

#include "camera_port.h"
#include "phase_documents.h"
#include "workbench/analysis/analysis_documents.h"
#include "workbench/analysis/dialog_controls.h"
#include "workbench/common/user_message.h"
#include "workbench/core/acquisition_sources.h"
#include "workbench/core/entry_text.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/faces/documents.h"
#include "workbench/faces/workbench_settings.h"

namespace {
constexpr int kFrameGap = 15;
} // namespace

CProjectorPhasePage::CProjectorPhasePage(WorkbenchSettings* app,
                                         acquisition::ProjectorOutput& projector, QWidget* parent)
    : CFourFramePage(app, true, parent), m_projector(projector)
{
    const auto button = [this](const char* text, int id) {
        auto* b = Named(new QPushButton(QString::fromUtf8(text), this), id);
        b->setAutoDefault(false);
        return b;
    };
    m_btnDemodulate = button("&Démodulation", IDC_DEMODULATE);
    m_btnAdjust = button("&Réglage acquisition", IDC_ADJUST);
    m_pPeriod = Named(new QLineEdit(QString::number(m_pApp->m_nFringePeriod), this), IDC_PERIOD);
    m_pInvert =
        Named(new QCheckBox(QString::fromUtf8("&Inversion sens démodulation"), this), IDC_INVERT);
    m_btnDemodulate->setEnabled(false);
    m_pInvert->setEnabled(false);
    m_btnAdjust->setEnabled(m_pCameraDoc != nullptr);
    connect(m_btnAcquire, &QPushButton::clicked, this, &CProjectorPhasePage::OnAcquisition);
    connect(m_btnAdjust, &QPushButton::clicked, this, &CProjectorPhasePage::OnAdjust);
    connect(m_btnDemodulate, &QPushButton::clicked, this, &CProjectorPhasePage::OnDemodulate);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QString::fromUtf8("Pas franges (pixel):"), this), 0, 0);
    fields->addWidget(m_pPeriod, 0, 1);
    fields->addWidget(m_pInvert, 1, 0, 1, 2);
    AddNameRows(*fields, 2, "&Im. phasée REF.");
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {m_btnAcquire, m_btnShowAll, m_btnDemodulate, m_btnAdjust})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->addWidget(m_pStatus);
}

CProjectorPhasePage::~CProjectorPhasePage()
{
    StopLiveAcquisition();
    if (m_bSetUp && m_pSequence->HasPhase()) {
        TileFramesIntoCamera();
        ShowPhaseAgain();
    }
    ReturnCameraFrame();
}

bool CProjectorPhasePage::SlowSource() const
{
    return m_pApp->m_nSource == SourceVfw || m_pApp->m_nSource == SourceDirectShow;
}

int CProjectorPhasePage::ReadPeriod()
{
    const int period = acquisition::ClampFringePeriod(
        ParseLeadingInt(m_pPeriod->text().toStdString()).value_or(0));
    m_pApp->SetFringePeriod(period);
    m_pPeriod->setText(QString::number(period));
    return period;
}

void CProjectorPhasePage::SetUp()
{
    m_bSetUp = true;
    const int w = m_pApp->m_nDefaultWidth, h = m_pApp->m_nDefaultHeight;
    CameraPort& port = OpenCameraPort(w, h);
    port.StartAhead();
    m_pCameraDoc->TakeSize(w, h);
    NameCameraDocument();
    m_pRunDoc = NewRunDocument(*Documents(), w, h);
    m_pRunDoc->SetName(QStringLiteral("Mire__"));
    m_pRunDoc->UpdateTitle();
    m_pResult->setText(PhaseName());
    ChooseReference();
    m_pResultDoc = nullptr;
    m_pSequence =
        std::make_unique<acquisition::ProjectorSequence>(w, h, port, port, *this, m_projector);
}

void CProjectorPhasePage::PlaceFrames()
{
    m_pRunDoc->MoveFrameTo(0, 0);
    m_pCameraDoc->MoveFrameTo(m_pCameraDoc->m_nWidth + kFrameGap, 0);
}

void CProjectorPhasePage::OnAdjust()
{
    if (!m_pCameraDoc)
        return;
    if (m_bAdjusting) {
        m_bAdjusting = false;
        for (int id : {1, 2, 3})
            m_timers.KillTimer(id);
        m_pSequence->StopAdjustment();
        Camera()->Stop();
        m_btnAdjust->setText(QString::fromUtf8("&Réglage acquisitions"));
        m_pStatus->clear();
        m_btnAcquire->setEnabled(true);
        EnableAfterRun();
        return;
    }
    const int period = ReadPeriod();
    if (!m_bSetUp)
        SetUp();
    m_bAdjusting = true;
    m_btnAdjust->setText(QString::fromUtf8("&Arrêt réglage"));
    for (QWidget* control : std::initializer_list<QWidget*>{m_btnShowAll, m_btnAcquire,
                                                            m_btnDemodulate, m_pInvert, m_pPeriod})
        control->setEnabled(false);
    PlaceFrames();
    if (m_pApp->m_nSource == SourceNone)
        return;
    m_pSequence->StartAdjustment(period, SlowSource());
    StartTimer();
}

void CProjectorPhasePage::OnAcquisition()
{
    if (!m_pCameraDoc)
        return;
    const int period = ReadPeriod();
    if (!m_bSetUp)
        SetUp();
    PlaceFrames();
    for (QWidget* control :
         std::initializer_list<QWidget*>{m_btnShowAll, m_btnAcquire, m_btnDemodulate, m_btnAdjust,
                                         m_cbReference, m_pPeriod, m_pInvert})
        control->setEnabled(false);
    // The projector's blank is of the run's size: starting live acquisition
    // may have given the camera document its source's size since.
    ShowResultImage(*m_pRunDoc, NewResultImage(m_pSequence->Width(), m_pSequence->Height()).image,
                    QStringLiteral("Mire__"));
    if (m_pApp->m_nSource == SourceNone)
        return;
    m_pSequence->StartAcquisition(period, SlowSource());
    StartTimer();
}

void CProjectorPhasePage::Finished()
{
    m_pRunDoc->MoveFrameTo(0, 0);
    Documents()->CascadeAndFitAll();
    Stopped();
}

void CProjectorPhasePage::Stopped()
{
    // An adjustment that stopped is ended by its own button.
    if (m_bAdjusting)
        return;
    m_btnAcquire->setEnabled(true);
    m_btnShowAll->setEnabled(m_pSequence->HasPhase());
    m_btnAdjust->setEnabled(true);
    EnableAfterRun();
}

void CProjectorPhasePage::EnableAfterRun()
{
    // Demodulation needs a reference and a phase of this page's acquisition.
    const bool demodulate = m_pReferenceDoc && m_pSequence && m_pSequence->HasPhase();
    m_btnDemodulate->setEnabled(demodulate);
    m_pInvert->setEnabled(demodulate);
    m_pPeriod->setEnabled(true);
}

void CProjectorPhasePage::OnDemodulate()
{
    if (!m_pReferenceDoc || !m_pSequence || !m_pSequence->HasPhase())
        return;
    const int w = m_pSequence->Width(), h = m_pSequence->Height();
    if (!MatchReference(*m_pReferenceDoc, w, h)) {
        UserMessage(QString::fromUtf8(metrology::kImageSizeMessage));
        return;
    }
    const bool invert = m_pInvert->isChecked();
    ResultImage result = NewResultImage(w, h);
    const int jumps = m_pSequence->Demodulate(ViewPlanes(m_pReferenceDoc->m_image).planes[0],
                                              invert, result.plane);
    m_pResultDoc = NewRunDocument(*Documents(), w, h);
    m_pResultDoc->SetFringeCount(jumps);
    const QString name = QStringLiteral("ImDemodM%1").arg(jumps);
    ShowResultImage(*m_pResultDoc, result.image, name);
    m_btnDemodulate->setEnabled(false);
    m_pInvert->setEnabled(false);
    ShowCopy(*m_pRunDoc, result.image, name);
    m_pRunDoc->MoveFrameTo(0, 0);
    Documents()->CascadeAndFitAll();
    SetStatus(invert ? "Image demodulée inversée calculée..." : "Image demodulée calculée...");
}
