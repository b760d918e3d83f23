#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QMdiArea>

#include <verodyn/operators.h>

#include "widget_fixture.h"

namespace {

// Runs in a scratch working directory; the save dialog answers `chosen` and
// records what it was offered.
class UnsavedChangesTest : public WorkbenchTest {
protected:
    void SetUp() override
    {
        WorkbenchTest::SetUp();
        previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        frame->SetSavePathChooser([this](const QString& proposed) {
            offered.append(proposed);
            return chosen;
        });
    }
    void TearDown() override
    {
        QDir::setCurrent(previous);
        WorkbenchTest::TearDown();
    }
    QByteArray Bytes(const char* name) const
    {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // A new document holding an image of its own, made by the program.
    CFraloDoc* Changed(int side)
    {
        CFraloDoc* doc = app->NewImageDocument(0, 0);
        Vobject image;
        gen_image_const(&image, "byte", side, side);
        doc->SetImage(image);
        return doc;
    }
    QString previous;
    QStringList offered;
    QString chosen;
};

TEST_F(UnsavedChangesTest, SaveAfterAPasteNeverWritesOverTheFileThePasteReplaced)
{
    struct Case {
        int command;
        const char* title; // of the document after the paste
    };
    const Case cases[] = {{ID_EDIT_PASTE, "Im_Copie%1 (30x30)"},
                          {ID_PASTE_CLIPBOARD, "photo.tif (30x30)"}};
    CFraloDoc* pattern = frame->ActiveDocument();
    Changed(30);
    ASSERT_TRUE(frame->Execute(ID_EDIT_COPY));
    frame->MdiArea()->setActiveSubWindow(pattern->m_pChildFrame);
    ASSERT_TRUE(frame->SaveActiveAs(Path("photo.tif")));
    const QByteArray original = Bytes("photo.tif");
    for (const Case& c : cases) {
        offered.clear();
        ASSERT_TRUE(frame->OpenFile(Path("photo.tif")));
        CFraloDoc* photo = frame->ActiveDocument();
        ASSERT_TRUE(frame->Execute(c.command));
        EXPECT_EQ(photo->Title(),
                  QString(c.title).replace("%1", QString::number(photo->m_nImageNumber)));
        chosen.clear();
        ASSERT_TRUE(frame->Execute(ID_SAVE));
        EXPECT_EQ(Bytes("photo.tif"), original) << c.command;
        ASSERT_EQ(offered.size(), 1);
        chosen = Path("pasted.tif");
        ASSERT_TRUE(frame->Execute(ID_SAVE));
        EXPECT_EQ(Bytes("photo.tif"), original);
        EXPECT_EQ(photo->m_strPathName, Path("pasted.tif"));
        // Written to a file of its own, it saves there without asking again.
        ASSERT_TRUE(frame->Execute(ID_SAVE));
        EXPECT_EQ(offered.size(), 2);
        QFile::remove(Path("pasted.tif"));
    }
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(UnsavedChangesTest, SaveOfANewDocumentAsksWhenItsFileExists)
{
    CFraloDoc* doc = frame->ActiveDocument();
    QFile existing(Path("Image0.tif"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("keep");
    existing.close();
    ASSERT_TRUE(frame->Execute(ID_SAVE));
    EXPECT_EQ(offered, QStringList{"Image0"});
    EXPECT_EQ(Bytes("Image0.tif"), "keep");
    EXPECT_TRUE(doc->m_strPathName.isEmpty());
}

TEST_F(UnsavedChangesTest, ClosingAChangedDocumentAsksFirst)
{
    struct Case {
        int answer;
        bool closed;
        bool saved; // as its name in the working directory
    };
    const Case cases[] = {
        {AnswerCancel, false, false},
        {AnswerNo, true, false},
        {AnswerYes, true, true},
    };
    for (bool byTitleBar : {false, true}) {
        for (const Case& c : cases) {
            messages.clear();
            closeAnswer = c.answer;
            CFraloDoc* doc = Changed(20);
            const QString name = doc->m_strName;
            const int open = app->m_nOpenImages;
            if (byTitleBar)
                doc->m_pChildFrame->close();
            else
                frame->Execute(ID_FILE_CLOSE);
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_EQ(
                messages,
                QStringList{
                    QString::fromUtf8("Enregistrer les modifications de « %1 » ?").arg(name)});
            EXPECT_EQ(app->m_nOpenImages, c.closed ? open - 1 : open) << c.answer;
            EXPECT_EQ(QFile::exists(QDir(dir.path()).filePath(name + ".tif")), c.saved) << c.answer;
            if (!c.closed)
                delete doc->m_pChildFrame;
        }
    }
}

TEST_F(UnsavedChangesTest, OnlyChangedDocumentsThatDoNotAcquireAsk)
{
    CFraloDoc* camera = Changed(20);
    app->Live().Acquire(*camera);
    frame->Execute(ID_FILE_CLOSE);
    EXPECT_EQ(app->m_nOpenImages, 1);
    Changed(20);
    ASSERT_TRUE(frame->SaveActiveAs(Path("saved.tif")));
    frame->Execute(ID_FILE_CLOSE);
    frame->Execute(ID_FILE_CLOSE); // the first document, as it was made
    EXPECT_EQ(app->m_nOpenImages, 0);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(UnsavedChangesTest, QuittingAsksOnceAboutEveryChangedDocument)
{
    CFraloDoc* first = Changed(20);
    CFraloDoc* second = Changed(30);
    const QString question =
        QString::fromUtf8("Enregistrer les modifications de ces documents ?\n« %1 »\n« %2 »")
            .arg(first->m_strName, second->m_strName);
    frame->show();
    closeAnswer = AnswerCancel;
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(messages, QStringList{question});
    // The second one's file exists already: its save asks where, and is cancelled.
    QFile existing(QDir(dir.path()).filePath(second->m_strName + ".tif"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    closeAnswer = AnswerYes;
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(offered.size(), 1);
    EXPECT_EQ(first->m_strPathName, QDir(dir.path()).filePath(first->m_strName));
    EXPECT_EQ(existing.size(), 0);
    messages.clear();
    closeAnswer = AnswerNo;
    EXPECT_TRUE(frame->close());
    EXPECT_EQ(
        messages,
        QStringList{
            QString::fromUtf8("Enregistrer les modifications de « %1 » ?").arg(second->m_strName)});
    EXPECT_EQ(app->m_nOpenImages, 3);
}

} // namespace
