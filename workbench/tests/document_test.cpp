#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMdiArea>

#include <imageproc/plane_buffers.h>
#include <verodyn/operators.h>

#include "tests/support/scoped_setting.h"
#include "verodyn/tests/tiff_samples.h"
#include "widget_fixture.h"

namespace {

// A w x h image of one grey level, or of one colour when `colour`.
Vobject Uniform(int w, int h, int32_t packed, bool colour)
{
    PlaneBuffers p;
    p.width = w;
    p.height = h;
    p.channels = colour ? 3 : 1;
    for (int c = 0; c < p.channels; ++c)
        p.planes[c].assign(std::size_t(w) * h, uint8_t((packed >> (8 * c)) & 0xFF));
    Vobject image;
    MakeImageFromPlanes(p, &image);
    return image;
}

class DocumentTest : public WorkbenchTest {
protected:
    ScopedCurrentFolder folder{dir.path().toStdString()};
};

TEST_F(DocumentTest, FieldsOfANewDocument)
{
    CFraloDoc* doc = frame->ActiveDocument();
    EXPECT_EQ(doc->m_pApp, app.get());
    EXPECT_EQ(doc->m_nMouseValue, 0);
    EXPECT_EQ(doc->m_nCrossValue, -1);
    EXPECT_TRUE(doc->m_ptCross.IsZero());
    EXPECT_FLOAT_EQ(doc->m_fMoirePitch, 8.3f);
    for (float f : {doc->m_fScaleXY, doc->m_fScaleZ, doc->m_fUnitFactorXY, doc->m_fUnitFactorZ})
        EXPECT_FLOAT_EQ(f, 1.0f);
    EXPECT_EQ(doc->m_bCalibratedXY + doc->m_bCalibratedZ + doc->m_bGaussFit + doc->m_nKind +
                  doc->m_nFringeCount,
              0);
    EXPECT_EQ(doc->m_profile.channel, 0);
    EXPECT_EQ(doc->m_profile.x1, -1);
    EXPECT_EQ(doc->m_profile.y2, -1);
    EXPECT_EQ(doc->m_profile.capacity, 800);
    EXPECT_EQ(doc->m_profile.count, 0);
    EXPECT_EQ(doc->m_profile.points.size() * sizeof(ProfilePoint), 19200u);
    EXPECT_EQ(doc->m_tracker.m_rect, TrackerRect{});
    EXPECT_EQ(doc->m_tracker.m_nStyle, CRectTracker::dottedLine);
    EXPECT_EQ(doc->m_tracker.m_nHandleSize, 8);
    const int w = doc->m_nWidth, h = doc->m_nHeight, r = (w - 1) * 255 / w;
    EXPECT_EQ(CFraloDoc::GetPixelValue(doc->m_image, w - 1, h - 1),
              PackRgb(r, (h - 1) * 255 / h, 255 - r));
}

TEST_F(DocumentTest, UpdateScrollSizesScrollsBackToTheOriginOfItsOwnView)
{
    CFraloDoc* doc = frame->ActiveDocument();
    CFraloDoc* active = frame->NewDocument(3000, 3000);
    for (CFraloDoc* d : {doc, active}) {
        d->m_pView->SetScrollSizes(3000, 3000);
        d->m_pView->ScrollTo(50, 40);
    }
    doc->m_ptScroll = {50, 40};
    doc->UpdateScrollSizes(3000, 3000);
    EXPECT_EQ(doc->m_pView->ScrollPosition(), QPoint(0, 0));
    EXPECT_TRUE(doc->m_ptScroll.IsZero());
    EXPECT_EQ(active->m_pView->ScrollPosition(), QPoint(50, 40)) << "the active window stays";
}

TEST_F(DocumentTest, SaveOfANewDocumentWritesTifInTheWorkingDirectory)
{
    CFraloDoc* doc = frame->ActiveDocument();
    doc->m_strName = "Image3";
    ASSERT_TRUE(frame->SaveActive());
    EXPECT_TRUE(QFile::exists(Path("Image3.tif")));
    EXPECT_EQ(doc->m_strName, "Image3.tif");
    EXPECT_EQ(doc->m_strPathName, Path("Image3.tif"));
    EXPECT_TRUE(doc->m_pChildFrame->windowTitle().startsWith("Image3.tif ("));
    EXPECT_FALSE(app->RecentFiles().contains(Path("Image3.tif")));
}

TEST_F(DocumentTest, SaveWritesToTheDocumentsFullPath)
{
    QDir(dir.path()).mkdir("sub");
    CFraloDoc* doc = frame->ActiveDocument();
    ASSERT_TRUE(frame->SaveActiveAs(Path("sub/a.TiF")));
    QFile::remove(Path("sub/a.TiF"));
    ASSERT_TRUE(frame->SaveActive());
    EXPECT_TRUE(QFile::exists(Path("sub/a.TiF")));
    EXPECT_FALSE(QFile::exists(Path("a.TiF")));
    EXPECT_EQ(doc->m_strName, "a.TiF");
}

TEST_F(DocumentTest, SaveAsPicksTheFormatAndAppendsTif)
{
    ASSERT_TRUE(frame->SaveActiveAs(Path("a.jpg")));
    Vobject back;
    ASSERT_EQ(read_image(&back, Path("a.jpg").toLocal8Bit().constData()), V_OK);
    QFile jpeg(Path("a.jpg"));
    ASSERT_TRUE(jpeg.open(QIODevice::ReadOnly));
    EXPECT_EQ(jpeg.read(2), QByteArray("\xFF\xD8"));

    EXPECT_EQ(app->RecentFiles().value(0), Path("a.jpg"));

    ASSERT_TRUE(frame->SaveActiveAs(Path("a")));
    EXPECT_EQ(app->RecentFiles().value(0), Path("a.jpg"));
    EXPECT_TRUE(QFile::exists(Path("a.tif")));
    EXPECT_FALSE(QFile::exists(Path("a")));
    EXPECT_EQ(frame->ActiveDocument()->m_strName, "a.tif");
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(DocumentTest, SaveAsAsksBeforeReplacing)
{
    QFile existing(Path("b.tif"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("keep");
    existing.close();
    answer = AnswerNo;
    EXPECT_FALSE(frame->SaveActiveAs(Path("b.tif")));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QString::fromUtf8("Ce fichier existe déjà. Voulez-vous le remplacer ?"));
    EXPECT_EQ(QFile(Path("b.tif")).size(), 4);
    answer = AnswerYes;
    EXPECT_TRUE(frame->SaveActiveAs(Path("b.tif")));
    EXPECT_GT(QFile(Path("b.tif")).size(), 4);
}

TEST_F(DocumentTest, FftImageIsRefusedBeforeAnyFileIsTouched)
{
    QFile existing(Path("f.tif"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("old");
    existing.close();
    CFraloDoc* doc = frame->ActiveDocument();
    doc->m_nKind = 8;
    QString name = doc->m_strName;
    EXPECT_FALSE(doc->SaveImage(Path("f.tif")));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QString::fromUtf8("Image FFT, sauvegarde impossible !\nLa convertir "
                                             "préalablement en nuances de gris..."));
    EXPECT_EQ(QFile(Path("f.tif")).size(), 3);
    EXPECT_EQ(doc->m_strName, name);
}

TEST_F(DocumentTest, WriteFailureLeavesTheDocumentUnchanged)
{
    CFraloDoc* doc = frame->ActiveDocument();
    QString title = doc->m_pChildFrame->windowTitle();
    EXPECT_FALSE(doc->SaveImage(Path("no/such/dir/x.tif")));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0],
              QString::fromUtf8("Erreur d'écriture fichier: ") + Path("no/such/dir/x.tif"));
    EXPECT_EQ(doc->m_strName, "Image0");
    EXPECT_TRUE(doc->m_strPathName.isEmpty());
    EXPECT_EQ(doc->m_pChildFrame->windowTitle(), title);
}

TEST_F(DocumentTest, OpenLoadsIntoANewDocument)
{
    Vobject grey = Uniform(300, 200, 77, false);
    ASSERT_EQ(write_image(grey, "tiff", 0, Path("g.tif").toLocal8Bit().constData()), V_OK);
    ASSERT_TRUE(frame->OpenFile(Path("g.tif")));
    CFraloDoc* doc = frame->ActiveDocument();
    doc->m_nKind = 16;
    ASSERT_TRUE(doc->LoadImage(Path("g.tif")));
    EXPECT_EQ(doc->m_nWidth, 300);
    EXPECT_EQ(doc->m_nHeight, 200);
    EXPECT_EQ(doc->Channels(), 1);
    EXPECT_EQ(doc->m_nKind, 0);
    EXPECT_EQ(doc->m_pChildFrame->windowTitle(), "g.tif (300x200)");
    EXPECT_EQ(doc->m_pChildFrame->ClientSize(), QSize(304, 204));
    EXPECT_EQ(app->RecentFiles().value(0), Path("g.tif"));
}

TEST_F(DocumentTest, OpenFailuresSayWhyAndLeaveNoDocumentBehind)
{
    const auto write = [this](const char* name, const std::vector<uint8_t>& bytes) {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    };
    const std::string junk = "not an image";
    write("junk.tif", {junk.begin(), junk.end()});
    write("wide.tif", samples::grey_tiff_header(40000, 20, 20));
    const struct {
        const char* name;
        const char* message; // UTF-8, after the path
    } cases[] = {
        {"missing.tif", ""},
        {"junk.tif", "\nErreur de la bibliothèque d'images n°"},
        {"wide.tif", "\nImage trop grande : au plus 32767 pixels par côté !"},
    };
    for (const auto& c : cases) {
        messages.clear();
        EXPECT_FALSE(frame->OpenFile(Path(c.name)));
        ASSERT_EQ(messages.size(), 1) << c.name;
        const QString opening = QString::fromUtf8(*c.message ? "Erreur de lecture de l'image: "
                                                             : "Erreur d'ouverture fichier: ");
        EXPECT_TRUE(messages[0].startsWith(opening + Path(c.name) + QString::fromUtf8(c.message)))
            << messages[0].toStdString();
        EXPECT_EQ(app->m_nOpenImages, 1);
        EXPECT_EQ(frame->MdiArea()->subWindowList().size(), 1);
    }
}

TEST_F(DocumentTest, PasteOfAColourImageIntoAGreyDocument)
{
    CFraloDoc* colour = frame->ActiveDocument();
    colour->SetImage(Uniform(320, 240, 0x102030, true));
    CFraloDoc* grey = app->NewImageDocument(0, 0);
    grey->SetImage(Uniform(100, 50, 9, false));
    grey->m_ptCross = {5, 5};
    grey->m_nCrossValue = 9;
    grey->m_nKind = 4;
    frame->MdiArea()->setActiveSubWindow(colour->m_pChildFrame);
    ASSERT_TRUE(frame->Execute(ID_EDIT_COPY));
    EXPECT_EQ(app->m_pCopiedDoc, colour);
    frame->MdiArea()->setActiveSubWindow(grey->m_pChildFrame);
    ASSERT_TRUE(frame->Execute(ID_EDIT_PASTE));
    EXPECT_EQ(grey->Channels(), 3);
    EXPECT_EQ(grey->m_nWidth, 320);
    EXPECT_EQ(grey->m_nHeight, 240);
    EXPECT_EQ(grey->m_strName, QString("Im_Copie%1").arg(grey->m_nImageNumber));
    EXPECT_EQ(grey->m_pChildFrame->windowTitle(), QString("Im_Copie1 (320x240)"));
    EXPECT_EQ(CFraloDoc::GetPixelValue(grey->m_image, 7, 7), 0x102030);
    EXPECT_EQ(grey->m_nKind, 0);
    EXPECT_TRUE(grey->m_ptCross.IsZero());
    EXPECT_EQ(grey->m_nCrossValue, -1);
}

TEST_F(DocumentTest, PasteIsDisabledAfterTheCopiedDocumentCloses)
{
    CFraloDoc* first = frame->ActiveDocument();
    app->NewImageDocument(0, 0);
    frame->MdiArea()->setActiveSubWindow(first->m_pChildFrame);
    frame->Execute(ID_EDIT_COPY);
    frame->UpdateCommandUI();
    EXPECT_TRUE(frame->Action(ID_EDIT_PASTE)->isEnabled());
    frame->Execute(ID_FILE_CLOSE);
    EXPECT_EQ(app->m_pCopiedDoc, nullptr);
    frame->UpdateCommandUI();
    EXPECT_FALSE(frame->Action(ID_EDIT_PASTE)->isEnabled());
    EXPECT_FALSE(frame->Execute(ID_EDIT_PASTE));
}

TEST_F(DocumentTest, ClipboardRoundTrip)
{
    CFraloDoc* source = frame->ActiveDocument();
    source->SetImage(Uniform(64, 32, 0x00C08040, true));
    ASSERT_TRUE(frame->Execute(ID_EDIT_COPY));
    CFraloDoc* target = app->NewImageDocument(0, 0);
    target->SetImage(Uniform(10, 10, 1, false));
    target->m_ptCross = {3, 3};
    target->m_nKind = 4;
    QString name = target->m_strName;
    ASSERT_TRUE(frame->Execute(ID_PASTE_CLIPBOARD));
    EXPECT_EQ(target->m_nWidth, 64);
    EXPECT_EQ(target->m_nHeight, 32);
    EXPECT_EQ(target->Channels(), 3);
    EXPECT_EQ(CFraloDoc::GetPixelValue(target->m_image, 63, 31), 0x00C08040);
    EXPECT_EQ(target->m_strName, name);
    EXPECT_EQ(target->m_pChildFrame->windowTitle(), name + " (64x32)");
    EXPECT_TRUE(target->m_ptCross.IsZero());
    EXPECT_EQ(target->m_nKind, 0);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(DocumentTest, EmptyClipboardIsReported)
{
    QApplication::clipboard()->clear();
    ASSERT_TRUE(frame->Execute(ID_PASTE_CLIPBOARD));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QString::fromUtf8("Erreur sur fonction GetClipboardData(CF_DIB) !"));
}

TEST_F(DocumentTest, ClipboardImagesBeyond32767PixelsAreRefused)
{
    CFraloDoc* doc = frame->ActiveDocument();
    const int width = doc->m_nWidth;
    QImage wide(32768, 1, QImage::Format_RGB32);
    wide.fill(Qt::red);
    QApplication::clipboard()->setImage(wide);
    ASSERT_TRUE(frame->Execute(ID_PASTE_CLIPBOARD));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0],
              QString::fromUtf8("Image du presse-papier trop grande (32767 pixels au plus) !"));
    EXPECT_EQ(doc->m_nWidth, width);
}

