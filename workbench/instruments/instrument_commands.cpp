#include "instrument_commands.h"

#include "c832_move_dlg.h"
#include "overtravel_dlg.h"
#include "piezo_dlg.h"
#include "stepper_dlg.h"
#include "workbench/faces/workbench_settings.h"

void RunPiezoDialog(QWidget& frame)
{
    CPiezoDlg dialog(Settings(), ondula::SteadyClock(), &frame);
    dialog.exec();
}

void RunC832MoveDialog(QWidget& frame)
{
    CC832MoveDlg dialog(ondula::SteadyClock(), &frame);
    dialog.exec();
}

void RunOvertravelDialog(QWidget& frame)
{
    COvertravelDlg dialog(ondula::SteadyClock(), &frame);
    dialog.exec();
}

void RunStepperDialog(QWidget& frame)
{
    CStepperDlg dialog(ondula::SteadyClock(), &frame);
    dialog.exec();
}
