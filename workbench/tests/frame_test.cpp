#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>

#include "widget_fixture.h"
#include "workbench/common/key_lock_state.h"
#include "workbench/frame/about_dlg.h"
#include "workbench/frame/command_table.h"

namespace {

TEST_F(WorkbenchTest, AcceleratorsTriggerTheMenuItemsThatShowThem)
{
    struct Case {
        int id;
        const char* keys;
    };
    const Case cases[] = {
        {ID_FILE_NEW, "Ctrl+N"},   {ID_OPEN, "Ctrl+O"},      {ID_SAVE, "Ctrl+S"},
        {ID_FILE_PRINT, "Ctrl+P"}, {ID_EDIT_COPY, "Ctrl+C"}, {ID_EDIT_PASTE, "Ctrl+V"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(frame->Action(c.id)->shortcut(), QKeySequence(c.keys)) << c.id;
        EXPECT_TRUE(frame->Action(c.id)->text().endsWith(QString("\t") + c.keys)) << c.id;
    }
    EXPECT_TRUE(frame->Action(ID_FILE_OPEN)->shortcut().isEmpty());
    EXPECT_EQ(frame->Action(ID_EDIT_UNDO)->shortcuts(),
              (QList<QKeySequence>{QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace")}));
}

TEST_F(WorkbenchTest, AFailingOperatorInACommandIsShownAndTheProgramGoesOn)
{
    struct Case {
        std::function<void(CFraloDoc*)> setUp;
        int id;
        const char* message;
    };
    const Case cases[] = {
        {[this](CFraloDoc*) {
             app->m_nSource = 3;
             app->m_nDefaultWidth = 0;
         },
         ID_FILE_NEW,
         "Erreur de la bibliothèque d'images n°1301 !\ngen_image_const: wrong value of a "
         "control parameter"},
        {[this](CFraloDoc* doc) {
             app->m_pCopiedDoc = doc;
             doc->m_image = Vobject();
         },
         ID_EDIT_PASTE,
         "Erreur de la bibliothèque d'images n°1302 !\ncopy_image: input object is empty"},
    };
    for (const Case& c : cases) {
        frame->Execute(ID_FILE_NEW);
        CFraloDoc* doc = frame->ActiveDocument();
        const int16_t width = app->m_nDefaultWidth;
        const int16_t open = app->m_nOpenImages;
        const int16_t counter = app->m_nImageCounter;
        messages.clear();
        c.setUp(doc);
        EXPECT_TRUE(frame->Execute(c.id));
        EXPECT_EQ(messages, QStringList{QString::fromUtf8(c.message)});
        EXPECT_TRUE(check_give_error());
        EXPECT_EQ(frame->ActiveDocument(), doc);
        EXPECT_EQ(app->m_nOpenImages, open);
        EXPECT_EQ(app->m_nImageCounter, counter);
        app->m_nSource = 0;
        app->m_nDefaultWidth = width;
    }
    frame->Execute(ID_FILE_NEW);
    EXPECT_EQ(frame->MdiArea()->subWindowList().size(), 4);
}

TEST_F(WorkbenchTest, EveryCommandIdIsInTheTable)
{
    const int ids[] = {32771, 32772, 32773, 57634, 57637, 32780, 32781, 32782, 32788, 32785,
                       32786, 32798, 32787, 32832, 32795, 32803, 32831, 32789, 32799, 32790,
                       32793, 32828, 32794, 32820, 32796, 32797, 32802, 32822, 32821, 32829,
                       32819, 32809, 32811, 32817, 32801, 32823, 32814, 32812, 32810, 32805,
                       32806, 32807, 32808, 32804, 32830, 32816, 32818, 32824, 32827, 32825,
                       57667, 57669, 57670, 57671, 57600, 57601, 57602, 57606, 57607, 57609,
                       57616, 57650, 57651, 57664, 57665, 59392, 59393};
    for (int id : ids)
        EXPECT_NE(frame->Action(id), nullptr) << id;
    EXPECT_EQ(frame->Action(32819)->text(),
              QString::fromUtf8("&Ajuster luminance et contraste..."));
    EXPECT_EQ(frame->Action(32803)->text(), "A1C ou G (1280 x 1024)");
}

TEST_F(WorkbenchTest, MenuTextsOfTheCommandTable)
{
    const std::map<int, const char*> texts = {
        {32771, "&Ouvrir...\tCtrl+O"},
        {32772, "&Enregistrer\tCtrl+S"},
        {32773, "En&registrer sous..."},
        {57634, "&Copier\tCtrl+C"},
        {57637, "C&oller\tCtrl+V"},
        {32780, "&Coller presse-papier"},
        {32781, "&Acquisition permanente"},
        {32782, "&Acquisition figée"},
        {32788, "&Aucun"},
        {32785, "&Twain"},
        {32786, "&Video for Windows (Webcam, ...)"},
        {32798, "&Direct Show (Webcam, ...)"},
        {32787, "&Zephon II"},
        {32795, "&IEEE 1394 (Firewire)"},
        {32803, "A1C ou G (1280 x 1024)"},
        {32831, "A2C ou G (640 x 480)"},
        {32832, "&Talvo"},
        {32789, "&Taille par défaut..."},
        {32799, "&Régler les paramètres de la caméra..."},
        {32790, "Visualiser en &fausses couleurs..."},
        {32793, "&Visualiser en temps réel..."},
        {32828, "Visualiser en &temps moyenné..."},
        {32794, "&Générer 4 mires sinusoïdales..."},
        {32820, "&Acq. image phasée à 4 images..."},
        {32796, "&Calculer image phasée à 4 images..."},
        {32797, "&Démoduler image phasée..."},
        {32802, "&Déplacer manuellement..."},
        {32822, "&Sortir de surcourse..."},
        {32821, "&Translateur piézo sur port série..."},
        {32829, "&Moteur pas à pas via port imprimante..."},
        {32819, "&Ajuster luminance et contraste..."},
        {32809, "&RVB en NG"},
        {32811, "&NG en RGB"},
        {32817, "&Négatif"},
        {32801, "&Créer une image masque..."},
        {32823, "&Etalonner l'image..."},
        {32814, "&Filtrer l'image..."},
        {32812, "Redimensionner l'image..."},
        {32810, "&Extraire une nouvelle image..."},
        {32805, "FFT &complexe"},
        {32806, "FFT &inverse"},
        {32807, "&Phase d'une image FFT complexe"},
        {32808, "&Module d'une image FFT complexe"},
        {32804, "&Opérations mathématiques et logiques..."},
        {32830, "&Multiplier par constante..."},
        {32816, "&Visualiser en 3D"},
        {32818, "&Gaussienne sur tracé de profils"},
        {32824, "&Coordonnées souris"},
        {32827, "&Exporter vers Excel"},
        {32825, "Aide et mise à jour de Ondula en ligne..."},
        {57667, "&Rubriques de l'aide"},
    };
    for (const auto& [id, text] : texts)
        EXPECT_EQ(frame->Action(id)->text(), QString::fromUtf8(text)) << id;
    const QStringList menus = {"&Dravik", QString::fromUtf8("&Caméra Kandris kdLyra")};
    for (const QString& title : menus) {
        bool found = false;
        for (QMenu* menu : frame->menuBar()->findChildren<QMenu*>())
            found = found || menu->title() == title;
        EXPECT_TRUE(found) << title.toStdString();
    }
}

TEST_F(WorkbenchTest, WindowArrangementAndExit)
{
    CFraloDoc* first = frame->ActiveDocument();
    CFraloDoc* second = app->NewImageDocument(0, 0);
    first->m_pChildFrame->move(0, 0);
    second->m_pChildFrame->move(0, 0);
    ASSERT_TRUE(frame->Execute(ID_WINDOW_TILE));
    QRect a = first->m_pChildFrame->geometry(), b = second->m_pChildFrame->geometry();
    EXPECT_FALSE(a.intersects(b));
    ASSERT_TRUE(frame->Execute(ID_WINDOW_CASCADE));
    a = first->m_pChildFrame->geometry();
    b = second->m_pChildFrame->geometry();
    EXPECT_NE(a.topLeft(), b.topLeft());
    EXPECT_TRUE(a.intersects(b));

    frame->show();
    ASSERT_TRUE(frame->Execute(ID_APP_EXIT));
    EXPECT_FALSE(frame->isVisible());
}

TEST_F(WorkbenchTest, CommandsThatNeedASourceOrAnAcquisitionStartDisabled)
{
    frame->UpdateCommandUI();
    for (int id : {32781, 32782, 32790, 32796})
        EXPECT_FALSE(frame->Action(id)->isEnabled()) << id;
    for (int id : {57600, 32771, 32772, 32773, 57634, 32780, 57607, 57609, 57650, 57664, 57665,
                   32788, 32789, 32824})
        EXPECT_TRUE(frame->Action(id)->isEnabled()) << id;
    EXPECT_FALSE(frame->Execute(32790));
}

TEST_F(WorkbenchTest, ToolBarAndStatusBar)
{
    auto* toolBar = frame->findChild<QToolBar*>("toolbar128");
    ASSERT_NE(toolBar, nullptr);
    std::vector<int> ids;
    for (QAction* a : toolBar->actions())
        ids.push_back(a->isSeparator() ? 0 : a->data().toInt());
    EXPECT_EQ(ids, (std::vector<int>{57600, 32771, 32772, 0, 57609, 57607, 0, 32781, 32782, 0,
                                     57634, 57637, 0, 57664}));
    EXPECT_EQ(frame->windowTitle(), "Ondula4");
    ASSERT_TRUE(frame->Execute(ID_VIEW_STATUS_BAR));
    EXPECT_FALSE(frame->statusBar()->isVisibleTo(frame));
    frame->UpdateCommandUI();
    EXPECT_FALSE(frame->Action(ID_VIEW_STATUS_BAR)->isChecked());
    ASSERT_TRUE(frame->Execute(ID_VIEW_TOOLBAR));
    EXPECT_FALSE(toolBar->isVisibleTo(frame));
}

TEST_F(WorkbenchTest, StatusBarHasSixPanesWithTheLockKeys)
{
    std::vector<QString> order;
    for (QLabel* pane : frame->statusBar()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        order.push_back(pane->objectName());
    EXPECT_EQ(order,
              (std::vector<QString>{"pane130", "pane131", "paneCaps", "paneNum", "paneScroll"}));
    const auto text = [this](const char* name) {
        return frame->statusBar()->findChild<QLabel*>(name)->text();
    };
    // The message pane is the status bar's own.
    EXPECT_EQ(frame->statusBar()->currentMessage(), QString::fromUtf8("Prêt"));

    frame->SetKeyLockReader([] { return KeyLocks{true, true, false, true}; });
    EXPECT_EQ(text("paneCaps"), "CAP");
    EXPECT_EQ(text("paneNum"), "");
    EXPECT_EQ(text("paneScroll"), "SCRL");
    frame->SetKeyLockReader([] { return KeyLocks{true, false, true, false}; });
    EXPECT_EQ(text("paneCaps"), "");
    EXPECT_EQ(text("paneNum"), "NUM");
    EXPECT_EQ(text("paneScroll"), "");
    frame->SetKeyLockReader([] { return KeyLocks{false, true, true, true}; });
    EXPECT_EQ(text("paneCaps"), "");
    EXPECT_EQ(text("paneNum"), "");
    // Off X11 (these tests run offscreen) the locks are unknown.
    EXPECT_FALSE(ReadKeyLocks().known);
}

TEST_F(WorkbenchTest, AboutBoxListsTheChangeHistory)
{
    CAboutDlg about;
    auto* history = about.findChild<QListWidget*>("history");
    ASSERT_NE(history, nullptr);
    EXPECT_EQ(history->item(0)->text(),
              QString::fromUtf8("29/10/07: Ecriture sur disque des images intermédiaires"));
    EXPECT_EQ(history->item(history->count() - 1)->text(),
              QString::fromUtf8("20/03/06: Création du logiciel"));
    auto* help = about.findChild<QPushButton*>("onlineHelp");
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->text(), QString::fromUtf8("&Aide en ligne"));
}

TEST_F(WorkbenchTest, ViewShrinksItsFrameBackRoundTheImage)
{
    CFraloDoc* doc = frame->ActiveDocument();
    doc->m_pChildFrame->resize(doc->m_pChildFrame->size() + QSize(100, 80));
    EXPECT_EQ(doc->m_pChildFrame->ClientSize(), QSize(doc->m_nWidth + 4, doc->m_nHeight + 4));
}

} // namespace
