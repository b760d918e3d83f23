// The application object that widget benchmarks need, on the offscreen
// platform unless one is set; made on the first call.
#pragma once

#include <QApplication>

inline QApplication& OffscreenApplication()
{
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication application(argc, argv);
    return application;
}
