// A started workbench for the benchmarks: the application and its shown main
// window, its settings file in a scratch folder.
#pragma once

#include <QTemporaryDir>

#include "workbench/app/fralo_app.h"

struct StartedWorkbench {
    StartedWorkbench() { app.InitInstance({}, dir.filePath("config.dat")); }
    QTemporaryDir dir;
    CFraloApp app;
};
