#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QMenuBar>
#include <QMouseEvent>
#include <QToolBar>
#include <QToolButton>
#include <QWhatsThis>

#include "widget_fixture.h"
#include "workbench/frame/help_file.h"

namespace {

// A menu item's text as the help page writes it.
QString Readable(const QAction* action)
{
    return action->text().section('\t', 0, 0).remove('&').toHtmlEscaped();
}

TEST_F(WorkbenchTest, HelpPageHoldsEveryMenuCommandWithItsPrompt)
{
    const QString page = HelpPage();
    QList<QAction*> commands;
    for (QMenu* menu : frame->menuBar()->findChildren<QMenu*>())
        for (QAction* action : menu->actions())
            if (!action->isSeparator() && !action->menu())
                commands.append(action);
    for (QAction* action : frame->ActiveView()->CreateContextMenu()->actions())
        commands.append(action);
    commands.append(frame->Action(ID_CONTEXT_HELP));
    ASSERT_GT(commands.size(), 80);
    for (QAction* action : commands) {
        const QString text = action->text();
        EXPECT_FALSE(action->statusTip().isEmpty()) << text.toStdString();
        EXPECT_EQ(action->whatsThis(), action->statusTip()) << text.toStdString();
        EXPECT_TRUE(page.contains(action->statusTip().toHtmlEscaped())) << text.toStdString();
        // The recent files are named only once a file was opened.
        if (!text.isEmpty()) {
            EXPECT_TRUE(page.contains(Readable(action))) << text.toStdString();
        }
    }
    EXPECT_TRUE(page.contains(QString::fromUtf8("<h2>Menu Numériseur &gt; Dravik</h2>")));
    EXPECT_TRUE(page.contains(QString::fromUtf8(
        "<tr><td>Copier</td><td>Ctrl+C</td><td>Copie l'image active dans le presse-papier</td>")));
    EXPECT_TRUE(page.contains(QString::fromUtf8(
        "<tr><td>Aide contextuelle</td><td>Shift+F1</td><td>Affiche l'aide de la prochaine "
        "commande cliquée</td>")));
}

TEST_F(WorkbenchTest, HelpTopicsOpenTheWrittenPageOrSayWhereItIs)
{
    const QList<QUrl> opened = OpenedRunningTwice(ID_HELP_INDEX);
    const QString path = HelpFilePath();
    EXPECT_EQ(opened, (QList<QUrl>{QUrl::fromLocalFile(path), QUrl::fromLocalFile(path)}));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), HelpPage());
    EXPECT_EQ(messages, QStringList{QString::fromUtf8(
                                        "Aucun programme n'a pu ouvrir l'aide, écrite dans :\n") +
                                    path});
}

TEST_F(WorkbenchTest, ContextHelpShowsThePromptOfTheNextCommandClickedInsteadOfRunningIt)
{
    EXPECT_EQ(frame->Action(ID_CONTEXT_HELP)->shortcut(), QKeySequence("Shift+F1"));
    frame->show();
    auto* newButton = qobject_cast<QToolButton*>(
        frame->findChild<QToolBar*>("toolbar128")->widgetForAction(frame->Action(ID_FILE_NEW)));
    ASSERT_NE(newButton, nullptr);
    EXPECT_EQ(newButton->whatsThis(), QString::fromUtf8("Crée un nouveau document image"));
    const qsizetype documents = frame->MdiArea()->subWindowList().size();

    ASSERT_TRUE(frame->Execute(ID_CONTEXT_HELP));
    EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const QPointF at = newButton->rect().center();
        QMouseEvent click(type, at, newButton->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(newButton, &click);
    }
    EXPECT_FALSE(QWhatsThis::inWhatsThisMode());
    EXPECT_EQ(frame->MdiArea()->subWindowList().size(), documents);
    bool shown = false;
    for (QWidget* window : QApplication::topLevelWidgets())
        shown = shown || (window->inherits("QWhatsThat") && window->isVisible());
    EXPECT_TRUE(shown);
    QWhatsThis::hideText();
}

} // namespace
