#include "phase_page.h"

#include <cstring>

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <verodyn/operators.h>

#include "acquisition_sources.h"
#include "analysis_documents.h"
#include "camera_port.h"
#include "dialog_controls.h"
#include "fralo_app.h"
#include "fralo_doc.h"
#include "fralo_view.h"
#include "main_frame.h"
#include "phase_documents.h"
#include "plane_buffers.h"
#include "quiet_library.h"
#include "sequence_texts.h"
#include "sequence_timer.h"
#include "user_message.h"
#include "view_cycle.h"

namespace {

constexpr int kFrameGap = 15;

QString Utf8(const std::string& text) { return QString::fromStdString(text); }

} // namespace

CPhasePage::CPhasePage(CFraloApp* app, QWidget* parent)
    : QWidget(parent), m_pApp(app), m_timers([this](int id) { OnTimer(id); })
{
    CFraloDoc* active = nullptr;
    if (CMainFrame* frame = m_pApp->MainFrame())
        active = frame->ActiveDocument();
    m_pCameraDoc = active;
    m_pApp->ListOtherDocuments(m_docs);

    m_btnAcquire = Named(new QPushButton(QString::fromUtf8("&Acquisition"), this), IDC_ACQUIRE);
    m_btnSubtract =
        Named(new QPushButton(QString::fromUtf8("&Soustraction mod. 256"), this), IDC_SUBTRACT);
    m_btnShowAll =
        Named(new QPushButton(QString::fromUtf8("&Visu. toutes les images"), this), IDC_SHOW_ALL);
    m_cbReference = Named(new QComboBox(this), IDC_REFERENCE);
    for (CFraloDoc* doc : m_docs)
        if (doc)
            m_cbReference->addItem(doc->m_strName);
    m_cbReference->addItem(QString::fromUtf8(acquisition::kNoReferenceText));
    m_cbReference->setCurrentIndex(m_cbReference->count() - 1);
    m_pResult = Named(new QLabel(QString::fromUtf8(acquisition::kNewImageText), this), IDC_RESULT);
    m_pCamera =
        Named(new QLabel(m_pCameraDoc ? m_pCameraDoc->m_strName : QString(), this), IDC_CAMERA);
    m_pStatus = Named(new QLabel(this), IDC_STATUS);
    m_btnShowAll->setEnabled(false);
    m_btnSubtract->setEnabled(false);
    // The page needs a camera document; the command is offered only with one.
    m_btnAcquire->setEnabled(m_pCameraDoc != nullptr);
    for (QPushButton* button : {m_btnAcquire, m_btnSubtract, m_btnShowAll})
        button->setAutoDefault(false);
    connect(m_btnAcquire, &QPushButton::clicked, this, &CPhasePage::OnAcquisition);
    connect(m_btnShowAll, &QPushButton::clicked, this, &CPhasePage::OnShowAllImages);
    connect(m_btnSubtract, &QPushButton::clicked, this, &CPhasePage::OnSubtractMod256);

    m_pSteps = new QGridLayout;
    auto* names = new QGridLayout;
    names->addWidget(new QLabel(QString::fromUtf8("I&mage caméra:"), this), 0, 0);
    names->addWidget(m_pCamera, 0, 1);
    names->addWidget(new QLabel(QString::fromUtf8("Image &résultat:"), this), 1, 0);
    names->addWidget(m_pResult, 1, 1);
    names->addWidget(new QLabel(QString::fromUtf8("&Im. phasée REF.:"), this), 2, 0);
    names->addWidget(m_cbReference, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_btnAcquire);
    buttons->addWidget(m_btnShowAll);
    buttons->addWidget(m_btnSubtract);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_pSteps);
    layout->addLayout(names);
    layout->addLayout(buttons);
    layout->addWidget(m_pStatus);
}

