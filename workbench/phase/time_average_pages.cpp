#include "time_average_pages.h"

#include <algorithm>

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "camera_port.h"
#include "metrology/acquisition/sequence_texts.h"
#include "phase_documents.h"
#include "sequence_timer.h"
#include "workbench/analysis/analysis_documents.h"
#include "workbench/analysis/dialog_controls.h"
#include "workbench/common/user_message.h"
#include "workbench/core/acquisition_sources.h"
#include "workbench/core/entry_text.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/faces/documents.h"
#include "workbench/faces/workbench_settings.h"
#include "workbench/instruments/instrument_ui.h"

namespace {
constexpr int kTickMs = 50;
constexpr int kLastTimer = 6;
} // namespace

CTimeAvgPage::CTimeAvgPage(WorkbenchSettings* app, ondula::Clock& clock, int buttonId,
                           QWidget* parent)
    : QWidget(parent),
      m_pApp(app),
      m_supply(app->m_nComPort, app->m_nSupplyModel, app->m_nSliderPos, clock, UserMessageSink()),
      m_timers([this](int id) { OnTimer(id); })
{
    m_pLiveDoc = TakeCameraDocument(*Documents(), *m_pApp);
    m_pButton = Named(new QPushButton(QString::fromUtf8("&Démarrer"), this), buttonId);
    m_pButton->setAutoDefault(false);
    m_pButton->setEnabled(m_pLiveDoc != nullptr);
    connect(m_pButton, &QPushButton::clicked, this, &CTimeAvgPage::OnStartStop);
    m_pLiveName =
        Named(new QLabel(m_pLiveDoc ? m_pLiveDoc->m_strName : QString(), this), IDC_LIVE_NAME);
    m_pAverageName =
        Named(new QLabel(QString::fromUtf8(acquisition::kNewImageText), this), IDC_AVERAGE_NAME);
    m_pEntries = new QGridLayout;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_pEntries);
    layout->addWidget(m_pLiveName);
    layout->addWidget(m_pAverageName);
    layout->addWidget(m_pButton);
}

CTimeAvgPage::~CTimeAvgPage()
{
    if (m_pApp->m_nSource != SourceNone && Documents()->AcquiringDoc() && m_pLiveDoc)
        m_pLiveDoc->StopAcquisition();
    if (!m_bFirst) {
        m_pLiveDoc->MoveFrameTo(0, 0);
        Documents()->CascadeAndFitAll();
    }
}

QLineEdit* CTimeAvgPage::AddEdit(int id, const char* label, int value)
{
    auto* edit = Named(new QLineEdit(QString::number(value), this), id);
    const int row = m_pEntries->rowCount();
    m_pEntries->addWidget(MnemonicLabel(label, edit, this), row, 0);
    m_pEntries->addWidget(edit, row, 1);
    m_edits.push_back(edit);
    return edit;
}

int CTimeAvgPage::EditValue(const QLineEdit* edit)
{
    return ParseLeadingInt(edit->text().toStdString()).value_or(0);
}

acquisition::SequencePorts CTimeAvgPage::Ports()
{
    return {m_supply, *m_pCameraPort, *m_pCameraPort, *this};
}

void CTimeAvgPage::OnStartStop()
{
    if (m_bRunning)
        Stop();
    else
        Start();
}

void CTimeAvgPage::FirstStart()
{
    m_bFirst = false;
    m_nWidth = m_pApp->m_nDefaultWidth;
    m_nHeight = m_pApp->m_nDefaultHeight;
    const int w = m_nWidth, h = m_nHeight;
    m_pCameraPort = std::make_unique<CameraPort>(*m_pApp, *m_pLiveDoc, w, h);
    m_pCameraPort->StartAhead();
    m_pLiveDoc->TakeSize(w, h);
    m_pLiveDoc->SetName(QStringLiteral("ImCamera%1").arg(m_pLiveDoc->m_nImageNumber));
    m_pLiveDoc->UpdateTitle();
    m_pAverageDoc = NewRunDocument(*Documents(), w, h);
    m_pAverageDoc->SetName(QStringLiteral("TempsMoy%1").arg(m_pAverageDoc->m_nImageNumber));
    m_pAverageDoc->UpdateTitle();
    m_pLiveName->setText(m_pLiveDoc->m_strName);
    m_pAverageName->setText(m_pAverageDoc->m_strName);
}

void CTimeAvgPage::Start()
{
    if (!m_pLiveDoc)
        return;
    m_pButton->setText(QString::fromUtf8("&Arrêter"));
    for (QLineEdit* edit : m_edits)
        edit->setEnabled(false);
    if (m_bFirst)
        FirstStart();
    m_pSequence = ReadEntries(m_nWidth, m_nHeight);
    m_supply.SetSetpoints(m_pApp->m_nPhaseSteps, m_pApp->m_nSupplyFullScale);
    const int liveWidth = m_pLiveDoc->m_nWidth;
    if (m_pApp->m_nSource == SourceVfw) {
        m_pAverageDoc->MoveFrameTo(WebcamGap(liveWidth), 0);
        m_pLiveDoc->MoveFrameTo(0, 0);
    } else {
        m_pAverageDoc->MoveFrameTo(0, 0);
        m_pLiveDoc->MoveFrameTo(liveWidth + 12, 0);
    }
    m_bInTick = false;
    m_bRunning = true;
    m_pSequence->Start();
    m_timers.SetTimer(m_pSequence->Timer(), kTickMs);
}

