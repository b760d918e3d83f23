// The QApplication of a benchmark program: one per process, on the offscreen
// platform unless QT_QPA_PLATFORM names another.
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
