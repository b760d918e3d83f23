#include "analysis_commands.h"

#include "demodulation_dlg.h"
#include "faces/workbench_settings.h"
#include "fringe_patterns_dlg.h"
#include "phase4_dlg.h"

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
