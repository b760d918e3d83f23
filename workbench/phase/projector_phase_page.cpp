#include "projector_phase_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "acquisition_sources.h"
#include "analysis_documents.h"
#include "camera_port.h"
#include "dialog_controls.h"
#include "entry_text.h"
#include "fralo_app.h"
#include "fralo_doc.h"
#include "main_frame.h"
#include "phase_documents.h"
#include "plane_buffers.h"
#include "sequence_texts.h"
#include "sequence_timer.h"
#include "user_message.h"
#include "view_cycle.h"

namespace {
constexpr int kFrameGap = 15;
} // namespace

CProjectorPhasePage::CProjectorPhasePage(CFraloApp* app, acquisition::ProjectorOutput& projector,
                                         QWidget* parent)
    : QWidget(parent),
      m_pApp(app),
      m_projector(projector),
      m_timers([this](int id) { OnTimer(id); })
{
    if (CMainFrame* frame = m_pApp->MainFrame())
        m_pCameraDoc = frame->ActiveDocument();
    m_pApp->ListOtherDocuments(m_docs);
    const auto button = [this](const char* text, int id) {
        auto* b = Named(new QPushButton(QString::fromUtf8(text), this), id);
        b->setAutoDefault(false);
        return b;
    };
    m_btnAcquire = button("&Acquisition", IDC_ACQUIRE);
    m_btnShowAll = button("&Visu. toutes les images", IDC_SHOW_ALL);
    m_btnDemodulate = button("&Démodulation", IDC_DEMODULATE);
    m_btnAdjust = button("&Réglage acquisition", IDC_ADJUST);
    m_pPeriod = Named(new QLineEdit(QString::number(m_pApp->m_nFringePeriod), this), IDC_PERIOD);
    m_pInvert =
        Named(new QCheckBox(QString::fromUtf8("&Inversion sens démodulation"), this), IDC_INVERT);
    m_cbReference = Named(new QComboBox(this), IDC_REFERENCE);
    for (CFraloDoc* doc : m_docs)
        if (doc)
            m_cbReference->addItem(doc->m_strName);
    m_cbReference->addItem(QString::fromUtf8(acquisition::kNoReferenceText));
    m_cbReference->setCurrentIndex(m_cbReference->count() - 1);
    m_pStatus = Named(new QLabel(this), IDC_STATUS);
    m_pCamera =
        Named(new QLabel(m_pCameraDoc ? m_pCameraDoc->m_strName : QString(), this), IDC_CAMERA);
    m_pResult = Named(new QLabel(QString::fromUtf8(acquisition::kNewImageText), this), IDC_RESULT);
    m_btnDemodulate->setEnabled(false);
    m_btnShowAll->setEnabled(false);
    m_pInvert->setEnabled(false);
    m_btnAcquire->setEnabled(m_pCameraDoc != nullptr);
    m_btnAdjust->setEnabled(m_pCameraDoc != nullptr);
    connect(m_btnAcquire, &QPushButton::clicked, this, &CProjectorPhasePage::OnAcquisition);
    connect(m_btnAdjust, &QPushButton::clicked, this, &CProjectorPhasePage::OnAdjust);
    connect(m_btnShowAll, &QPushButton::clicked, this, &CProjectorPhasePage::OnShowAllImages);
    connect(m_btnDemodulate, &QPushButton::clicked, this, &CProjectorPhasePage::OnDemodulate);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QString::fromUtf8("Pas franges (pixel):"), this), 0, 0);
    fields->addWidget(m_pPeriod, 0, 1);
    fields->addWidget(m_pInvert, 1, 0, 1, 2);
    fields->addWidget(new QLabel(QString::fromUtf8("I&mage caméra:"), this), 2, 0);
    fields->addWidget(m_pCamera, 2, 1);
    fields->addWidget(new QLabel(QString::fromUtf8("Image &résultat:"), this), 3, 0);
    fields->addWidget(m_pResult, 3, 1);
    fields->addWidget(new QLabel(QString::fromUtf8("&Im. phasée REF."), this), 4, 0);
    fields->addWidget(m_cbReference, 4, 1);
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
    if (m_pApp->AcquiringDoc() && m_pCameraDoc)
        m_pCameraDoc->StopAcquisition();
    if (m_bSetUp && m_pSequence->HasPhase()) {
        const Vobject mosaic = FrameMosaic({&m_pSequence->Frame(0), &m_pSequence->Frame(1),
                                            &m_pSequence->Frame(2), &m_pSequence->Frame(3)},
                                           m_pCameraDoc->m_nWidth, m_pCameraDoc->m_nHeight);
        if (ViewPlanes(mosaic).channels)
            ShowCopy(*m_pCameraDoc, mosaic, QString::fromUtf8(acquisition::kMosaicName));
        ShowCopy(*m_pProjectorDoc, m_imgPhase, PhaseName());
    }
    if (m_pApp->m_nSource != SourceNone && m_pCameraDoc) {
        m_pCameraDoc->MoveFrameTo(0, 0);
        m_pApp->CascadeAndFitAll();
    }
}

