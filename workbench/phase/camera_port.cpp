#include "camera_port.h"

#include <utility>

#include <imageproc/plane_buffers.h>
#include <imageproc/quiet_library.h>
#include <verodyn/operators.h>

#include "metrology/acquisition/sequence_texts.h"
#include "metrology/kernels/phase4.h"
#include "workbench/acquisition/talvo_board.h"
#include "workbench/acquisition/vfw_capture_wnd.h"
#include "workbench/analysis/analysis_documents.h"
#include "workbench/core/acquisition_sources.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/faces/documents.h"
#include "workbench/faces/workbench_settings.h"

Vobject ZoomedImage(const Vobject& image, int width, int height)
{
    QuietLibrary quiet;
    Vobject zoomed;
    if (zoom_image_size(image, &zoomed, width, height, "constant") != V_OK)
        return {};
    return zoomed;
}

CameraPort::CameraPort(WorkbenchSettings& app, CFraloDoc& camera, int width, int height)
    : m_app(app), m_camera(camera), m_nWidth(width), m_nHeight(height)
{
}

bool CameraPort::Start()
{
    if (m_startedAhead)
        return *std::exchange(m_startedAhead, std::nullopt);
    return m_camera.StartAcquisition() != SourceNone;
}

void CameraPort::StartAhead() { m_startedAhead = m_camera.StartAcquisition() != SourceNone; }

void CameraPort::Stop()
{
    if (m_app.m_nSource != SourceNone)
        StopAcquisition();
}

void CameraPort::StopAcquisition()
{
    m_startedAhead.reset();
    m_camera.StopAcquisition();
}

bool CameraPort::IsRunning() const { return Documents()->AcquiringDoc() == &m_camera; }

bool CameraPort::Grab(std::uint8_t* plane)
{
    m_strFailure.clear();
    Vobject frame;
    PlaneBuffers grabbed;
    if (m_app.m_nSource == SourceVfw && m_camera.m_pVfwCapture) {
        m_camera.m_pVfwCapture->GrabFrame();
        if (!m_camera.m_pVfwCapture->ReadFrame(&grabbed) || !MakeImageFromPlanes(grabbed, &frame))
            return false;
    } else if (m_app.m_nSource == SourceTalvo) {
        grabbed.width = m_nWidth;
        grabbed.height = m_nHeight;
        grabbed.channels = 1;
        grabbed.planes[0].assign(std::size_t(m_nWidth) * std::size_t(m_nHeight), 0);
        Documents()->TalvoBoard().GrabGrey(grabbed.planes[0].data(), m_nWidth, m_nHeight);
        if (!MakeImageFromPlanes(grabbed, &frame))
            return false;
    } else {
        frame = m_camera.m_image;
    }
    // A zoom to the frame's own size changes nothing: such a frame is read as it is.
    metrology::ImagePlanes planes = ImagePlanesOf(frame);
    if (planes.width != m_nWidth || planes.height != m_nHeight) {
        if (Vobject zoomed = ZoomedImage(frame, m_nWidth, m_nHeight); !zoomed.empty())
            frame = zoomed;
        planes = ImagePlanesOf(frame);
    }
    // The message gives the frame's own channels and size, which its byte
    // planes would give as 0 for a frame without them (16-bit, say).
    if (planes.width != m_nWidth || planes.height != m_nHeight) {
        const ImageShape shape = ShapeOf(frame);
        m_strFailure = acquisition::Printf(acquisition::kFrameSizeFormat, shape.channels,
                                           shape.width, shape.height, m_nWidth);
        return false;
    }
    return metrology::ImageToPlane(planes, m_nWidth, m_nHeight, plane) ==
           metrology::PlaneStatus::Ok;
}
