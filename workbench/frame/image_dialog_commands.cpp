// The commands of the image-operation dialogs: each runs its dialog modally.
#include "calibration_dlg.h"
#include "convolution_dlg.h"
#include "faces/documents.h"
#include "faces/workbench_settings.h"
#include "fralo_doc.h"
#include "luminance_gamma_dlg.h"
#include "main_frame.h"
#include "math_ops_dlg.h"
#include "multiply_dlg.h"
#include "resize_dlg.h"

namespace {

// Runs the dialog of type Dialog on the active document, when there is one.
template <class Dialog> void RunOnActiveDocument(CMainFrame& frame)
{
    if (CFraloDoc* doc = frame.ActiveDocument()) {
        Dialog dialog(*doc, &frame);
        dialog.exec();
    }
}

} // namespace

void CMainFrame::OnMathLogic()
{
    CMathOpsDlg dialog(this);
    dialog.exec();
}

void CMainFrame::OnFilter() { RunOnActiveDocument<CConvolutionDlg>(*this); }
void CMainFrame::OnBrightness() { RunOnActiveDocument<CLuminanceGammaDlg>(*this); }
void CMainFrame::OnMultiply() { RunOnActiveDocument<CMultiplyDlg>(*this); }
void CMainFrame::OnResize() { RunOnActiveDocument<CResizeDlg>(*this); }
void CMainFrame::OnCalibrate()
{
    RunOnActiveDocument<CCalibrationDlg>(*this);
    if (!m_pApp->m_pMouseCoordsDlg)
        OnMouseCoords();
}
