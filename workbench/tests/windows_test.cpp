#include <QApplication>
#include <QFileDialog>
#include <QListWidget>
#include <QMdiArea>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QTranslator>

#include <fstream>

#include <verodyn/operators.h>

#include "about_dlg.h"
#include "qt_french.h"
#include "tiff_samples.h"
#include "tool_bar_icons.h"
#include "widget_fixture.h"

namespace {

class WindowsTest : public WorkbenchTest {
protected:
    QRect Area() const { return {QPoint(0, 0), frame->MdiArea()->maximumViewportSize()}; }
    QRect Geometry(CFraloDoc* doc) const { return doc->m_pChildFrame->geometry(); }
    CFraloDoc* NewDocument(int width, int height)
    {
        app->m_nDefaultWidth = static_cast<int16_t>(width);
        app->m_nDefaultHeight = static_cast<int16_t>(height);
        return app->NewImageDocument(0, 0);
    }
    // The visible top-level menus, and the texts of one of them.
    QStringList MenuTitles() const
    {
        QStringList titles;
        for (QAction* a : frame->menuBar()->actions())
            if (a->isVisible())
                titles.append(a->text());
        return titles;
    }
    QStringList Texts(const QString& title) const
    {
        QStringList texts;
        for (QAction* a : frame->menuBar()->actions())
            if (a->isVisible() && a->text() == title)
                for (QAction* item : a->menu()->actions())
                    texts.append(item->text());
        return texts;
    }
    // Runs command `id`, answering the file dialog it opens by `answer` (which
    // rejects it unless it accepts); returns whether a dialog came.
    bool RunWithFileDialog(int id, const std::function<void(QFileDialog*)>& answer)
    {
        bool seen = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                seen = true;
                answer(dialog);
                if (dialog->isVisible())
                    dialog->reject();
            }
        });
        watch.start(10);
        frame->Execute(id);
        return seen;
    }
};

TEST_F(WindowsTest, MaximisedFramesFillTheAreaWhateverOpensOrIsPasted)
{
    CFraloDoc* first = frame->ActiveDocument();
    first->m_pChildFrame->showMaximized();
    // The document opened while one is maximised comes maximised.
    CFraloDoc* second = NewDocument(200, 150);
    EXPECT_TRUE(second->m_pChildFrame->isMaximized());
    EXPECT_EQ(Geometry(second).size(), Area().size());
    frame->Execute(ID_EDIT_COPY);
    frame->MdiArea()->setActiveSubWindow(first->m_pChildFrame);
    ASSERT_TRUE(frame->Execute(ID_EDIT_PASTE));
    EXPECT_EQ(first->m_nWidth, 200);
    EXPECT_TRUE(first->m_pChildFrame->isMaximized());
    EXPECT_EQ(Geometry(first).size(), Area().size());
}

TEST_F(WindowsTest, NewDocumentsAndPastesStayInsideTheVisibleArea)
{
    CFraloDoc* large = NewDocument(1000, 900);
    EXPECT_TRUE(Area().contains(Geometry(large))) << Geometry(large).x();
    EXPECT_EQ(Geometry(large).size(), Area().size());

    CFraloDoc* small = NewDocument(100, 80);
    small->MoveFrameTo(Area().width() - 150, Area().height() - 120);
    frame->MdiArea()->setActiveSubWindow(large->m_pChildFrame);
    frame->Execute(ID_EDIT_COPY);
    frame->MdiArea()->setActiveSubWindow(small->m_pChildFrame);
    ASSERT_TRUE(frame->Execute(ID_EDIT_PASTE));
    EXPECT_EQ(small->m_nWidth, 1000);
    EXPECT_EQ(Geometry(small), Area());
}

