// The about box: program name, the dated change history and the way to the
// program's web page.
#pragma once

#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // The page address "&Aide en ligne" opens.
    static QString HelpPageAddress();
    // Opens the page in the web browser; when that fails, tells where the
    // latest version is. Also the frame's online help command.
    static void OnOnlineHelp();
};