CPhasePage::~CPhasePage()
{
    if (m_pApp->AcquiringDoc() && m_pCameraDoc)
        m_pCameraDoc->StopAcquisition();
    if (!m_bFirst && m_pSequence) {
        if (!m_bNoPhase) {
            const int w = m_pSequence->Width(), h = m_pSequence->Height();
            bool written = true;
            for (int step = 0; step < 4; ++step) {
                const std::string path =
                    "im" + std::string(acquisition::StepName(step) + 2) + ".tif";
                QuietLibrary quiet;
                written = write_image(PlaneImage(m_pSequence->Frame(step).data(), w, h), "tiff", 0,
                                      path.c_str()) == V_OK &&
                          written;
            }
            if (!written)
                UserMessage(QString::fromUtf8(acquisition::kWriteFailedText));
            const Vobject mosaic = FrameMosaic({&m_pSequence->Frame(0), &m_pSequence->Frame(1),
                                                &m_pSequence->Frame(2), &m_pSequence->Frame(3)},
                                               w, h);
            if (ViewPlanes(mosaic).channels)
                ShowCopy(*m_pCameraDoc, mosaic, QString::fromUtf8(acquisition::kMosaicName));
        }
        ShowInPhaseDocument(m_imgPhase, PhaseName());
    }
    if (m_pApp->m_nSource != SourceNone && m_pCameraDoc) {
        m_pCameraDoc->MoveFrameTo(0, 0);
        m_pApp->CascadeAndFitAll();
    }
}

void CPhasePage::SetInstrument(std::unique_ptr<acquisition::PhaseInstrument> instrument)
{
    m_pInstrument = std::move(instrument);
}

QLineEdit* CPhasePage::AddEdit(int id, const char* label, bool editable)
{
    auto* edit = Named(new QLineEdit(this), id);
    const int row = int(m_edits.size());
    m_pSteps->addWidget(new QLabel(QString::fromUtf8(label), this), row, 0);
    m_pSteps->addWidget(edit, row, 1);
    m_edits.emplace_back(edit, editable);
    return edit;
}

QLabel* CPhasePage::AddStatic(int id)
{
    auto* label = Named(new QLabel(this), id);
    m_pSteps->addWidget(label, m_pSteps->rowCount(), 0, 1, 3);
    return label;
}

void CPhasePage::SetStatusText(const QString& text) { m_pStatus->setText(text); }

QString CPhasePage::Status() const { return m_pStatus->text(); }

QString CPhasePage::PhaseName() const
{
    return QString::asprintf(acquisition::kPhaseNameFormat, int(m_pPhaseDoc->m_nImageNumber));
}

void CPhasePage::OnAcquisition()
{
    if (!m_pCameraDoc)
        return;
    ReadStepValues();
    if (m_bFirst)
        Prepare();
    const int source = m_pApp->m_nSource;
    const int w = m_pCameraDoc->m_nWidth;
    if (source == SourceVfw) {
        m_pPhaseDoc->MoveFrameTo(w + kFrameGap, 0);
        m_pCameraDoc->MoveFrameTo(0, 0);
    } else {
        m_pPhaseDoc->MoveFrameTo(0, 0);
        m_pCameraDoc->MoveFrameTo(w + kFrameGap, 0);
    }
    EnableRunControls(false);
    m_cbReference->setEnabled(false);
    ShowInPhaseDocument(NewResultImage(m_pSequence->Width(), m_pSequence->Height()).image,
                        PhaseName());
    BeforeRun();
    if (source == SourceNone)
        return;
    m_pSequence->Start(source == SourceVfw || source == SourceDirectShow);
    m_timers.SetTimer(m_pSequence->Timer(), acquisition::PhaseSequence::kTickMs);
}

void CPhasePage::Prepare()
{
    m_bFirst = 0;
    CFraloDoc& camera = *m_pCameraDoc;
    camera.ApplySourceSize(m_pApp->m_nSource);
    const int w = camera.m_nWidth, h = camera.m_nHeight;
    m_pApp->m_nDefaultWidth = int16_t(w);
    m_pApp->m_nDefaultHeight = int16_t(h);
    camera.FitFrameToImage(w, h);
    camera.UpdateScrollSizes(w, h);
    camera.m_strName = QStringLiteral("ImCamera%1").arg(camera.m_nImageNumber);
    camera.UpdateTitle();
    m_pCamera->setText(camera.m_strName);

    m_pPhaseDoc = NewResultDocument(*m_pApp, w, h);
    m_pPhaseDoc->m_strName = PhaseName();
    m_pPhaseDoc->UpdateTitle();
    m_pResult->setText(m_pPhaseDoc->m_strName);

    const int chosen = m_cbReference->currentIndex();
    m_pReferenceDoc = chosen >= 0 && chosen < int(m_docs.size()) ? m_docs[chosen] : nullptr;
    m_imgPhase = NewResultImage(w, h).image;
    m_pSubtractDoc = nullptr;
    m_pCameraPort = std::make_unique<CameraPort>(*m_pApp, camera, w, h);
    m_pSequence = std::make_unique<acquisition::PhaseSequence>(
        w, h, acquisition::SequencePorts{*m_pInstrument, *m_pCameraPort, *m_pCameraPort, *this});
}

