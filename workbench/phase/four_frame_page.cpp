#include "four_frame_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "camera_port.h"
#include "metrology/acquisition/sequence_texts.h"
#include "metrology/acquisition/view_cycle.h"
#include "phase_documents.h"
#include "sequence_timer.h"
#include "workbench/analysis/dialog_controls.h"
#include "workbench/core/acquisition_sources.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/faces/documents.h"
#include "workbench/faces/workbench_settings.h"
#include "workbench/instruments/instrument_ui.h"

CFourFramePage::CFourFramePage(WorkbenchSettings* app, bool projector, QWidget* parent)
    : QWidget(parent),
      m_pApp(app),
      m_timers([this](int id) { OnTimer(id); }),
      m_bDemodulates(projector)
{
    m_pCameraDoc = TakeCameraDocument(*Documents(), *m_pApp);
    if (projector)
        Documents()->ListOpenDocuments(m_docs);
    else
        Documents()->ListOtherDocuments(m_docs);
    m_btnAcquire = Named(new QPushButton(QString::fromUtf8("&Acquisition"), this), IDC_ACQUIRE);
    m_btnShowAll =
        Named(new QPushButton(QString::fromUtf8("&Visu. toutes les images"), this), IDC_SHOW_ALL);
    m_cbReference = Named(new QComboBox(this), IDC_REFERENCE);
    for (CFraloDoc* doc : m_docs)
        if (doc)
            m_cbReference->addItem(doc->m_strName);
    m_cbReference->addItem(QString::fromUtf8(acquisition::kNoReferenceText));
    m_cbReference->setCurrentIndex(m_cbReference->count() - 1);
    m_pCamera =
        Named(new QLabel(m_pCameraDoc ? m_pCameraDoc->m_strName : QString(), this), IDC_CAMERA);
    m_pResult = Named(new QLabel(QString::fromUtf8(acquisition::kNewImageText), this), IDC_RESULT);
    m_pStatus = Named(new QLabel(this), IDC_STATUS);
    m_btnShowAll->setEnabled(false);
    // The page needs a camera document; its commands are offered only with one.
    m_btnAcquire->setEnabled(m_pCameraDoc != nullptr);
    for (QPushButton* button : {m_btnAcquire, m_btnShowAll})
        button->setAutoDefault(false);
    connect(m_btnShowAll, &QPushButton::clicked, this, &CFourFramePage::OnShowAllImages);
}

CFourFramePage::~CFourFramePage() = default;

void CFourFramePage::OnTimer(int id)
{
    acquisition::FourFrameSequence* run = Run();
    if (!run || id != run->Timer())
        return;
    run->Tick();
    const int next = run->Timer();
    FollowSequenceTimer(m_timers, id, next, run->TimerMs());
    if (next != 0)
        return;
    if (run->GetState() == acquisition::FourFrameSequence::Done)
        Finished();
    // A live acquisition that did not start leaves the page as it stands.
    else if (run->GetState() == acquisition::FourFrameSequence::Failed && run->LiveStarted())
        Stopped();
}

void CFourFramePage::AddNameRows(QGridLayout& grid, int row, const char* referenceLabel)
{
    grid.addWidget(MnemonicLabel("I&mage caméra:", m_pCamera, this), row, 0);
    grid.addWidget(m_pCamera, row, 1);
    grid.addWidget(MnemonicLabel("Image &résultat:", m_pResult, this), row + 1, 0);
    grid.addWidget(m_pResult, row + 1, 1);
    grid.addWidget(MnemonicLabel(referenceLabel, m_cbReference, this), row + 2, 0);
    grid.addWidget(m_cbReference, row + 2, 1);
}

void CFourFramePage::StartTimer()
{
    m_timers.SetTimer(Sequence()->Timer(), acquisition::FourFrameSequence::kTickMs);
}

QString CFourFramePage::Status() const { return m_pStatus->text(); }

void CFourFramePage::SetStatus(const std::string& text)
{
    m_pStatus->setText(QString::fromStdString(text));
}