TEST_F(WindowsTest, CascadeKeepsEachFrameAtItsFittedSize)
{
    CFraloDoc* a = frame->ActiveDocument();
    CFraloDoc* b = NewDocument(200, 150);
    CFraloDoc* c = NewDocument(300, 100);
    b->m_pChildFrame->showMaximized();
    frame->MdiArea()->setActiveSubWindow(c->m_pChildFrame);
    ASSERT_TRUE(frame->Execute(ID_WINDOW_CASCADE));
    EXPECT_FALSE(b->m_pChildFrame->isMaximized());
    EXPECT_EQ(b->m_pChildFrame->ClientSize(), QSize(204, 154));
    EXPECT_EQ(c->m_pChildFrame->ClientSize(), QSize(304, 104));
    const QList<QMdiSubWindow*> pile = frame->MdiArea()->subWindowList(QMdiArea::StackingOrder);
    EXPECT_EQ(pile.last(), c->m_pChildFrame);
    const int step = pile[1]->x();
    EXPECT_GT(step, 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(pile[i]->pos(), QPoint(i * step, i * step)) << i;
    for (CFraloDoc* doc : {a, b, c})
        EXPECT_TRUE(Area().contains(Geometry(doc)));
}

TEST_F(WindowsTest, Menu128WithoutDocumentsAnd129WithThem)
{
    const QStringList menu129 = {"&Fichier",
                                 "&Edition",
                                 QString::fromUtf8("&Numériseur"),
                                 "&Visualisation",
                                 QString::fromUtf8("&Interférométrie"),
                                 "&Traitement",
                                 QString::fromUtf8("Fe&nêtre"),
                                 "&?"};
    EXPECT_EQ(frame->ShownMenu(), 129);
    EXPECT_EQ(MenuTitles(), menu129);
    EXPECT_TRUE(Texts("&Fichier").contains("&Enregistrer\tCtrl+S"));
    EXPECT_TRUE(Texts(QString::fromUtf8("&Interférométrie"))
                    .contains(QString::fromUtf8("&Générer 4 mires sinusoïdales...")));

    frame->Execute(ID_FILE_CLOSE);
    frame->UpdateCommandUI();
    EXPECT_EQ(frame->ShownMenu(), 128);
    EXPECT_EQ(MenuTitles(),
              (QStringList{"&Fichier", QString::fromUtf8("&Numériseur"), "&Visualisation",
                           QString::fromUtf8("&Interférométrie"), "&Traitement", "&?"}));
    const QStringList file = Texts("&Fichier");
    EXPECT_TRUE(file.contains("&Nouveau\tCtrl+N"));
    EXPECT_TRUE(file.contains(QString::fromUtf8("&Configuration de l'impression...")));
    for (const char* absent : {"&Enregistrer\tCtrl+S", "&Fermer", "&Imprimer...\tCtrl+P"})
        EXPECT_FALSE(file.contains(QString::fromUtf8(absent))) << absent;
    const QStringList fringe = Texts(QString::fromUtf8("&Interférométrie"));
    EXPECT_TRUE(fringe.contains(QString::fromUtf8("&Génération de 4 mires ...")));
    EXPECT_FALSE(fringe.contains(QString::fromUtf8("&Générer 4 mires sinusoïdales...")));

    ASSERT_TRUE(frame->Execute(ID_FILE_NEW));
    EXPECT_EQ(MenuTitles(), menu129);
}

TEST_F(WindowsTest, RecentFilesOpensOnceItHasEntries)
{
    QList<QMenu*> recentMenus;
    for (QMenu* menu : frame->menuBar()->findChildren<QMenu*>())
        if (menu->title() == QString::fromUtf8("Fichiers récents"))
            recentMenus.append(menu);
    ASSERT_EQ(recentMenus.size(), 2);
    frame->UpdateCommandUI();
    for (QMenu* menu : recentMenus)
        EXPECT_FALSE(menu->menuAction()->isEnabled());
    app->AddToRecentFileList(Path("seen.tif"));
    frame->UpdateCommandUI();
    for (QMenu* menu : recentMenus) {
        EXPECT_TRUE(menu->menuAction()->isEnabled());
        EXPECT_EQ(menu->actions().first()->text(), "&1 " + Path("seen.tif"));
    }
}

TEST_F(WindowsTest, ReadyComesBackWheneverNoOtherMessageIsShown)
{
    QStatusBar* bar = frame->statusBar();
    bar->showMessage("Ouverture...");
    EXPECT_EQ(bar->currentMessage(), QString::fromUtf8("Ouverture..."));
    bar->clearMessage();
    EXPECT_EQ(bar->currentMessage(), QString::fromUtf8("Prêt"));
    // Leaving a menu item sends an empty tip.
    QStatusTipEvent tip{QString()};
    QApplication::sendEvent(frame, &tip);
    EXPECT_EQ(bar->currentMessage(), QString::fromUtf8("Prêt"));
}

TEST_F(WindowsTest, WindowMenuListsTheDocumentsWithTheActiveOneChecked)
{
    CFraloDoc* first = frame->ActiveDocument();
    CFraloDoc* second = NewDocument(120, 110);
    QMenu* window = nullptr;
    for (QAction* a : frame->menuBar()->actions())
        if (a->text() == QString::fromUtf8("Fe&nêtre"))
            window = a->menu();
    ASSERT_NE(window, nullptr);
    Q_EMIT window->aboutToShow();
    QStringList texts;
    QList<bool> checked;
    QList<QAction*> entries;
    for (QAction* a : window->actions())
        if (a->isCheckable()) {
            entries.append(a);
            texts.append(a->text());
            checked.append(a->isChecked());
        }
    EXPECT_EQ(texts, (QStringList{"&1 " + first->Title(), "&2 Image1 (120x110)"}));
    EXPECT_EQ(checked, (QList<bool>{false, true}));
    entries[0]->trigger();
    EXPECT_EQ(frame->ActiveDocument(), first);
    EXPECT_EQ(second->m_pChildFrame->windowTitle(), "Image1 (120x110)");
}

TEST_F(WindowsTest, FileDialogsStartInTheFolderLastUsed)
{
    QDir(dir.path()).mkdir("images");
    const QString folder = Path("images");
    ASSERT_TRUE(frame->SaveActiveAs(Path("images/a.tif")));
    EXPECT_EQ(app->LastFolder(), folder);
    QString shown;
    ASSERT_TRUE(
        RunWithFileDialog(ID_OPEN, [&](QFileDialog* d) { shown = d->directory().absolutePath(); }));
    EXPECT_EQ(shown, folder);
    ASSERT_TRUE(RunWithFileDialog(ID_SAVE_AS,
                                  [&](QFileDialog* d) { shown = d->selectedFiles().value(0); }));
    EXPECT_EQ(shown, Path("images/a.tif"));
}

TEST_F(WindowsTest, SaveNeverWritesEightBitsOverADeeperFile)
{
    samples::TiffSpec spec;
    spec.width = 3;
    spec.height = 2;
    spec.bits = 16;
    spec.planes = {{0, 1000, 2000, 30000, 40000, 65535}};
    const std::vector<uint8_t> bytes = samples::make_tiff(spec);
    std::ofstream(Path("deep.tif").toStdString(), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    const auto size = [this] { return QFile(Path("deep.tif")).size(); };
    ASSERT_TRUE(frame->OpenFile(Path("deep.tif")));
    CFraloDoc* doc = frame->ActiveDocument();
    EXPECT_EQ(doc->m_nFileBits, 16);

    bool asAccept = false;
    EXPECT_TRUE(RunWithFileDialog(
        ID_SAVE, [&](QFileDialog* d) { asAccept = d->acceptMode() == QFileDialog::AcceptSave; }));
    EXPECT_TRUE(asAccept);
    EXPECT_EQ(size(), qint64(bytes.size()));

    answer = AnswerNo;
    EXPECT_FALSE(frame->SaveActiveAs(Path("deep.tif")));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0],
              QString::fromUtf8("Ce fichier a 16 bits par échantillon ; l'image y sera "
                                "enregistrée sur 8 bits et cette précision sera "
                                "perdue. Voulez-vous le remplacer ?"));
    EXPECT_EQ(size(), qint64(bytes.size()));
    ASSERT_TRUE(frame->SaveActiveAs(Path("copy.tif")));
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(doc->m_nFileBits, 8);
    EXPECT_FALSE(RunWithFileDialog(ID_SAVE, [](QFileDialog*) {}));

    ASSERT_TRUE(frame->OpenFile(Path("deep.tif")));
    answer = AnswerYes;
    ASSERT_TRUE(frame->SaveActiveAs(Path("deep.tif")));
    EXPECT_EQ(messages.size(), 2);
    int bits = 0;
    ASSERT_EQ(read_image_depth(Path("deep.tif").toLocal8Bit().constData(), &bits), V_OK);
    EXPECT_EQ(bits, 8);
}

