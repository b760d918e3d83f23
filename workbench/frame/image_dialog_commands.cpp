// The commands of the image-operation dialogs: each runs its dialog modally.
#include <imageproc/plane_buffers.h>

#include "main_frame.h"
#include "workbench/common/user_message.h"
#include "workbench/dialogs/calibration_dlg.h"
#include "workbench/dialogs/convolution_dlg.h"
#include "workbench/dialogs/dialog_support.h"
#include "workbench/dialogs/luminance_gamma_dlg.h"
#include "workbench/dialogs/math_ops_dlg.h"
#include "workbench/dialogs/multiply_dlg.h"
#include "workbench/dialogs/resize_dlg.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/faces/documents.h"
#include "workbench/faces/workbench_settings.h"

namespace {

// Runs the dialog of type Dialog on the active document, when there is one.
template <class Dialog> void RunOnActiveDocument(CMainFrame& frame)
{
    if (CFraloDoc* doc = frame.ActiveDocument()) {
        Dialog dialog(*doc, &frame);
        dialog.exec();
    }
}

// Runs the dialog of type Dialog, which computes on grey levels and colours,
// on the active document; refuses an image of another pixel type.
template <class Dialog> void RunOnByteImage(CMainFrame& frame)
{
    CFraloDoc* doc = frame.ActiveDocument();
    if (doc && ViewPlanes(doc->m_image).channels == 0)
        return RefuseOtherPixelTypes();
    RunOnActiveDocument<Dialog>(frame);
}

} // namespace

void CMainFrame::OnMathLogic()
{
    CMathOpsDlg dialog(this);
    dialog.exec();
}

void CMainFrame::OnFilter() { RunOnByteImage<CConvolutionDlg>(*this); }
void CMainFrame::OnBrightness() { RunOnByteImage<CLuminanceGammaDlg>(*this); }
void CMainFrame::OnMultiply() { RunOnByteImage<CMultiplyDlg>(*this); }
void CMainFrame::OnResize() { RunOnActiveDocument<CResizeDlg>(*this); }
void CMainFrame::OnCalibrate()
{
    RunOnActiveDocument<CCalibrationDlg>(*this);
    if (!m_pApp->m_pMouseCoordsDlg)
        OnMouseCoords();
}
