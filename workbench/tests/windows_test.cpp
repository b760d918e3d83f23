#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QListWidget>
#include <QMdiArea>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTranslator>
#include <QTreeView>

#include <fstream>

#include <verodyn/operators.h>

#include "verodyn/tests/tiff_samples.h"
#include "widget_fixture.h"
#include "workbench/app/qt_french.h"
#include "workbench/frame/about_dlg.h"
#include "workbench/frame/tool_bar_icons.h"

namespace {

class WindowsTest : public WorkbenchTest {
protected:
    // These tests answer the program's own file dialogs.
    void SetUp() override
    {
        WorkbenchTest::SetUp();
        frame->SetSavePathChooser(nullptr);
    }
    QRect Area() const { return {QPoint(0, 0), frame->MdiArea()->maximumViewportSize()}; }
    static QRect Geometry(CFraloDoc* doc) { return doc->m_pChildFrame->geometry(); }
    CFraloDoc* NewDocument(int width, int height)
    {
        app->m_nDefaultWidth = static_cast<int16_t>(width);
        app->m_nDefaultHeight = static_cast<int16_t>(height);
        return app->NewImageDocument(0, 0);
    }
    // The texts of the visible top-level menus, each followed by its items.
    QStringList MenuTexts() const
    {
        QStringList texts;
        for (QAction* top : frame->menuBar()->actions())
            if (top->isVisible()) {
                texts.append(top->text());
                for (QAction* item : top->menu()->actions())
                    texts.append(item->text());
            }
        return texts;
    }
    // Runs command `id`; the file dialog it opens, if any, goes to `look`, then
    // is cancelled. True when a dialog came.
    bool RunWithFileDialog(int id, const std::function<void(QFileDialog*)>& look)
    {
        bool seen = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                seen = true;
                look(dialog);
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
    CFraloDoc* second = NewDocument(200, 150); // comes maximised
    EXPECT_EQ(Geometry(second).size(), Area().size());
    frame->Execute(ID_EDIT_COPY);
    frame->MdiArea()->setActiveSubWindow(first->m_pChildFrame);
    ASSERT_TRUE(frame->Execute(ID_EDIT_PASTE));
    EXPECT_TRUE(first->m_pChildFrame->isMaximized());
    EXPECT_EQ(Geometry(first).size(), Area().size());
}

TEST_F(WindowsTest, NewDocumentsAndPastesStayInsideTheVisibleArea)
{
    CFraloDoc* large = NewDocument(1000, 900);
    EXPECT_EQ(Geometry(large), Area());
    CFraloDoc* small = NewDocument(100, 80);
    small->MoveFrameTo(Area().width() - 150, Area().height() - 120);
    frame->MdiArea()->setActiveSubWindow(large->m_pChildFrame);
    frame->Execute(ID_EDIT_COPY);
    frame->MdiArea()->setActiveSubWindow(small->m_pChildFrame);
    ASSERT_TRUE(frame->Execute(ID_EDIT_PASTE));
    EXPECT_EQ(Geometry(small), Area());
}

TEST_F(WindowsTest, CascadeKeepsEachFrameAtItsFittedSize)
{
    NewDocument(200, 150)->m_pChildFrame->showMaximized();
    CFraloDoc* last = NewDocument(300, 100);
    ASSERT_TRUE(frame->Execute(ID_WINDOW_CASCADE));
    const QList<QMdiSubWindow*> pile = frame->MdiArea()->subWindowList(QMdiArea::StackingOrder);
    EXPECT_EQ(pile.last(), last->m_pChildFrame);
    const int step = pile[1]->x();
    EXPECT_GT(step, 0);
    for (int i = 0; i < 3; ++i) {
        CFraloDoc* doc = static_cast<CChildFrame*>(pile[i])->Document();
        EXPECT_EQ(pile[i]->pos(), QPoint(i * step, i * step)) << i;
        EXPECT_EQ(doc->m_pChildFrame->ClientSize(), QSize(doc->m_nWidth + 4, doc->m_nHeight + 4));
    }
}

TEST_F(WindowsTest, Menu128WithoutDocumentsAnd129WithThem)
{
    struct Case {
        const char* text;
        bool in129, in128;
    };
    const Case cases[] = {
        {"&Edition", true, false},
        {"Fe&nêtre", true, false},
        {"&Enregistrer\tCtrl+S", true, false},
        {"&Nouveau\tCtrl+N", true, true},
        {"&Générer 4 mires sinusoïdales...", true, false},
        {"&Génération de 4 mires ...", false, true},
    };
    const QStringList with = MenuTexts();
    frame->Execute(ID_FILE_CLOSE);
    frame->UpdateCommandUI();
    const QStringList without = MenuTexts();
    for (const Case& c : cases) {
        EXPECT_EQ(with.contains(QString::fromUtf8(c.text)), c.in129) << c.text;
        EXPECT_EQ(without.contains(QString::fromUtf8(c.text)), c.in128) << c.text;
    }
    frame->Execute(ID_FILE_NEW);
    EXPECT_EQ(MenuTexts(), with);
}

TEST_F(WindowsTest, RecentFilesOpensOnceItHasEntriesAndReadyComesBack)
{
    // "Fichiers récents" of menus 128 and 129.
    const QObjectList recent = frame->Action(ID_FILE_MRU_FILE1)->associatedObjects();
    ASSERT_EQ(recent.size(), 2);
    for (bool filled : {false, true}) {
        if (filled)
            app->AddToRecentFileList(Path("seen.tif"));
        frame->UpdateCommandUI();
        for (QObject* menu : recent)
            EXPECT_EQ(static_cast<QMenu*>(menu)->menuAction()->isEnabled(), filled);
    }
    frame->statusBar()->showMessage("Ouverture...");
    frame->statusBar()->clearMessage();
    EXPECT_EQ(frame->statusBar()->currentMessage(), QString::fromUtf8("Prêt"));
}

TEST_F(WindowsTest, WindowMenuListsTheDocumentsWithTheActiveOneChecked)
{
    CFraloDoc* first = frame->ActiveDocument();
    NewDocument(120, 110);
    auto* window = qobject_cast<QMenu*>(frame->Action(ID_WINDOW_CASCADE)->associatedObjects()[0]);
    ASSERT_NE(window, nullptr);
    Q_EMIT window->aboutToShow();
    QStringList entries;
    for (QAction* a : window->actions())
        if (a->isCheckable())
            entries.append(QString("%1 %2").arg(a->isChecked()).arg(a->text()));
    EXPECT_EQ(entries, (QStringList{"0 &1 " + first->Title(), "1 &2 Image1 (120x110)"}));
    window->actions().at(3)->trigger();
    EXPECT_EQ(frame->ActiveDocument(), first);
}

TEST_F(WindowsTest, FileDialogsStartInTheFolderLastUsed)
{
    QDir(dir.path()).mkdir("images");
    ASSERT_TRUE(frame->SaveActiveAs(Path("images/a.tif")));
    QString shown;
    EXPECT_TRUE(RunWithFileDialog(ID_OPEN, [&](QFileDialog* d) { shown = d->directory().path(); }));
    EXPECT_EQ(shown, Path("images"));
    EXPECT_TRUE(
        RunWithFileDialog(ID_SAVE_AS, [&](QFileDialog* d) { shown = d->selectedFiles()[0]; }));
    EXPECT_EQ(shown, Path("images/a.tif"));
}

TEST_F(WindowsTest, FileDialogsWriteDatesTheFrenchWayInColumnsWideEnoughToRead)
{
    ASSERT_TRUE(frame->SaveActiveAs(Path("a.tif")));
    QFile file(Path("a.tif"));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime(QDate(2026, 3, 5), QTime(14, 7)),
                                 QFileDevice::FileModificationTime));
    file.close();
    QString date;
    QStringList cut; // texts wider than their column
    int ticks = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* details = dialog ? dialog->findChild<QTreeView*>() : nullptr;
        if (!details)
            return;
        // The folder is read on another thread, and the columns follow its
        // files a little later: what is cut must be gone within 2 s.
        const QModelIndex folder = details->rootIndex();
        const QAbstractItemModel* model = details->model();
        const QHeaderView* header = details->header();
        cut.clear();
        for (int row = 0; row < model->rowCount(folder); ++row) {
            if (model->index(row, 0, folder).data().toString() == "a.tif")
                date = model->index(row, 3, folder).data().toString();
            for (int column = 1; column < header->count(); ++column) {
                const QString text = model->index(row, column, folder).data().toString();
                if (details->fontMetrics().horizontalAdvance(text) > header->sectionSize(column))
                    cut.append(text);
            }
        }
        if ((!date.isEmpty() && cut.isEmpty()) || ++ticks == 200)
            dialog->reject();
    });
    watch.start(10);
    frame->Execute(ID_OPEN);
    EXPECT_EQ(date, "05/03/2026 14:07");
    EXPECT_EQ(cut, QStringList());
}