void CTimeAvgPage::Stop()
{
    m_pSequence->Stop();
    m_pCameraPort->StopAcquisition();
    BackToIdle();
}

void CTimeAvgPage::BackToIdle()
{
    for (int id = 1; id <= kLastTimer; ++id)
        m_timers.KillTimer(id);
    m_bRunning = false;
    m_pButton->setText(QString::fromUtf8("&Démarrer"));
    for (QLineEdit* edit : m_edits)
        edit->setEnabled(true);
    m_pLiveDoc->MoveFrameTo(0, 0);
    Documents()->CascadeAndFitAll();
}

void CTimeAvgPage::OnTimer(int id)
{
    // A tick that comes while one is capturing or computing does nothing.
    if (m_bInTick || !m_pSequence || id != m_pSequence->Timer())
        return;
    m_bInTick = true;
    m_pSequence->Tick();
    m_bInTick = false;
    FollowSequenceTimer(m_timers, id, m_pSequence->Timer(), kTickMs);
    // A view that stopped by itself (the camera lost) has said why.
    if (m_bRunning && m_pSequence->Timer() == 0) {
        if (Documents()->AcquiringDoc() == m_pLiveDoc)
            m_pLiveDoc->StopAcquisition();
        BackToIdle();
    }
}

void CTimeAvgPage::SetStatus(const std::string& text)
{
    // Without a progress text the page says it in a message, unless live
    // acquisition has ended or not started: that has said why already.
    if (m_pProgress)
        m_pProgress->setText(QString::fromStdString(text));
    else if (m_pCameraPort && m_pCameraPort->IsRunning())
        UserMessage(QString::fromStdString(text));
}

void CTimeAvgPage::ShowPhase(const std::uint8_t* plane)
{
    ResultImage result = NewResultImage(m_nWidth, m_nHeight);
    std::copy(plane, plane + std::size_t(m_nWidth) * std::size_t(m_nHeight), result.plane);
    ShowResultImage(*m_pAverageDoc, result.image, m_pAverageDoc->m_strName);
}

CTimeAvg4Page::CTimeAvg4Page(WorkbenchSettings* app, ondula::Clock& clock, QWidget* parent)
    : CTimeAvgPage(app, clock, 1038, parent)
{
    static const char* const labels[] = {"U0:", "U90:", "U180:", "U270:"};
    static const int ids[] = {1032, 1039, 1027, 1028};
    m_pGain = AddEdit(IDC_GAIN, "Gain:", 5);
    for (int k = 0; k < 4; ++k)
        m_volts[k] =
            AddEdit(ids[k], labels[k],
                    acquisition::StepVolts(app->m_nPhaseSteps[k], app->m_nSupplyFullScale));
}

void CTimeAvg4Page::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        event->accept();
    else
        CTimeAvgPage::keyPressEvent(event);
}

std::unique_ptr<acquisition::AverageSequence> CTimeAvg4Page::ReadEntries(int width, int height)
{
    const int umax = m_pApp->m_nSupplyFullScale;
    std::array<int, 4> volts{};
    for (int k = 0; k < 4; ++k)
        volts[k] = EditValue(m_volts[k]);
    volts = acquisition::ClampFourVolts(volts, umax);
    for (int k = 0; k < 4; ++k) {
        m_pApp->m_nPhaseSteps[k] = acquisition::VoltsStep(volts[k], umax, m_pApp->m_nPhaseSteps[k]);
        m_volts[k]->setText(QString::number(volts[k]));
    }
    const int gain = std::clamp(EditValue(m_pGain), 1, 20);
    m_pGain->setText(QString::number(gain));
    return std::make_unique<acquisition::FourStepAverage>(width, height, gain, Ports());
}

CTimeAvg2Page::CTimeAvg2Page(WorkbenchSettings* app, ondula::Clock& clock, QWidget* parent)
    : CTimeAvgPage(app, clock, 3, parent)
{
    const int umax = app->m_nSupplyFullScale;
    m_pGain = AddEdit(IDC_GAIN, "Gain:", 5);
    m_pU0 = AddEdit(1032, "U0:", acquisition::StepVolts(app->m_nPhaseSteps[0], umax));
    m_pU180 = AddEdit(1027, "U180:", acquisition::StepVolts(app->m_nPhaseSteps[2], umax));
    m_pCount = AddEdit(IDC_COUNT, "&Nb. images moyennées:", 3);
    m_pProgress = Named(new QLabel(this), IDC_PROGRESS);
    layout()->addWidget(m_pProgress);
}

std::unique_ptr<acquisition::AverageSequence> CTimeAvg2Page::ReadEntries(int width, int height)
{
    const int umax = m_pApp->m_nSupplyFullScale;
    const int gain = std::clamp(EditValue(m_pGain), 1, 100);
    const auto [u0, u180] = acquisition::ClampTwoVolts(EditValue(m_pU0), EditValue(m_pU180), umax);
    const int count = std::clamp(EditValue(m_pCount), 1, 20);
    auto& steps = m_pApp->m_nPhaseSteps;
    steps[0] = acquisition::VoltsStep(u0, umax, steps[0]);
    steps[2] = acquisition::VoltsStep(u180, umax, steps[2]);
    m_pGain->setText(QString::number(gain));
    m_pU0->setText(QString::number(u0));
    m_pU180->setText(QString::number(u180));
    m_pCount->setText(QString::number(count));
    return std::make_unique<acquisition::TwoStepAverage>(width, height, gain, count, Ports());
}
