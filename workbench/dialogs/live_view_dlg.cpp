#include "live_view_dlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <imageproc/quiet_library.h>
#include <verodyn/operators.h>

#include "workbench/acquisition/talvo_board.h"
#include "workbench/acquisition/vfw_capture_wnd.h"
#include "workbench/analysis/analysis_documents.h"
#include "workbench/analysis/dialog_controls.h"
#include "workbench/core/acquisition_sources.h"
#include "workbench/core/flag_scope.h"
#include "workbench/core/live_view_layout.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/faces/document_frame.h"
#include "workbench/faces/documents.h"
#include "workbench/faces/image_view.h"
#include "workbench/faces/workbench_settings.h"

namespace {

constexpr int kTickMs = 50;
constexpr int kShowId = 1;
constexpr int kCloseId = 2;

} // namespace

CLiveViewDlg::CLiveViewDlg(WorkbenchSettings* app, int timerId, QWidget* parent)
    : QDialog(parent), m_pApp(app), m_nTimerId(timerId), m_timers([this](int id) { OnTimer(id); })
{
    m_pCameraDoc = Documents()->ActiveDocument();
}

void CLiveViewDlg::BuildLayout(const QString& title, const QString& resultLabel, int cameraId,
                               int resultId, QLayout* extra, QPushButton* extraButton)
{
    setWindowTitle(title);
    m_pCameraName = Named(
        new QLabel(m_pCameraDoc ? m_pCameraDoc->m_strName : QStringLiteral("?"), this), cameraId);
    m_pResultName = Named(new QLabel(QStringLiteral("NOUVELLE IMAGE"), this), resultId);
    auto* names = new QGridLayout;
    names->addWidget(new QLabel(QString::fromUtf8("Image caméra :"), this), 0, 0);
    names->addWidget(m_pCameraName, 0, 1);
    names->addWidget(new QLabel(resultLabel, this), 1, 0);
    names->addWidget(m_pResultName, 1, 1);

    m_pShow = Named(new QPushButton(QStringLiteral("&Visualiser"), this), kShowId);
    m_pShow->setDefault(true);
    auto* close = Named(new QPushButton(QStringLiteral("&Fermer"), this), kCloseId);
    connect(m_pShow, &QPushButton::clicked, this, &CLiveViewDlg::OnOK);
    connect(close, &QPushButton::clicked, this, &CLiveViewDlg::reject);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_pShow);
    if (extraButton)
        buttons->addWidget(extraButton);
    buttons->addWidget(close);
    buttons->addStretch();

    auto* left = new QVBoxLayout;
    left->addLayout(names);
    if (extra)
        left->addLayout(extra);
    left->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(buttons);
}

void CLiveViewDlg::OnOK()
{
    if (!m_pCameraDoc || m_bStarted)
        return;
    CFraloDoc* camera = m_pCameraDoc;
    const int source = m_pApp->m_nSource;
    camera->ApplySourceSize(source);
    m_nWidth = m_pApp->m_nDefaultWidth;
    m_nHeight = m_pApp->m_nDefaultHeight;
    camera->TakeSize(m_nWidth, m_nHeight);
    {
        QuietLibrary quiet;
        gen_image_const(&camera->m_image, "byte", m_nWidth, m_nHeight);
    }

    m_pResultDoc = Documents()->NewImageDocument(m_nWidth, m_nHeight);
    if (!m_pResultDoc)
        return;
    m_pResultName->setText(m_pResultDoc->m_strName);
    const LiveFramePlacement place = PlaceLiveFrames(source, m_nWidth);
    camera->MoveFrameTo(place.camera.x, place.camera.y);
    m_pResultDoc->MoveFrameTo(place.result.x, place.result.y);

    m_grey.assign(std::size_t(m_nWidth) * std::size_t(m_nHeight), 0);
    m_pShow->setEnabled(false);
    if (camera->StartAcquisition() == SourceNone && source != SourceNone) {
        // The camera is dead and the start has said so: a result that would
        // never change is not left behind.
        DropResult();
        return;
    }
    OnStarting();
    if (m_pApp->m_nSource != SourceNone) {
        m_bBusy = false;
        m_timers.SetTimer(m_nTimerId, kTickMs);
    }
    m_bStarted = true;
}

void CLiveViewDlg::DropResult()
{
    delete m_pResultDoc->m_pChildFrame;
    m_pResultDoc = nullptr;
    m_pResultName->setText(QStringLiteral("NOUVELLE IMAGE"));
    m_grey = {};
}

void CLiveViewDlg::OnTimer(int id)
{
    if (id != m_nTimerId || m_bBusy || !m_pResultDoc)
        return;
    FlagScope busy(m_bBusy);
    const int source = m_pApp->m_nSource;
    if (source != SourceNone && source != SourceTwain) {
        ReadGreyLevels(source);
        ComputeResult();
    }
    ShowResult();
}

void CLiveViewDlg::ReadGreyLevels(int source)
{
    const int w = m_nWidth, h = m_nHeight;
    if (source == SourceTalvo) {
        Documents()->TalvoBoard().GrabGrey(m_grey.data(), w, h);
    } else if (source == SourceVfw) {
        const CVfwCaptureWnd* capture = m_pCameraDoc->m_pVfwCapture.get();
        if (!capture)
            return;
        for (int x = 0; x < w; ++x)
            for (int y = 0; y < h; ++y) {
                int r = 0, g = 0, b = 0;
                capture->GetPixelRgb(x, y, &r, &g, &b);
                m_grey[std::size_t(x) + std::size_t(w) * y] = GreyLevel(r, g, b);
            }
    } else if (IsLibrarySource(source)) {
        QuietLibrary quiet;
        Vobject zoomed;
        if (zoom_image_size(m_pCameraDoc->m_image, &zoomed, w, h, "constant") == V_OK)
            m_pCameraDoc->SetImage(zoomed);
        GreyOfPlanes(ViewPlanes(m_pCameraDoc->m_image), w, h, m_grey.data());
    }
}

void CLiveViewDlg::ShowResult()
{
    if (m_pResultDoc->m_pView)
        m_pResultDoc->m_pView->DisplayImage();
}

void CLiveViewDlg::reject()
{
    if (m_bStarted) {
        m_timers.KillTimer(m_nTimerId);
        if (m_pApp->m_nSource != SourceNone)
            m_pCameraDoc->StopAcquisition();
        m_grey = {};
        m_pResultDoc->MoveFrameTo(m_pCameraDoc->m_nWidth + kLiveFrameGap, 0);
        Documents()->CascadeAndFitAll();
    }
    QDialog::reject();
}
