#include "phase_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <imageproc/plane_buffers.h>
#include <imageproc/quiet_library.h>
#include <verodyn/operators.h>

#include "camera_port.h"
#include "metrology/acquisition/sequence_texts.h"
#include "metrology/acquisition/view_cycle.h"
#include "phase_documents.h"
#include "workbench/analysis/analysis_documents.h"
#include "workbench/analysis/dialog_controls.h"
#include "workbench/common/user_message.h"
#include "workbench/core/acquisition_sources.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/faces/documents.h"
#include "workbench/faces/workbench_settings.h"
#include "workbench/instruments/instrument_ui.h"

namespace {

constexpr int kFrameGap = 15;

} // namespace

CPhasePage::CPhasePage(WorkbenchSettings* app, QWidget* parent) : CFourFramePage(app, false, parent)
{
    m_btnSubtract =
        Named(new QPushButton(QString::fromUtf8("&Soustraction mod. 256"), this), IDC_SUBTRACT);
    m_btnSubtract->setEnabled(false);
    m_btnSubtract->setAutoDefault(false);
    connect(m_btnAcquire, &QPushButton::clicked, this, &CPhasePage::OnAcquisition);
    connect(m_btnSubtract, &QPushButton::clicked, this, &CPhasePage::OnSubtractMod256);

    m_pSteps = new QGridLayout;
    auto* names = new QGridLayout;
    AddNameRows(*names, 0, "&Im. phasée REF.:");
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
    StopLiveAcquisition();
    if (!m_bFirst && m_pSequence) {
        if (!m_bNoPhase) {
            WriteFrames();
            TileFramesIntoCamera();
        }
        ShowPhaseAgain();
    }
    ReturnCameraFrame();
}

void CPhasePage::WriteFrames()
{
    const int w = m_pSequence->Width(), h = m_pSequence->Height();
    bool written = true;
    for (int step = 0; step < 4; ++step) {
        const std::string path = "im" + std::string(acquisition::StepName(step) + 2) + ".tif";
        QuietLibrary quiet;
        written = write_image(PlaneImage(m_pSequence->Frame(step).data(), w, h), "tiff", 0,
                              path.c_str()) == V_OK &&
                  written;
    }
    if (!written)
        UserMessage(QString::fromUtf8(acquisition::kWriteFailedText));
}

void CPhasePage::SetInstrument(std::unique_ptr<acquisition::PhaseInstrument> instrument)
{
    m_pInstrument = std::move(instrument);
}

QLineEdit* CPhasePage::AddEdit(int id, const char* label, bool editable)
{
    auto* edit = Named(new QLineEdit(this), id);
    m_pSteps->addWidget(MnemonicLabel(label, edit, this), m_nStepRows, 0);
    m_pSteps->addWidget(edit, m_nStepRows, 1);
    ++m_nStepRows;
    m_edits.emplace_back(edit, editable);
    return edit;
}

QLabel* CPhasePage::AddNote(int id)
{
    auto* label = Named(new QLabel(this), id);
    m_pSteps->addWidget(label, m_nStepRows - 1, 2);
    return label;
}

QLabel* CPhasePage::AddStatic(int id)
{
    auto* label = Named(new QLabel(this), id);
    m_pSteps->addWidget(label, m_nStepRows++, 0, 1, 3);
    return label;
}

void CPhasePage::SetStatusText(const QString& text) { m_pStatus->setText(text); }

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
        m_pRunDoc->MoveFrameTo(w + kFrameGap, 0);
        m_pCameraDoc->MoveFrameTo(0, 0);
    } else {
        m_pRunDoc->MoveFrameTo(0, 0);
        m_pCameraDoc->MoveFrameTo(w + kFrameGap, 0);
    }
    EnableRunControls(false);
    m_cbReference->setEnabled(false);
    ShowResultImage(*m_pRunDoc, NewResultImage(m_pSequence->Width(), m_pSequence->Height()).image,
                    PhaseName());
    BeforeRun();
    if (source == SourceNone)
        return;
    m_pSequence->Start(source == SourceVfw || source == SourceDirectShow);
    StartTimer();
}

void CPhasePage::Prepare()
{
    m_bFirst = 0;
    CFraloDoc& camera = *m_pCameraDoc;
    camera.ApplySourceSize(m_pApp->m_nSource);
    const int w = camera.m_nWidth, h = camera.m_nHeight;
    m_pApp->SetDefaultSize(w, h);
    camera.TakeSize(w, h);
    NameCameraDocument();

    m_pRunDoc = NewRunDocument(*Documents(), w, h);
    m_pRunDoc->SetName(PhaseName());
    m_pRunDoc->UpdateTitle();
    m_pResult->setText(m_pRunDoc->m_strName);

    ChooseReference();
    m_pResultDoc = nullptr;
    CameraPort& port = OpenCameraPort(w, h);
    m_pSequence = std::make_unique<acquisition::PhaseSequence>(
        w, h, acquisition::SequencePorts{*m_pInstrument, port, port, *this});
}

void CPhasePage::Finished()
{
    m_bNoPhase = 0;
    m_pRunDoc->MoveFrameTo(0, 0);
    Documents()->CascadeAndFitAll();
    EnableRunControls(true);
}

void CPhasePage::Stopped() { EnableRunControls(true); }

void CPhasePage::EnableRunControls(bool enabled)
{
    // The viewing cycle and the subtraction need a complete run.
    const bool phase = enabled && m_pSequence->HasPhase();
    m_btnAcquire->setEnabled(enabled);
    m_btnShowAll->setEnabled(phase);
    m_btnSubtract->setEnabled(phase && m_pReferenceDoc);
    for (auto [edit, editable] : m_edits)
        edit->setEnabled(enabled && editable);
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
    m_pResultDoc = NewRunDocument(*Documents(), w, h);
    ShowResultImage(*m_pResultDoc, result.image,
                    QStringLiteral("DifPhase%1").arg(m_pRunDoc->m_nImageNumber));
    m_btnSubtract->setEnabled(false);
    ShowCopy(*m_pRunDoc, result.image, QStringLiteral("DifPhase"));
    m_pRunDoc->MoveFrameTo(0, 0);
    Documents()->CascadeAndFitAll();
}
