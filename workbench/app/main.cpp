// Fralo: the imaging workbench.
//
// Fralo [image file]
// With FRALO_SNAPSHOT=<file.png> in the environment the program saves a
// picture of its main window to that file once it is shown, then exits
// (used by the smoke test and for screenshots).
#include <QApplication>
#include <QDir>
#include <QTimer>

#include "fralo_app.h"
#include "main_frame.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    CFraloApp app;
    QStringList arguments = QApplication::arguments().mid(1);
    if (!app.InitInstance(arguments,
                          QDir::current().absoluteFilePath(QStringLiteral("config.dat"))))
        return 1;
    const QString snapshot = qEnvironmentVariable("FRALO_SNAPSHOT");
    if (!snapshot.isEmpty())
        QTimer::singleShot(500, [&] {
            app.MainFrame()->grab().save(snapshot);
            app.MainFrame()->close();
        });
    return app.ExitInstance(application.exec());
}
