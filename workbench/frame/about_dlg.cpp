#include "about_dlg.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

#include "workbench/common/desktop_open.h"
#include "workbench/common/user_message.h"
#include "workbench/core/change_history.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8("A propos de Ondula4"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Ondula4")));
    auto* history = new QListWidget(this);
    history->setObjectName(QStringLiteral("history"));
    for (const char* line : ChangeHistory())
        history->addItem(QString::fromUtf8(line));
    // Wide enough for the longest line where the screen allows; a longer
    // line wraps rather than asking for a horizontal scroll bar.
    history->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    history->setWordWrap(true);
    history->setResizeMode(QListView::Adjust);
    int lines = history->sizeHintForColumn(0) + 2 * history->frameWidth() +
                history->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        lines = std::min(lines, screen->availableGeometry().width() * 3 / 4);
    history->setMinimumWidth(lines);
    layout->addWidget(history);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton* help =
        buttons->addButton(QString::fromUtf8("&Aide en ligne"), QDialogButtonBox::ActionRole);
    help->setObjectName(QStringLiteral("onlineHelp"));
    connect(help, &QPushButton::clicked, this, &CAboutDlg::OnOnlineHelp);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

QString CAboutDlg::HelpPageAddress() { return QStringLiteral("https://www.ondula.fr/ondula4/"); }

void CAboutDlg::OnOnlineHelp()
{
    if (!OpenWithDesktop(QUrl(HelpPageAddress())))
        UserMessage(QString::fromUtf8("La dernière version du logiciel est disponible sous :\n") +
                    HelpPageAddress());
}
