#include "phase_commands.h"

#include "fralo_app.h"
#include "main_frame.h"
#include "phase_acq_dlg.h"
#include "time_average_dlg.h"

void RunPhaseAcquisitionDialog(CMainFrame& frame)
{
    CPhaseAcqDlg dialog(FraloApp(), ondula::SteadyClock(), &frame);
    dialog.exec();
}

void RunTimeAverageDialog(CMainFrame& frame)
{
    CTimeAverageDlg dialog(FraloApp(), ondula::SteadyClock(), &frame);
    dialog.exec();
}
