#include "phase_commands.h"

#include <QTabBar>

#include "fralo_app.h"
#include "main_frame.h"
#include "optical_bench_switch.h"
#include "phase_acq_dlg.h"
#include "time_average_dlg.h"

void RunPhaseAcquisitionDialog(CMainFrame& frame)
{
    CFraloApp* app = FraloApp();
    OpticalBenchSession* bench = app->Bench();
    CPhaseAcqDlg dialog(app, ondula::SteadyClock(), &frame, bench);
    // The bench's projector shows its pattern as long as the projector page does.
    if (bench)
        QObject::connect(dialog.Tabs(), &QTabBar::currentChanged, [bench] { bench->Hide(); });
    dialog.exec();
    if (bench)
        bench->Hide();
}

void RunTimeAverageDialog(CMainFrame& frame)
{
    CTimeAverageDlg dialog(FraloApp(), ondula::SteadyClock(), &frame);
    dialog.exec();
}
