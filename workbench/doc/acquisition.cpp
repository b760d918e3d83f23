// Starting and stopping acquisition in a document, and the size a source allows.
#include <verodyn/operators.h>

#include <fgint/fgint.h>
#include <imageproc/plane_buffers.h>
#include <imageproc/quiet_library.h>

#include "fralo_doc.h"
#include "workbench/acquisition/kdlyra_cameras.h"
#include "workbench/acquisition/talvo_board.h"
#include "workbench/acquisition/vfw_capture_wnd.h"
#include "workbench/common/error_edge.h"
#include "workbench/common/user_message.h"
#include "workbench/core/acquisition_sources.h"
#include "workbench/core/frame_grabber_port.h"
#include "workbench/faces/documents.h"
#include "workbench/faces/image_view.h"
#include "workbench/faces/workbench_settings.h"

int CFraloDoc::StartAcquisition()
{
    // One acquisition at a time, whoever asks (menu, view, dialogs, phase pages).
    if (Documents()->AcquiringDoc())
        return m_pApp->m_nSource;
    QuietLibrary quiet;
    FrameGrabberPort& grabbers = Documents()->Live().Grabbers();
    grabbers.CloseAll();
    const int source = m_pApp->m_nSource;
    // Live frames are shown in the document's view: without one only TWAIN's
    // single image can be taken.
    if (!m_pView && source != SourceTwain)
        return source;
    // A source that gives nothing leaves the document as it was.
    const Vobject before = m_image;
    const int16_t width = m_nWidth, height = m_nHeight;
    ApplySourceSize(source);
    bool started = false;
    if (source == SourceTwain) {
        started = GrabTwainImage(grabbers);
    } else if (IsLibrarySource(source)) {
        started = StartLibraryGrabber(grabbers, source);
    } else if (source == SourceVfw) {
        started = StartCapture();
    } else if (source == SourceTalvo) {
        started = StartBoard();
    }
    if (started) {
        m_nKind = 0;
        ForgetFile();
    } else if (m_nWidth != width || m_nHeight != height) {
        TakeImageOfSize(before, width, height);
    }
    return m_pApp->m_nSource;
}

void CFraloDoc::FailStart(const std::string& message)
{
    m_pApp->DropSource();
    if (!message.empty())
        UserMessage(QString::fromStdString(message));
}

bool CFraloDoc::GrabTwainImage(FrameGrabberPort& grabbers)
{
    OpenTuple tuple;
    OpenTupleFor(SourceTwain, {}, &tuple);
    Documents()->Live().Acquire(*this);
    Vobject image;
    bool grabbed = false;
    if (grabbers.Open(tuple, &m_hGrabber) != V_OK) {
        UserMessage(QString::fromUtf8("Source Twain non trouvée !"));
    } else {
        // A grab the user cancels leaves the document as it was; so does a
        // scan with no 8-bit grey levels or colours (16 bits a channel), as
        // the user is told. The source answers a cancel and its own failures
        // alike, so only what fails beyond it (memory for the image, say) is
        // told.
        const Vstatus status = grabbers.GrabImage(&image, m_hGrabber);
        grabbed = status == V_OK;
        if (!grabbed && status != FG_ERR_GRAB)
            UserMessage(LibraryFailureText(status, grabbers.LastFailure()));
        if (grabbed && ViewPlanes(image).channels == 0) {
            RefuseOtherPixelTypes();
            grabbed = false;
        }
        // A document's sides are 16-bit: a larger scan is refused as a larger file is.
        const ImageShape shape = ShapeOf(image);
        if (grabbed && (shape.width > INT16_MAX || shape.height > INT16_MAX)) {
            UserMessage(LibraryFailureText(VERR_IMAGE_TOO_LARGE, {}));
            grabbed = false;
        }
        if (grabbed) {
            SetImage(image);
            if (m_pView)
                m_pView->SetWindowExtents(m_nWidth, m_nHeight);
            UpdateScrollSizes(m_nWidth, m_nHeight);
            UpdateTitle();
            m_nKind = 0;
            FitFrameToImage(m_nWidth, m_nHeight);
            if (m_pView)
                m_pView->DisplayImage();
        }
        grabbers.Close(m_hGrabber);
    }
    Documents()->Live().End();
    return grabbed;
}

bool CFraloDoc::StartLibraryGrabber(FrameGrabberPort& grabbers, int source)
{
    if (source == SourceUsbCameraLarge || source == SourceUsbCameraSmall)
        ListCameraOfSourceFirst(source);
    OpenTuple tuple;
    OpenTupleFor(source, {m_nWidth, m_nHeight, m_pApp->m_nDefaultWidth, m_pApp->m_fCameraGain},
                 &tuple);
    if (grabbers.Open(tuple, &m_hGrabber) != V_OK) {
        const std::string reason = grabbers.LastFailure();
        FailStart(StartFailureMessage(source) + (reason.empty() ? "" : "\n" + reason));
        return false;
    }
    if (source == SourceUsbCameraLarge || source == SourceUsbCameraSmall) {
        // The camera may refuse the size; its answers are not looked at.
        grabbers.SetParam(m_hGrabber, "ImageHeight", VTuple(int(m_pApp->m_nDefaultHeight)));
        grabbers.SetParam(m_hGrabber, "ImageWidth", VTuple(int(m_pApp->m_nDefaultWidth)));
        grabbers.SetParam(m_hGrabber, "Camera/Expose_us", VTuple(int(m_pApp->m_nExposureUs)));
    }
    const DisplayedPart part =
        LiveDisplayedPart(source, m_pApp->m_nDefaultWidth, m_pApp->m_nDefaultHeight);
    m_pView->SetDisplayedPart(part.rows, part.columns);
    m_pView->StartLiveTimer(this);
    return true;
}