TEST_F(WindowsTest, SaveNeverWritesEightBitsOverADeeperFile)
{
    samples::TiffSpec spec;
    spec.width = 2;
    spec.height = 1;
    spec.bits = 16;
    spec.planes = {{1000, 65535}};
    const std::vector<uint8_t> bytes = samples::make_tiff(spec);
    std::ofstream(Path("deep.tif").toStdString(), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    const auto depth = [this] {
        int bits = 0;
        read_image_depth(Path("deep.tif").toLocal8Bit().constData(), &bits);
        return bits;
    };
    ASSERT_TRUE(frame->OpenFile(Path("deep.tif")));
    EXPECT_TRUE(RunWithFileDialog(
        ID_SAVE, [](QFileDialog* d) { EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptSave); }));
    answer = AnswerNo;
    EXPECT_FALSE(frame->SaveActiveAs(Path("deep.tif")));
    EXPECT_EQ(messages, QStringList{QString::fromUtf8(
                            "Ce fichier a 16 bits par échantillon ; l'image y sera enregistrée sur "
                            "8 bits et cette précision sera perdue. Voulez-vous le remplacer ?")});
    EXPECT_EQ(depth(), 16);
    answer = AnswerYes;
    ASSERT_TRUE(frame->SaveActiveAs(Path("deep.tif")));
    EXPECT_EQ(depth(), 8);
    // Written once, the document saves without asking.
    EXPECT_FALSE(RunWithFileDialog(ID_SAVE, [](QFileDialog*) {}));
    EXPECT_EQ(messages.size(), 2);
}

