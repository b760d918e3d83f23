#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QMdiArea>
#include <QMessageBox>
#include <QTimer>

#include "tests/support/scoped_setting.h"
#include "widget_fixture.h"
#include "workbench/core/settings_record.h"

namespace {

TEST_F(WorkbenchTest, StartsWithTestPatternOfTheChildSize)
{
    CFraloDoc* doc = frame->ActiveDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(app->m_nSource, 0);
    EXPECT_EQ(doc->m_nWidth, app->m_nChildWidth);
    EXPECT_EQ(doc->m_nHeight, app->m_nChildHeight);
    EXPECT_EQ(app->m_nChildWidth, frame->frameGeometry().width() / 2 - 20);
    EXPECT_EQ(app->m_nChildHeight, app->m_nChildWidth * 480 / 640);
    EXPECT_EQ(doc->Title(), QString("Image0 (%1x%2)").arg(doc->m_nWidth).arg(doc->m_nHeight));
    EXPECT_EQ(doc->m_pChildFrame->windowTitle(), doc->Title());
    EXPECT_EQ(app->m_nOpenImages, 1);
    EXPECT_EQ(CFraloDoc::GetPixelValue(doc->m_image, 0, 0), 0xFF0000);
}

TEST_F(WorkbenchTest, DefaultsOfTheApplication)
{
    EXPECT_EQ(app->m_nMaxWidth, 1024);
    EXPECT_EQ(app->m_nMaxHeight, 768);
    EXPECT_EQ(app->m_nExposureUs, 20000);
    EXPECT_FLOAT_EQ(app->m_fCameraGain, 15.0f);
    EXPECT_EQ(app->m_nSupplyFullScale, 500);
    EXPECT_EQ(app->m_colors[5], 0xE65050u);
    EXPECT_EQ(app->m_pens[1].color(), QColor(255, 0, 0));
    EXPECT_EQ(app->m_pens[5].color(), QColor(0x50, 0x50, 0xE6));
    EXPECT_EQ(app->m_pens[7].style(), Qt::DotLine);
    EXPECT_EQ(app->m_pens[7].width(), 0);
    EXPECT_EQ(app->m_font.family(), "Arial");
    EXPECT_EQ(CFraloApp::LabelFontRotation(0), 90);
    EXPECT_EQ(CFraloApp::LabelFontRotation(179), -89);
}

TEST_F(WorkbenchTest, StoredSourceRebuildsTheSizeTable)
{
    SettingsRecord r{6, 1280, 1024, 6, 1, 700};
    ASSERT_TRUE(WriteSettingsFile(Path("six.dat").toStdString(), r));
    ASSERT_TRUE(app->LoadSettings(Path("six.dat")));
    EXPECT_EQ(app->m_nSource, 6);
    EXPECT_EQ(app->m_nSupplyModel, 1);
    EXPECT_EQ(app->m_nSupplyFullScale, 700);
    EXPECT_EQ(app->m_sizeTable[2], (SizePair{640, 480}));
    EXPECT_TRUE(app->IsSizeAllowed(6, 1280, 1024));
    EXPECT_FALSE(app->LoadSettings(Path("missing.dat")));
}

TEST_F(WorkbenchTest, SizeNotAllowedFallsBackToPairZero)
{
    app->FillSizeTable(4);
    app->m_nSizeIndex = 3;
    EXPECT_FALSE(app->IsSizeAllowed(4, 800, 600));
    EXPECT_EQ(app->m_nSizeIndex, 0);
    EXPECT_EQ(app->m_nDefaultWidth, 768);
    EXPECT_EQ(app->m_nDefaultHeight, 576);
    int16_t w = 0, h = 0;
    EXPECT_EQ(app->GetSize(1, &w, &h), 1);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
}

TEST_F(WorkbenchTest, ExitWritesSettingsAndReportsAFailureOnStandardError)
{
    app->m_nSupplyFullScale = 1000;
    EXPECT_EQ(app->ExitInstance(3), 3);
    SettingsRecord r;
    ASSERT_TRUE(ReadSettingsFile(Path("config.dat").toStdString(), &r));
    EXPECT_EQ(r.m_nSupplyFullScale, 1000);
    EXPECT_TRUE(messages.isEmpty());

    QFile::remove(Path("config.dat"));
    QDir(dir.path()).mkdir("config.dat");
    testing::internal::CaptureStderr();
    app->ExitInstance(0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Erreur d'écriture du fichier de configuration: " + Path("config.dat").toStdString() +
                  "\n");
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(WorkbenchTest, ExitWritesTheSixtyFourBytesToThePathFixedAtStartUp)
{
    app->TakePersisted({5, 1024, 768, 2, 1, 1000});
    QDir(dir.path()).mkdir("elsewhere");
    {
        const ScopedCurrentFolder elsewhere(Path("elsewhere").toStdString());
        app->ExitInstance(0);
    }
    EXPECT_FALSE(QFile::exists(Path("elsewhere/config.dat")));
    QFile file(Path("config.dat"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray expected(64, '\0');
    const char head[] = {5, 0, 0x00, 0x04, 0x00, 0x03, 2, 0, 1, 0, char(0xE8), 0x03};
    expected.replace(0, sizeof head, QByteArray(head, sizeof head));
    EXPECT_EQ(file.readAll(), expected);
}

TEST_F(WorkbenchTest, NumbersKeepTheirDecimalPointInAFrenchSession)
{
    const ScopedDecimalComma french;
    if (!french.Made())
        GTEST_SKIP() << "no locale with a decimal comma";
    app.reset();
    app = std::make_unique<CFraloApp>();
    ASSERT_TRUE(app->InitInstance({}, Path("config.dat")));
    char text[8];
    std::snprintf(text, sizeof text, "%1.1f", 12.5);
    EXPECT_STREQ(text, "12.5");
    EXPECT_EQ(std::strtod("12.7", nullptr), 12.7);
}

TEST_F(WorkbenchTest, ShortSettingsFileStartsWithWhatItHolds)
{
    QFile file(Path("short.dat"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("\x07\x00\x20", 3)); // source 7, then half a width
    file.close();
    app.reset();
    app = std::make_unique<CFraloApp>();
    ASSERT_TRUE(app->InitInstance({}, Path("short.dat")));
    EXPECT_EQ(app->m_nSource, 7);
    EXPECT_EQ(app->m_sizeTable[0], (SizePair{640, 480}));
    EXPECT_EQ(app->m_sizeTable[1], (SizePair{app->m_nChildWidth, app->m_nChildHeight}));
    EXPECT_EQ(app->m_nDefaultWidth, app->m_nChildWidth);
    EXPECT_EQ(app->m_nSupplyFullScale, 500);
    // With a source chosen, a new document is a constant grey image.
    CFraloDoc* doc = app->MainFrame()->ActiveDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->Channels(), 1);
    EXPECT_EQ(doc->m_nWidth, app->m_nChildWidth);
}

TEST_F(WorkbenchTest, TwentyFiveDocumentsWalkWithoutActivating)
{
    for (int i = 0; i < 24; ++i)
        app->NewImageDocument(0, 0);
    const QList<QMdiSubWindow*> children = frame->MdiArea()->subWindowList();
    ASSERT_EQ(children.size(), 25);
    frame->MdiArea()->setActiveSubWindow(children[10]);
    CFraloDoc* active = frame->ActiveDocument();
    int activations = 0;
    // Tied to a local object: the count goes before the frames close at the end.
    QObject counting;
    QObject::connect(frame->MdiArea(), &QMdiArea::subWindowActivated, &counting,
                     [&] { ++activations; });
    std::array<CFraloDoc*, 20> list;
    app->ListOpenDocuments(list);
    EXPECT_EQ(frame->ActiveDocument(), active);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(list[i], static_cast<CChildFrame*>(children[(10 + i) % 25])->Document()) << i;
    app->ListOtherDocuments(list);
    EXPECT_EQ(list[0], static_cast<CChildFrame*>(children[11])->Document());
    EXPECT_EQ(list[19], static_cast<CChildFrame*>(children[5])->Document());
    EXPECT_EQ(frame->ActiveDocument(), active);
    EXPECT_EQ(activations, 0);
}

TEST_F(WorkbenchTest, SingleDocumentHasNoOthers)
{
    std::array<CFraloDoc*, 20> list;
    app->ListOtherDocuments(list);
    EXPECT_EQ(list[0], nullptr);
    app->ListOpenDocuments(list);
    EXPECT_EQ(list[0], frame->ActiveDocument());
    EXPECT_EQ(list[1], nullptr);
}

TEST_F(WorkbenchTest, NewImageDocumentCountsAndFits)
{
    CFraloDoc* first = frame->ActiveDocument();
    CFraloDoc* doc = app->NewImageDocument(300, 200);
    ASSERT_NE(doc, first);
    EXPECT_EQ(doc->m_nImageNumber, 1);
    EXPECT_EQ(doc->m_strName, "Image1");
    EXPECT_EQ(app->m_nImageCounter, 2);
    EXPECT_EQ(app->m_nOpenImages, 2);
    EXPECT_EQ(doc->m_pChildFrame->ClientSize(), QSize(304, 204));
    frame->Execute(ID_FILE_CLOSE);
    EXPECT_EQ(app->m_nOpenImages, 1);
    EXPECT_EQ(app->m_nImageCounter, 2);
}

TEST_F(WorkbenchTest, CascadeFitsEveryFrameToItsImage)
{
    CFraloDoc* doc = app->NewImageDocument(0, 0);
    doc->m_pChildFrame->resize(200, 150);
    app->CascadeAndFitAll();
    int w = std::min<int>(doc->m_nWidth, 1024) + 4, h = std::min<int>(doc->m_nHeight, 768) + 4;
    EXPECT_EQ(doc->m_pChildFrame->ClientSize(), QSize(w, h));
}

TEST_F(WorkbenchTest, RecentFilesKeepFourNewestFirst)
{
    for (const char* name : {"a.tif", "b.tif", "c.tif", "d.tif", "e.tif", "c.tif"})
        app->AddToRecentFileList(Path(name));
    EXPECT_EQ(app->RecentFiles(),
              (QStringList{Path("c.tif"), Path("e.tif"), Path("d.tif"), Path("b.tif")}));
}

} // namespace

namespace {

TEST_F(WorkbenchTest, ChildWindowsShowTheProgramsIcon)
{
    const QImage program = QIcon(":/icons/ondula.xpm").pixmap(32).toImage();
    ASSERT_FALSE(program.isNull());
    EXPECT_EQ(frame->ActiveChild()->windowIcon().pixmap(32).toImage(), program);
}

// The boxes themselves: a failure carries the warning icon, a question its
// French buttons, and each button gives its answer.
TEST_F(WorkbenchTest, MessageBoxesWarnOrAskInFrench)
{
    struct Case {
        MessageButtons buttons;
        QMessageBox::Icon icon;
        QStringList texts;
        const char* clicked;
        int answer;
    };
    const Case cases[] = {
        {MessageButtons::Ok, QMessageBox::Warning, {"OK"}, "OK", AnswerOk},
        {MessageButtons::YesNo, QMessageBox::Question, {"Oui", "Non"}, "Non", AnswerNo},
        {MessageButtons::YesNoCancel,
         QMessageBox::Question,
         {"Oui", "Non", "Annuler"},
         "Oui",
         AnswerYes},
        {MessageButtons::YesNoCancel,
         QMessageBox::Question,
         {"Oui", "Non", "Annuler"},
         "Annuler",
         AnswerCancel},
    };
    SetMessageSink(nullptr);
    for (const Case& c : cases) {
        QStringList texts;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            icon = box->icon();
            for (QAbstractButton* button : box->buttons())
                texts.append(button->text());
            for (QAbstractButton* button : box->buttons())
                if (button->text() == c.clicked)
                    button->click();
        });
        EXPECT_EQ(UserMessage("?", c.buttons), c.answer) << c.clicked;
        EXPECT_EQ(icon, c.icon);
        texts.sort();
        QStringList expected = c.texts;
        expected.sort();
        EXPECT_EQ(texts, expected);
    }
}

} // namespace