bool CFraloDoc::StartCapture()
{
    m_pVfwCapture = std::make_unique<CVfwCaptureWnd>(m_nWidth, m_nHeight);
    if (!m_pVfwCapture->Create(m_pView->CaptureParent())) {
        m_pVfwCapture.reset();
        FailStart(StartFailureMessage(SourceVfw));
        return false;
    }
    Documents()->Live().Acquire(*this);
    m_pVfwCapture->StartPreview();
    return true;
}

bool CFraloDoc::StartBoard()
{
    CTalvoBoard& board = Documents()->TalvoBoard();
    int width = 0, height = 0;
    if (const int code = board.InitTalvo(&width, &height)) {
        FailStart(TalvoInitFailureMessage(width, height, code));
        return false;
    }
    if (const int code = board.AcqPermTalvo(m_pView->ReleaseDisplayWindow())) {
        board.Release();
        m_pView->RestoreDisplayWindow();
        FailStart(TalvoAcqFailureMessage(code));
        return false;
    }
    Documents()->Live().Acquire(*this);
    return true;
}

void CFraloDoc::StopAcquisition()
{
    if (Documents()->AcquiringDoc())
        EndAcquisition(true);
    ResizeImageToSize();
}

void CFraloDoc::EndAcquisition(bool lastFrame)
{
    CFraloDoc* acquiring = Documents()->AcquiringDoc();
    const int source = m_pApp->m_nSource;
    if (acquiring && source == SourceVfw && acquiring->m_pVfwCapture) {
        acquiring->FreezeCapture();
    } else if (acquiring && source == SourceTalvo) {
        acquiring->FreezeBoard();
    } else if (acquiring && lastFrame && acquiring->m_pView) {
        acquiring->m_pView->StopLiveTimer();
        return;
    }
    Documents()->Live().End();
}

void CFraloDoc::FreezeCapture()
{
    m_pVfwCapture->GrabFrame();
    PlaneBuffers planes;
    if (m_pVfwCapture->ReadFrame(&planes))
        planes.channels = 1;
    m_pVfwCapture.reset();
    Vobject image;
    if (MakeImageFromPlanes(planes, &image))
        SetImage(image);
    m_pView->DisplayImage();
}

void CFraloDoc::FreezeBoard()
{
    CTalvoBoard& board = Documents()->TalvoBoard();
    PlaneBuffers planes;
    planes.width = m_nWidth;
    planes.height = m_nHeight;
    planes.channels = 1;
    for (auto& plane : planes.planes)
        plane.assign(std::size_t(m_nWidth) * std::size_t(m_nHeight), 0);
    board.GrabRGB(planes.planes[0].data(), planes.planes[1].data(), planes.planes[2].data(),
                  m_nWidth, m_nHeight);
    board.Release();
    // The display window goes back into this document's view, where the board drew.
    m_pView->RestoreDisplayWindow();
    Vobject image;
    if (MakeImageFromPlanes(planes, &image))
        SetImage(image);
    m_pView->DisplayImage();
}

void CFraloDoc::ResizeImageToSize()
{
    {
        QuietLibrary quiet;
        // A frame already of the document's size is kept: zooming it to its
        // own size copies it for nothing.
        int width = 0, height = 0;
        const bool sized = get_image_pointer1(m_image, nullptr, nullptr, &width, &height) == V_OK &&
                           width == m_nWidth && height == m_nHeight;
        Vobject resized;
        if (!sized && zoom_image_size(m_image, &resized, m_nWidth, m_nHeight, "constant") == V_OK)
            m_image = resized;
    }
    if (m_pView)
        m_pView->DisplayImage();
}

void CFraloDoc::ApplySourceSize(int source)
{
    m_pApp->IsSizeAllowed(source, m_nWidth, m_nHeight);
    const int16_t width = m_pApp->m_nDefaultWidth, height = m_pApp->m_nDefaultHeight;
    if (m_nWidth == width && m_nHeight == height)
        return;
    Vobject blank;
    {
        QuietLibrary quiet;
        gen_image_const(&blank, "byte", width, height);
    }
    TakeImageOfSize(blank, width, height);
}

void CFraloDoc::TakeImageOfSize(const Vobject& image, int16_t width, int16_t height)
{
    m_nWidth = width;
    m_nHeight = height;
    FitFrameToImage(width, height);
    UpdateScrollSizes(width, height);
    UpdateTitle();
    if (m_pView)
        m_pView->SetWindowExtents(width, height);
    m_image = image;
    if (m_pView)
        m_pView->DisplayImage();
}
