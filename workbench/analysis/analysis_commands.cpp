#include "analysis_commands.h"

#include "demodulation_dlg.h"
#include "fralo_app.h"
#include "fringe_patterns_dlg.h"
#include "main_frame.h"
#include "phase4_dlg.h"

void RunFringePatternsDialog(CMainFrame& frame)
{
    CFringePatternsDlg dialog(FraloApp(), &frame);
    dialog.exec();
}

void RunPhaseDialog(CMainFrame& frame)
{
    CPhase4Dlg dialog(FraloApp(), &frame);
    dialog.exec();
}

void RunDemodulationDialog(CMainFrame& frame)
{
    CDemodulationDlg dialog(FraloApp(), &frame);
    dialog.exec();
}
