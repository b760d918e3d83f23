#include "analysis_commands.h"

#include "demodulation_dlg.h"
#include "fringe_patterns_dlg.h"
#include "phase4_dlg.h"
#include "workbench/faces/workbench_settings.h"

void RunFringePatternsDialog(QWidget& frame)
{
    CFringePatternsDlg dialog(Settings(), &frame);
    dialog.exec();
}

void RunPhaseDialog(QWidget& frame)
{
    CPhase4Dlg dialog(Settings(), &frame);
    dialog.exec();
}

void RunDemodulationDialog(QWidget& frame)
{
    CDemodulationDlg dialog(Settings(), &frame);
    dialog.exec();
}