QString CProjectorPhasePage::Status() const { return m_pStatus->text(); }

QString CProjectorPhasePage::PhaseName() const
{
    return QString::asprintf(acquisition::kPhaseNameFormat, int(m_pProjectorDoc->m_nImageNumber));
}

bool CProjectorPhasePage::SlowSource() const
{
    return m_pApp->m_nSource == SourceVfw || m_pApp->m_nSource == SourceDirectShow;
}

int CProjectorPhasePage::ReadPeriod()
{
    const int period = acquisition::ClampFringePeriod(
        ParseLeadingInt(m_pPeriod->text().toStdString()).value_or(0));
    m_pApp->m_nFringePeriod = int16_t(period);
    m_pPeriod->setText(QString::number(period));
    return period;
}

void CProjectorPhasePage::SetUp()
{
    m_bSetUp = true;
    CFraloDoc& camera = *m_pCameraDoc;
    camera.StartAcquisition();
    const int w = m_pApp->m_nDefaultWidth, h = m_pApp->m_nDefaultHeight;
    camera.m_nWidth = int16_t(w);
    camera.m_nHeight = int16_t(h);
    camera.FitFrameToImage(w, h);
    camera.UpdateScrollSizes(w, h);
    camera.m_strName = QStringLiteral("ImCamera%1").arg(camera.m_nImageNumber);
    camera.UpdateTitle();
    m_pCamera->setText(camera.m_strName);
    m_pProjectorDoc = NewResultDocument(*m_pApp, w, h);
    m_pProjectorDoc->m_strName = QStringLiteral("Mire__");
    m_pProjectorDoc->UpdateTitle();
    m_pResult->setText(PhaseName());
    const int chosen = m_cbReference->currentIndex();
    m_pReferenceDoc = chosen >= 0 && chosen < int(m_docs.size()) ? m_docs[chosen] : nullptr;
    m_imgPhase = NewResultImage(w, h).image;
    m_pDemodDoc = nullptr;
    m_pCameraPort = std::make_unique<CameraPort>(*m_pApp, camera, w, h);
    m_pSequence = std::make_unique<acquisition::ProjectorSequence>(
        w, h, *m_pCameraPort, *m_pCameraPort, *this, m_projector);
}

void CProjectorPhasePage::PlaceFrames()
{
    m_pProjectorDoc->MoveFrameTo(0, 0);
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
        if (m_pApp->m_nSource != SourceNone)
            m_pCameraDoc->StopAcquisition();
        m_btnAdjust->setText(QString::fromUtf8("&Réglage acquisitions"));
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
    m_timers.SetTimer(m_pSequence->Timer(), acquisition::ProjectorSequence::kTickMs);
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
    ShowCopy(*m_pProjectorDoc,
             NewResultImage(m_pCameraDoc->m_nWidth, m_pCameraDoc->m_nHeight).image,
             QStringLiteral("Mire__"));
    if (m_pApp->m_nSource == SourceNone)
        return;
    m_pSequence->StartAcquisition(period, SlowSource());
    m_timers.SetTimer(m_pSequence->Timer(), acquisition::ProjectorSequence::kTickMs);
}