TEST_F(WindowsTest, ToolBarIconsShowTheirCommandAndGreyWhenDisabled)
{
    frame->UpdateCommandUI();
    for (const ToolBarIconName& name : ToolBarIconNames()) {
        EXPECT_EQ(QImage(QString::fromLatin1(name.fallback)).size(), QSize(16, 16)) << name.theme;
        QIcon icon = frame->Action(name.id)->icon();
        ASSERT_FALSE(icon.isNull()) << name.theme;
        if (QIcon::hasThemeIcon(QLatin1String(name.theme))) {
            EXPECT_EQ(icon.name(), QLatin1String(name.theme));
        }
        EXPECT_NE(icon.pixmap(16, QIcon::Disabled).toImage(),
                  icon.pixmap(16, QIcon::Normal).toImage())
            << name.theme;
    }
    EXPECT_FALSE(frame->Action(ID_LIVE_ACQUISITION)->isEnabled());
}

TEST_F(WindowsTest, AboutBoxHistoryNeedsNoHorizontalScrolling)
{
    CAboutDlg about;
    about.show();
    QApplication::processEvents();
    auto* history = about.findChild<QListWidget*>("history");
    EXPECT_EQ(history->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_GE(history->viewport()->width(), history->sizeHintForColumn(0));
}

TEST_F(WindowsTest, QtDialogsSpeakFrench)
{
    QTranslator french;
    ASSERT_TRUE(LoadQtFrench(&french));
    QApplication::installTranslator(&french);
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), "&Oui");
    EXPECT_EQ(box.button(QMessageBox::No)->text(), "&Non");
    EXPECT_EQ(QCoreApplication::translate("QMdiSubWindow", "&Restore"), "&Restaurer");
    EXPECT_EQ(QCoreApplication::translate("QPrintDialog", "Print"), "Imprimer");
}

} // namespace
