#include "zone_view_commands.h"

#include "extract_image_dlg.h"
#include "false_color_dlg.h"
#include "mask_dlg.h"
#include "real_time_dlg.h"
#include "workbench/faces/documents.h"
#include "workbench/faces/workbench_settings.h"

void RunFalseColourDialog(QWidget& frame)
{
    if (!Documents()->ActiveDocument())
        return;
    CFalseColorDlg dialog(Settings(), &frame);
    dialog.exec();
}

void RunRealTimeDialog(QWidget& frame)
{
    if (!Documents()->ActiveDocument())
        return;
    CRealTimeDlg dialog(Settings(), &frame);
    dialog.exec();
}

void OpenMaskDialog(QWidget& frame)
{
    WorkbenchSettings* app = Settings();
    if (app->m_pMaskDlg || !Documents()->ActiveDocument())
        return;
    app->RegisterZoneWindow(new CMaskDlg(app, &frame));
}

void OpenExtractDialog(QWidget& frame)
{
    WorkbenchSettings* app = Settings();
    if (app->m_pExtractDlg)
        return;
    app->RegisterZoneWindow(new CExtractImageDlg(app, &frame));
}