TEST_F(DocumentTest, CopyRulesFollowTheKindAndAcquisition)
{
    CFraloDoc* doc = frame->ActiveDocument();
    frame->UpdateCommandUI();
    EXPECT_TRUE(frame->Action(ID_EDIT_COPY)->isEnabled());
    EXPECT_TRUE(frame->Action(ID_SAVE)->isEnabled());
    doc->m_nKind = 16;
    frame->UpdateCommandUI();
    EXPECT_FALSE(frame->Action(ID_EDIT_COPY)->isEnabled());
    doc->m_nKind = 0;
    app->Live().Acquire(*doc);
    frame->UpdateCommandUI();
    EXPECT_FALSE(frame->Action(ID_EDIT_COPY)->isEnabled());
    EXPECT_FALSE(frame->Action(ID_PASTE_CLIPBOARD)->isEnabled());
    EXPECT_EQ(frame->ValuesPane(), "Acq. permanente: Image0");
    EXPECT_EQ(frame->UnitsPane(), "");
    app->Live().End();
    frame->Execute(ID_FILE_CLOSE);
    frame->UpdateCommandUI();
    EXPECT_FALSE(frame->Action(ID_SAVE)->isEnabled());
    EXPECT_EQ(frame->ValuesPane(), "");
}

TEST_F(DocumentTest, PanesOfAWhitePixel)
{
    CFraloDoc* doc = frame->ActiveDocument();
    doc->m_ptMouse = {12, 34};
    doc->m_nMouseValue = 0xFFFFFF;
    EXPECT_EQ(frame->ValuesPane(), "X:12, Y:34, R:255, V:255, B:255");
    EXPECT_EQ(frame->UnitsPane(), "X,Y(pixel), RVB(luminance)");
}

TEST_F(DocumentTest, FitFrameToImageCapsAtTheMaximum)
{
    // A work area larger than the maximum size.
    frame->showNormal();
    frame->resize(1600, 1200);
    CFraloDoc* doc = frame->ActiveDocument();
    doc->FitFrameToImage(2000, 50);
    EXPECT_EQ(doc->m_pChildFrame->ClientSize(), QSize(1028, 54));
    QSize outer = doc->m_pChildFrame->size();
    doc->FitFrameToImage(300, 300);
    EXPECT_EQ(doc->m_pChildFrame->size() - outer, QSize(300 - 1024, 250));
    doc->MoveFrameTo(40, 30);
    EXPECT_EQ(doc->m_pChildFrame->pos(), QPoint(40, 30));
}

} // namespace