void CFourFramePage::ShowPlane(const std::uint8_t* plane, const std::string& name)
{
    // A fresh image of its own: shown as it is, without the copy shared images need.
    ShowResultImage(*m_pRunDoc, PlaneImage(plane, Sequence()->Width(), Sequence()->Height()),
                    QString::fromStdString(name));
}

void CFourFramePage::ShowPhase(const std::uint8_t* plane)
{
    ShowResultImage(*m_pRunDoc, PlaneImage(plane, Sequence()->Width(), Sequence()->Height()),
                    PhaseName());
}

void CFourFramePage::NameCameraDocument()
{
    CFraloDoc& camera = *m_pCameraDoc;
    camera.SetName(QStringLiteral("ImCamera%1").arg(camera.m_nImageNumber));
    camera.UpdateTitle();
    m_pCamera->setText(camera.m_strName);
}

void CFourFramePage::ChooseReference()
{
    const int chosen = m_cbReference->currentIndex();
    m_pReferenceDoc = chosen >= 0 && chosen < int(m_docs.size()) ? m_docs[chosen] : nullptr;
}

CameraPort& CFourFramePage::OpenCameraPort(int width, int height)
{
    m_pCameraPort = std::make_unique<CameraPort>(*m_pApp, *m_pCameraDoc, width, height);
    return *m_pCameraPort;
}

QString CFourFramePage::PhaseName() const
{
    return QString::asprintf(acquisition::kPhaseNameFormat, int(m_pRunDoc->m_nImageNumber));
}

Vobject CFourFramePage::PhaseImage() const
{
    const acquisition::FourFrameSequence& run = *Sequence();
    return PlaneImage(run.Phase().data(), run.Width(), run.Height());
}

void CFourFramePage::OnShowAllImages()
{
    const acquisition::FourFrameSequence* run = Sequence();
    if (!run)
        return;
    const int index = m_nShowIndex;
    if (index < acquisition::kShowPhase)
        ShowResultImage(*m_pRunDoc,
                        PlaneImage(run->Frame(index).data(), run->Width(), run->Height()),
                        QString::fromUtf8(acquisition::StepName(index)));
    else if (index == acquisition::kShowPhase)
        ShowResultImage(*m_pRunDoc, PhaseImage(), PhaseName());
    else if (index == acquisition::kShowReference && m_pReferenceDoc)
        ShowCopy(*m_pRunDoc, m_pReferenceDoc->m_image, m_pReferenceDoc->m_strName);
    else if (index == acquisition::kShowResult && m_pResultDoc)
        ShowCopy(*m_pRunDoc, m_pResultDoc->m_image, m_pResultDoc->m_strName);
    SetStatus(acquisition::ShowStatusText(index, m_bDemodulates));
    m_nShowIndex = short(acquisition::NextShowIndex(index, m_pReferenceDoc, m_pResultDoc));
}

void CFourFramePage::StopLiveAcquisition()
{
    if (Documents()->AcquiringDoc() && m_pCameraDoc)
        m_pCameraDoc->StopAcquisition();
}

void CFourFramePage::TileFramesIntoCamera()
{
    const acquisition::FourFrameSequence& run = *Sequence();
    const Vobject mosaic = FrameMosaic({&run.Frame(0), &run.Frame(1), &run.Frame(2), &run.Frame(3)},
                                       run.Width(), run.Height());
    if (ViewPlanes(mosaic).channels)
        ShowCopy(*m_pCameraDoc, mosaic, QString::fromUtf8(acquisition::kMosaicName));
}

void CFourFramePage::ShowPhaseAgain() { ShowResultImage(*m_pRunDoc, PhaseImage(), PhaseName()); }

void CFourFramePage::ReturnCameraFrame()
{
    if (m_pApp->m_nSource != SourceNone && m_pCameraDoc) {
        m_pCameraDoc->MoveFrameTo(0, 0);
        Documents()->CascadeAndFitAll();
    }
}
