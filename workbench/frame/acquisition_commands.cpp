// The main frame's acquisition commands: live and frozen acquisition of the
// active document, the acquisition sources, the default size, the
// mouse-coordinates window and the camera settings.
#include "main_frame.h"
#include "workbench/common/user_message.h"
#include "workbench/core/acquisition_sources.h"
#include "workbench/core/camera_settings.h"
#include "workbench/core/command_ids.h"
#include "workbench/core/frame_grabber_port.h"
#include "workbench/dialogs/firewire_camera_dlg.h"
#include "workbench/dialogs/mouse_coords_dlg.h"
#include "workbench/dialogs/usb_camera_dlg.h"
#include "workbench/dialogs/window_size_dlg.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/faces/documents.h"
#include "workbench/faces/workbench_settings.h"

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
