// The main frame's acquisition commands: live and frozen acquisition of the
// active document, the acquisition sources, the default size, the
// mouse-coordinates window and the camera settings.
#include "acquisition_sources.h"
#include "camera_settings.h"
#include "command_ids.h"
#include "faces/documents.h"
#include "faces/workbench_settings.h"
#include "firewire_camera_dlg.h"
#include "fralo_doc.h"
#include "frame_grabber_port.h"
#include "main_frame.h"
#include "mouse_coords_dlg.h"
#include "usb_camera_dlg.h"
#include "user_message.h"
#include "window_size_dlg.h"

void CMainFrame::StartActiveAcquisition()
{
    CFraloDoc* doc = ActiveDocument();
    if (doc && !Documents()->AcquiringDoc())
        doc->StartAcquisition();
}

void CMainFrame::StopActiveAcquisition()
{
    CFraloDoc* doc = ActiveDocument();
    if (doc && Documents()->AcquiringDoc())
        doc->StopAcquisition();
}

void CMainFrame::ChooseSource(int id)
{
    const SourceCommand* command = FindSourceCommand(id);
    if (!command)
        return;
    FrameGrabberPort& grabbers = Documents()->Live().Grabbers();
    if (command->closesGrabbers)
        grabbers.CloseAll();
    int source = command->source;
    if (command->probeInterface) {
        VTuple values;
        const Vstatus status = grabbers.Info(command->probeInterface, command->probeQuery, &values);
        source = SourceAfterProbe(*command, status, values);
        if (source == SourceNone)
            UserMessage(QString::fromUtf8(command->probeFailure));
    }
    m_pApp->ChooseSource(source);
}

void CMainFrame::OnSourceNone() { ChooseSource(ID_SOURCE_NONE); }
void CMainFrame::OnSourceTwain() { ChooseSource(ID_SOURCE_TWAIN); }
void CMainFrame::OnSourceVfw() { ChooseSource(ID_SOURCE_VFW); }
void CMainFrame::OnSourceDirectShow() { ChooseSource(ID_SOURCE_DIRECTSHOW); }
void CMainFrame::OnSourceZephon2() { ChooseSource(ID_SOURCE_ZEPHON2); }
void CMainFrame::OnSourceIeee1394() { ChooseSource(ID_SOURCE_IEEE1394); }
void CMainFrame::OnSourceUsbCameraLarge() { ChooseSource(ID_SOURCE_USB_LARGE); }
void CMainFrame::OnSourceUsbCameraSmall() { ChooseSource(ID_SOURCE_USB_SMALL); }
void CMainFrame::OnSourceTalvo() { ChooseSource(ID_SOURCE_TALVO); }

void CMainFrame::OnDefaultSize()
{
    CWindowSizeDlg dialog(this);
    dialog.OnInitDialog();
    dialog.exec();
}

void CMainFrame::OnMouseCoords()
{
    if (CMouseCoordsDlg* open = m_pApp->m_pMouseCoordsDlg) {
        open->Close();
        return;
    }
    m_pApp->RegisterZoneWindow(new CMouseCoordsDlg(this));
    UpdateMouseCoords();
}

void CMainFrame::OnCameraSettings()
{
    switch (CameraDialogFor(m_pApp->m_nSource)) {
    case CameraDialog::Firewire: {
        CFirewireCameraDlg dialog(this);
        if (dialog.OnInitDialog())
            dialog.exec();
        break;
    }
    case CameraDialog::Usb: {
        CUsbCameraDlg dialog(this);
        if (dialog.OnInitDialog())
            dialog.exec();
        break;
    }
    case CameraDialog::None:
        break;
    }
}