TEST_F(WindowsTest, ToolBarIconsShowTheirCommandAndGreyWhenDisabled)
{
    for (const ToolBarIconName& name : ToolBarIconNames()) {
        QIcon icon = frame->Action(name.id)->icon();
        EXPECT_EQ(QImage(QString::fromLatin1(name.fallback)).size(), QSize(16, 16));
        if (QIcon::hasThemeIcon(QLatin1String(name.theme))) {
            EXPECT_EQ(icon.name(), QLatin1String(name.theme));
        }
        EXPECT_NE(icon.pixmap(16, QIcon::Disabled).toImage(), icon.pixmap(16).toImage());
    }
}

TEST_F(WindowsTest, AboutBoxAndQtDialogsInFrench)
{
    CAboutDlg about;
    about.show();
    auto* history = about.findChild<QListWidget*>("history");
    EXPECT_EQ(history->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_GE(history->viewport()->width(), history->sizeHintForColumn(0));

    QTranslator french;
    ASSERT_TRUE(LoadQtFrench(&french));
    QApplication::installTranslator(&french);
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), "&Oui");
    EXPECT_EQ(box.button(QMessageBox::No)->text(), "&Non");
    EXPECT_EQ(QCoreApplication::translate("QMdiSubWindow", "&Restore"), "&Restaurer");
}

} // namespace
