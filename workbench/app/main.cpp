// Fralo: the imaging workbench.
//
// Fralo [image file]
// With FRALO_SNAPSHOT=<file.png> in the environment the program saves a
// picture of its main window to that file once it is shown, then exits
// (used by the smoke test and for screenshots); its messages then go to the
// standard error output instead of waiting in a message box, so that a start
// that fails ends too.
#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QTranslator>

#include "fralo_app.h"
#include "qt_french.h"
#include "workbench/common/user_message.h"
#include "workbench/frame/main_frame.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QTranslator french;
    if (LoadQtFrench(&french))
        QApplication::installTranslator(&french);
    const QString snapshot = qEnvironmentVariable("FRALO_SNAPSHOT");
    if (!snapshot.isEmpty())
        SetMessageSink([](const QString& text, MessageButtons buttons) {
            std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
            return buttons == MessageButtons::Ok ? AnswerOk : AnswerNo;
        });
    CFraloApp app;
    QStringList arguments = QApplication::arguments().mid(1);
    if (!app.InitInstance(arguments,
                          QDir::current().absoluteFilePath(QStringLiteral("config.dat"))))
        return 1;
    if (!snapshot.isEmpty())
        QTimer::singleShot(500, [&] {
            app.MainFrame()->grab().save(snapshot);
            app.MainFrame()->close();
        });
    return app.ExitInstance(application.exec());
}
