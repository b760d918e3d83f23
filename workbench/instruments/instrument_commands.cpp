#include "instrument_commands.h"

#include "c832_move_dlg.h"
#include "fralo_app.h"
#include "main_frame.h"
#include "overtravel_dlg.h"
#include "piezo_dlg.h"
#include "stepper_dlg.h"

void RunPiezoDialog(CMainFrame& frame)
{
    CPiezoDlg dialog(FraloApp(), ondula::SteadyClock(), &frame);
    dialog.exec();
}

void RunC832MoveDialog(CMainFrame& frame)
{
    CC832MoveDlg dialog(ondula::SteadyClock(), &frame);
    dialog.exec();
}

void RunOvertravelDialog(CMainFrame& frame)
{
    COvertravelDlg dialog(ondula::SteadyClock(), &frame);
    dialog.exec();
}

void RunStepperDialog(CMainFrame& frame)
{
    CStepperDlg dialog(ondula::SteadyClock(), &frame);
    dialog.exec();
}