void CProjectorPhasePage::OnTimer(int id)
{
    if (!m_pSequence || id != m_pSequence->Timer())
        return;
    m_pSequence->Tick();
    const int next = m_pSequence->Timer();
    FollowSequenceTimer(m_timers, id, next, acquisition::ProjectorSequence::kTickMs);
    if (next == 0 && m_pSequence->GetState() == acquisition::ProjectorSequence::Done)
        Finished();
}

void CProjectorPhasePage::Finished()
{
    m_pProjectorDoc->MoveFrameTo(0, 0);
    m_pApp->CascadeAndFitAll();
    m_btnAcquire->setEnabled(true);
    m_btnShowAll->setEnabled(true);
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

void CProjectorPhasePage::SetStatus(const std::string& text)
{
    m_pStatus->setText(QString::fromStdString(text));
}

void CProjectorPhasePage::ShowPlane(const std::uint8_t* plane, const std::string& name)
{
    ShowResultImage(*m_pProjectorDoc,
                    PlaneImage(plane, m_pCameraDoc->m_nWidth, m_pCameraDoc->m_nHeight),
                    QString::fromStdString(name));
}

void CProjectorPhasePage::ShowPhase(const std::uint8_t* plane)
{
    m_imgPhase = PlaneImage(plane, m_pCameraDoc->m_nWidth, m_pCameraDoc->m_nHeight);
    ShowCopy(*m_pProjectorDoc, m_imgPhase, PhaseName());
}

void CProjectorPhasePage::OnDemodulate()
{
    if (!m_pReferenceDoc || !m_pSequence || !m_pSequence->HasPhase())
        return;
    const int w = m_pCameraDoc->m_nWidth, h = m_pCameraDoc->m_nHeight;
    if (!MatchReference(*m_pReferenceDoc, w, h)) {
        UserMessage(QString::fromUtf8(metrology::kImageSizeMessage));
        return;
    }
    const bool invert = m_pInvert->isChecked();
    ResultImage result = NewResultImage(w, h);
    const int jumps = acquisition::DemodulateAgainst(m_pSequence->Phase().data(),
                                                     ViewPlanes(m_pReferenceDoc->m_image).planes[0],
                                                     w, h, invert, result.plane);
    m_pDemodDoc = NewResultDocument(*m_pApp, w, h);
    m_pDemodDoc->m_nFringeCount = jumps;
    const QString name = QStringLiteral("ImDemodM%1").arg(jumps);
    ShowResultImage(*m_pDemodDoc, result.image, name);
    m_btnDemodulate->setEnabled(false);
    m_pInvert->setEnabled(false);
    ShowCopy(*m_pProjectorDoc, result.image, name);
    m_pProjectorDoc->MoveFrameTo(0, 0);
    m_pApp->CascadeAndFitAll();
    SetStatus(invert ? "Image demodulée inversée calculée..." : "Image demodulée calculée...");
}

void CProjectorPhasePage::OnShowAllImages()
{
    if (!m_pSequence)
        return;
    const int index = m_nShowIndex;
    const int w = m_pCameraDoc->m_nWidth, h = m_pCameraDoc->m_nHeight;
    if (index < acquisition::kShowPhase)
        ShowCopy(*m_pProjectorDoc, PlaneImage(m_pSequence->Frame(index).data(), w, h),
                 QString::fromUtf8(acquisition::StepName(index)));
    else if (index == acquisition::kShowPhase)
        ShowCopy(*m_pProjectorDoc, m_imgPhase, PhaseName());
    else if (index == acquisition::kShowReference && m_pReferenceDoc)
        ShowCopy(*m_pProjectorDoc, m_pReferenceDoc->m_image, m_pReferenceDoc->m_strName);
    else if (index == acquisition::kShowResult && m_pDemodDoc)
        ShowCopy(*m_pProjectorDoc, m_pDemodDoc->m_image, m_pDemodDoc->m_strName);
    SetStatus(acquisition::ShowStatusText(index, true));
    m_nShowIndex = short(acquisition::NextShowIndex(index, m_pReferenceDoc, m_pDemodDoc));
}
