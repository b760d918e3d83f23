#include "phase_commands.h"

#include <QTabBar>

#include "phase_acq_dlg.h"
#include "time_average_dlg.h"
#include "workbench/faces/bench_projector.h"
#include "workbench/faces/workbench_settings.h"

void RunPhaseAcquisitionDialog(QWidget& frame, BenchProjector* bench)
{
    CPhaseAcqDlg dialog(Settings(), ondula::SteadyClock(), &frame, bench);
    // The bench's projector shows its pattern as long as the projector page does.
    if (bench)
        QObject::connect(dialog.Tabs(), &QTabBar::currentChanged, [bench] { bench->Hide(); });
    dialog.exec();
    if (bench)
        bench->Hide();
}

void RunTimeAverageDialog(QWidget& frame)
{
    CTimeAverageDlg dialog(Settings(), ondula::SteadyClock(), &frame);
    dialog.exec();
}