void CPhasePage::OnTimer(int id)
{
    if (!m_pSequence || id != m_pSequence->Timer())
        return;
    m_pSequence->Tick();
    const int next = m_pSequence->Timer();
    FollowSequenceTimer(m_timers, id, next, acquisition::PhaseSequence::kTickMs);
    if (m_pSequence->GetState() == acquisition::PhaseSequence::Done && next == 0)
        Finished();
}

void CPhasePage::Finished()
{
    m_bNoPhase = 0;
    m_pPhaseDoc->MoveFrameTo(0, 0);
    m_pApp->CascadeAndFitAll();
    EnableRunControls(true);
}

void CPhasePage::EnableRunControls(bool enabled)
{
    m_btnAcquire->setEnabled(enabled);
    m_btnShowAll->setEnabled(enabled);
    m_btnSubtract->setEnabled(enabled && m_pReferenceDoc);
    for (auto [edit, editable] : m_edits)
        edit->setEnabled(enabled && editable);
}

void CPhasePage::SetStatus(const std::string& text) { SetStatusText(Utf8(text)); }

void CPhasePage::ShowPlane(const std::uint8_t* plane, const std::string& name)
{
    // A fresh image of its own: shown as it is, without the copy shared images need.
    ShowResultImage(*m_pPhaseDoc, PlaneImage(plane, m_pSequence->Width(), m_pSequence->Height()),
                    Utf8(name));
}

void CPhasePage::ShowPhase(const std::uint8_t* plane)
{
    m_imgPhase = PlaneImage(plane, m_pSequence->Width(), m_pSequence->Height());
    ShowInPhaseDocument(m_imgPhase, PhaseName());
}

void CPhasePage::ShowInPhaseDocument(const Vobject& image, const QString& name)
{
    ShowCopy(*m_pPhaseDoc, image, name);
}

void CPhasePage::OnShowAllImages()
{
    const int index = m_nShowIndex;
    const int w = m_pSequence->Width(), h = m_pSequence->Height();
    if (index < acquisition::kShowPhase)
        ShowInPhaseDocument(PlaneImage(m_pSequence->Frame(index).data(), w, h),
                            QString::fromUtf8(acquisition::StepName(index)));
    else if (index == acquisition::kShowPhase)
        ShowInPhaseDocument(m_imgPhase, PhaseName());
    else if (index == acquisition::kShowReference && m_pReferenceDoc)
        ShowInPhaseDocument(m_pReferenceDoc->m_image, m_pReferenceDoc->m_strName);
    else if (index == acquisition::kShowResult && m_pSubtractDoc)
        ShowInPhaseDocument(m_pSubtractDoc->m_image, m_pSubtractDoc->m_strName);
    SetStatusText(QString::fromUtf8(acquisition::ShowStatusText(index, false)));
    m_nShowIndex = short(acquisition::NextShowIndex(index, m_pReferenceDoc, m_pSubtractDoc));
}

void CPhasePage::OnSubtractMod256()
{
    if (!m_pReferenceDoc || !m_pSequence)
        return;
    const int w = m_pSequence->Width(), h = m_pSequence->Height();
    // A reference that cannot be brought to the phase's size is not read past.
    if (!MatchReference(*m_pReferenceDoc, w, h)) {
        UserMessage(QString::fromUtf8(metrology::kImageSizeMessage));
        return;
    }
    const PlaneView view = ViewPlanes(m_pReferenceDoc->m_image);
    ResultImage result = NewResultImage(w, h);
    acquisition::SubtractMod256(m_pSequence->Phase().data(), view.planes[0], result.plane,
                                std::size_t(w) * std::size_t(h));
    m_pSubtractDoc = NewResultDocument(*m_pApp, w, h);
    ShowResultImage(*m_pSubtractDoc, result.image,
                    QStringLiteral("DifPhase%1").arg(m_pPhaseDoc->m_nImageNumber));
    m_btnSubtract->setEnabled(false);
    ShowInPhaseDocument(result.image, QStringLiteral("DifPhase"));
    m_pPhaseDoc->MoveFrameTo(0, 0);
    m_pApp->CascadeAndFitAll();
}
