#include "zone_view_commands.h"

#include "extract_image_dlg.h"
#include "false_color_dlg.h"
#include "fralo_app.h"
#include "main_frame.h"
#include "mask_dlg.h"
#include "real_time_dlg.h"

void RunFalseColourDialog(CMainFrame& frame)
{
    if (!frame.ActiveDocument())
        return;
    CFalseColorDlg dialog(FraloApp(), &frame);
    dialog.exec();
}

void RunRealTimeDialog(CMainFrame& frame)
{
    if (!frame.ActiveDocument())
        return;
    CRealTimeDlg dialog(FraloApp(), &frame);
    dialog.exec();
}

void OpenMaskDialog(CMainFrame& frame)
{
    CFraloApp* app = FraloApp();
    if (app->m_pMaskDlg || !frame.ActiveDocument())
        return;
    app->m_pMaskDlg = new CMaskDlg(app, &frame);
}

void OpenExtractDialog(CMainFrame& frame)
{
    CFraloApp* app = FraloApp();
    if (app->m_pExtractDlg)
        return;
    app->m_pExtractDlg = new CExtractImageDlg(app, &frame);
}
