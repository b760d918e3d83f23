// The extraction and mask dialogs on the active document, through the
// frame's commands, their buttons and the view's mouse.
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

#include <imageproc/plane_buffers.h>
#include <verodyn/operators.h>

#include "widget_fixture.h"
#include "workbench/analysis/dialog_controls.h"
#include "workbench/dialogs/extract_image_dlg.h"
#include "workbench/dialogs/mask_dlg.h"

namespace {

class ZoneDialogTest : public WorkbenchTest {
protected:
    void SetUp() override
    {
        WorkbenchTest::SetUp();
        doc = frame->ActiveDocument();
        // A 300 x 200 grey ramp: pixel (x, y) is (x + y) mod 256.
        PlaneBuffers grey{300, 200, 1, {}};
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 300; ++x)
                grey.planes[0].push_back(static_cast<uint8_t>(x + y));
        Vobject image;
        ASSERT_TRUE(MakeImageFromPlanes(grey, &image));
        doc->SetImage(image);
    }
    template <class Control> Control* Find(QWidget* dialog, int id)
    {
        return dialog->findChild<Control*>(ControlName(id));
    }
    void Zone(CFraloDoc* d, TrackerRect r)
    {
        d->m_tracker.m_rect = r;
        d->m_nKind |= KindProfiles;
    }
    int Pixel(CFraloDoc* d, int channel, int x, int y)
    {
        const PlaneView v = ViewPlanes(d->m_image);
        return v.planes[channel][x + v.width * y];
    }
    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButtons buttons, Qt::KeyboardModifiers keys)
    {
        QWidget* viewport = doc->m_pView->viewport();
        Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(at), QPointF(viewport->mapToGlobal(at)), button, buttons,
                          keys);
        QApplication::sendEvent(viewport, &event);
    }
    CMaskDlg* OpenMask()
    {
        EXPECT_TRUE(frame->Execute(ID_MASK));
        EXPECT_FALSE(frame->Execute(ID_MASK)) << "one mask dialog at a time";
        return static_cast<CMaskDlg*>(app->m_pMaskDlg);
    }

    CFraloDoc* doc = nullptr;
};

TEST_F(ZoneDialogTest, ExtractionOkFollowsTheActiveDocumentAndItsZone)
{
    ASSERT_TRUE(frame->Execute(ID_EXTRACT));
    EXPECT_FALSE(frame->Execute(ID_EXTRACT)) << "one extraction dialog at a time";
    CExtractImageDlg* dialog = app->m_pExtractDlg;
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->IsTimerActive(CExtractImageDlg::TIMER_ACTIVE));
    auto* ok = Find<QPushButton>(dialog, 1);
    auto* name = Find<QLabel>(dialog, 1017);
    dialog->OnTimer(CExtractImageDlg::TIMER_ACTIVE);
    EXPECT_FALSE(ok->isEnabled()) << "empty tracker";
    EXPECT_EQ(name->text(), doc->m_strName);
    Zone(doc, {50, 40, 20, 10});
    dialog->OnTimer(CExtractImageDlg::TIMER_ACTIVE);
    EXPECT_TRUE(ok->isEnabled()) << "either orientation";
    QPixmap pixmap(doc->m_pView->viewport()->size());
    QPainter painter(&pixmap);
    static_cast<CFraloView*>(doc->m_pView)->DrawOverlays(painter, false);
    painter.end();
    EXPECT_EQ(doc->m_tracker.m_rect, (TrackerRect{20, 10, 50, 40})) << "drawn normalised";
    doc->m_nKind = KindComplexFft;
    dialog->OnTimer(CExtractImageDlg::TIMER_ACTIVE);
    EXPECT_FALSE(ok->isEnabled()) << "complex FFT image";
    doc->m_ptCross = {5, 6};
    doc->m_nCrossValue = 9;
    Find<QPushButton>(dialog, 2)->click();
    EXPECT_EQ(app->m_pExtractDlg, nullptr);
    EXPECT_EQ(doc->m_tracker.m_rect, TrackerRect{});
    EXPECT_EQ(doc->m_nKind & KindProfiles, 0);
    EXPECT_EQ(doc->m_nCrossValue, -1);
    EXPECT_TRUE(doc->m_ptCross.IsZero());
    ASSERT_TRUE(frame->Execute(ID_EXTRACT));
    delete doc->m_pChildFrame;
    app->m_pExtractDlg->OnTimer(CExtractImageDlg::TIMER_ACTIVE);
    EXPECT_FALSE(Find<QPushButton>(app->m_pExtractDlg, 1)->isEnabled());
    EXPECT_EQ(Find<QLabel>(app->m_pExtractDlg, 1017)->text(), "?");
}

TEST_F(ZoneDialogTest, ExtractionCropsTheOrderedClippedZoneOfMoreThan100Pixels)
{
    struct Case {
        TrackerRect zone;
        int width, height; // 0: the message and no document
        int x0, y0;
    };
    for (Case c : {Case{{10, 20, 111, 121}, 101, 101, 10, 20}, Case{{10, 0, 110, 200}, 0, 0, 0, 0},
                   Case{{350, 190, 20, 60}, 280, 130, 20, 60}}) {
        messages.clear();
        frame->MdiArea()->setActiveSubWindow(doc->m_pChildFrame);
        ASSERT_TRUE(frame->Execute(ID_EXTRACT));
        QPointer<CExtractImageDlg> dialog = app->m_pExtractDlg;
        Zone(doc, c.zone);
        doc->m_nCrossValue = 9;
        doc->m_nKind |= KindFftDerived;
        const int open = app->m_nOpenImages;
        Find<QPushButton>(dialog, 1)->click();
        EXPECT_EQ(app->m_pExtractDlg, nullptr);
        if (c.width == 0) {
            EXPECT_EQ(messages, QStringList{QString::fromUtf8(
                                    "Taille mini de la zone digitalisée : 100 x 100 pixels !")});
            EXPECT_EQ(app->m_nOpenImages, open);
            continue;
        }
        CFraloDoc* crop = frame->ActiveDocument();
        ASSERT_NE(crop, doc);
        EXPECT_EQ(crop->m_nWidth * 1000 + crop->m_nHeight, c.width * 1000 + c.height);
        EXPECT_EQ(ShapeOf(crop->m_image).width * 1000 + ShapeOf(crop->m_image).height,
                  c.width * 1000 + c.height);
        EXPECT_EQ(Pixel(crop, 0, 0, 0), (c.x0 + c.y0) % 256);
        EXPECT_EQ(Pixel(crop, 0, c.width - 1, c.height - 1),
                  (c.x0 + c.width - 1 + c.y0 + c.height - 1) % 256);
        EXPECT_EQ(crop->m_nKind, KindFftDerived) << "the source's kind without the profiles";
        EXPECT_EQ(doc->m_nCrossValue, -1);
        EXPECT_EQ(doc->m_tracker.m_rect, TrackerRect{});
        EXPECT_EQ(doc->m_nKind, KindFftDerived);
        delete crop->m_pChildFrame;
    }
}

TEST_F(ZoneDialogTest, MaskZonesAddOnceRemoveExactlyAndMakeAMaskDocument)
{
    app->m_nMaskShape = 1;
    CMaskDlg* dialog = OpenMask();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(Find<QRadioButton>(dialog, 1013)->isChecked()) << "the shape last chosen";
    Find<QRadioButton>(dialog, 1012)->click();
    EXPECT_EQ(app->m_nMaskShape, 0);
    auto* ok = Find<QPushButton>(dialog, 1);
    auto* remove = Find<QPushButton>(dialog, 4);
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_FALSE(remove->isEnabled());

    Zone(doc, {0, 10, 30, 20});
    Find<QPushButton>(dialog, 3)->click();
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_TRUE(remove->isEnabled());
    EXPECT_EQ(ShapeOf(doc->m_image).channels, 1) << "a tracker edge at 0 paints nothing";

    Zone(doc, {10, 10, 30, 20});
    Find<QPushButton>(dialog, 3)->click();
    Find<QPushButton>(dialog, 3)->click();
    EXPECT_EQ(Pixel(doc, 0, 10, 10), 20 + 127);
    EXPECT_EQ(Pixel(doc, 0, 30, 20), (50 + 127) % 256);
    EXPECT_EQ(Pixel(doc, 1, 30, 20), 50);
    EXPECT_EQ(Pixel(doc, 0, 31, 20), 51);
    remove->click();
    EXPECT_EQ(Pixel(doc, 0, 10, 10), 20) << "the grey back exactly";
    Zone(doc, {10, 10, 13, 12});
    Find<QPushButton>(dialog, 3)->click();

    const int counter = app->m_nImageCounter;
    ok->click();
    EXPECT_EQ(app->m_pMaskDlg, nullptr);
    CFraloDoc* mask = frame->ActiveDocument();
    ASSERT_NE(mask, doc);
    EXPECT_EQ(mask->m_strName, QStringLiteral("Masque%1").arg(counter + 1));
    EXPECT_EQ(ShapeOf(mask->m_image).channels, 1);
    EXPECT_EQ(Pixel(mask, 0, 10, 10) * 1000 + Pixel(mask, 0, 13, 12), 255255);
    EXPECT_EQ(Pixel(mask, 0, 14, 12) * 1000 + Pixel(mask, 0, 20, 15), 0);
    EXPECT_EQ(ShapeOf(doc->m_image).channels, 1) << "the image given back";
    EXPECT_EQ(Pixel(doc, 0, 10, 10), 20);
    EXPECT_EQ(doc->m_tracker.m_rect, TrackerRect{});
}

TEST_F(ZoneDialogTest, ColourImageGetsAGreyWorkingCopyAndItsColoursBack)
{
    PlaneBuffers colour{300, 200, 3, {}};
    for (auto& plane : colour.planes)
        plane.assign(300 * 200, 0);
    colour.planes[0].assign(300 * 200, 200);
    colour.planes[1].assign(300 * 200, 100);
    Vobject image;
    ASSERT_TRUE(MakeImageFromPlanes(colour, &image));
    doc->SetImage(image);
    app->m_nMaskShape = 0;
    CMaskDlg* dialog = OpenMask();
    Zone(doc, {5, 5, 8, 8});
    Find<QPushButton>(dialog, 3)->click();
    EXPECT_EQ(
        Find<QLabel>(dialog, 1016)->text(),
        QString::fromUtf8("L'image originale sera restituée en fin de création du masque..."));
    EXPECT_EQ(Pixel(doc, 1, 0, 0) * 1000 + Pixel(doc, 2, 0, 0), 119119);
    EXPECT_EQ(Pixel(doc, 0, 5, 5), 119 + 127);
    EXPECT_TRUE(messages.isEmpty());
    Find<QPushButton>(dialog, 1)->click();
    EXPECT_EQ(ShapeOf(frame->ActiveDocument()->m_image).channels, 1);
    EXPECT_EQ(Pixel(doc, 0, 5, 5) * 1000 + Pixel(doc, 1, 5, 5), 200100);
}

TEST_F(ZoneDialogTest, BrushPaintsDiscsUnderTheLeftButtonAloneAndKeepsTheMouseValues)
{
    app->m_nMaskShape = 2;
    CMaskDlg* dialog = OpenMask();
    doc->m_nMouseValue = 77;
    Mouse(QEvent::MouseButtonPress, {0, 0}, Qt::LeftButton, Qt::NoModifier);
    EXPECT_EQ(doc->m_tracker.m_rect, TrackerRect{}) << "no rubber band";
    EXPECT_EQ(Pixel(doc, 0, 0, 0), 127);
    EXPECT_EQ(Pixel(doc, 0, 4, 0), 4 + 127);
    EXPECT_EQ(Pixel(doc, 0, 5, 0), 5) << "radius 5, clipped at the border";
    Mouse(QEvent::MouseMove, {100, 50}, Qt::LeftButton, Qt::NoModifier);
    EXPECT_EQ(Pixel(doc, 0, 100, 54), (154 + 127) % 256);
    EXPECT_EQ(Pixel(doc, 0, 100, 55), 155);
    EXPECT_EQ(doc->m_nMouseValue, 77);
    EXPECT_EQ(doc->m_ptMouse.x, 0);
    Mouse(QEvent::MouseMove, {200, 50}, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(Pixel(doc, 0, 200, 50), 250) << "with a key held the mouse values update";
    EXPECT_EQ(doc->m_ptMouse.x, 200);
    Mouse(QEvent::MouseButtonRelease, {200, 50}, Qt::NoButton, Qt::NoModifier);

    frame->UpdateCommandUI();
    EXPECT_FALSE(frame->Action(ID_SAVE)->isEnabled());
    EXPECT_FALSE(frame->Action(ID_SAVE_AS)->isEnabled());
    QPointer<CMaskDlg> open = dialog;
    delete doc->m_pChildFrame;
    EXPECT_EQ(app->m_pMaskDlg, nullptr) << "closing the document cancels the dialog";
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(open.isNull());
    frame->UpdateCommandUI();
    EXPECT_TRUE(frame->Action(ID_MASK)->isEnabled());
}

TEST_F(ZoneDialogTest, AClosingSaveWritesTheImageNotTheMasksWorkingCopy)
{
    const QString path = Path("ramp.tif");
    const Vobject ramp = doc->m_image;
    Vobject blank;
    ASSERT_EQ(gen_image_const(&blank, "byte", 300, 200), V_OK);
    doc->SetImage(blank);
    ASSERT_TRUE(doc->SaveImage(path));
    doc->SetImage(ramp);
    closeAnswer = AnswerYes;
    for (bool fromFile : {false, true}) {
        if (fromFile) {
            ASSERT_TRUE((doc = app->NewImageDocument(0, 0))->LoadImage(path));
        }
        CMaskDlg* dialog = OpenMask();
        Zone(doc, {10, 10, 30, 20});
        Find<QPushButton>(dialog, 3)->click();
        ASSERT_EQ(Pixel(doc, 0, 10, 10), 20 + 127);
        EXPECT_EQ(doc->IsModified(), !fromFile) << "the working copy is no change";
        messages.clear();
        frame->OnFileClose();
        EXPECT_EQ(messages.size(), fromFile ? 0 : 1);
        EXPECT_EQ(app->m_pMaskDlg, nullptr);
        Vobject saved;
        ASSERT_EQ(read_image(&saved, path.toLocal8Bit().constData()), V_OK);
        EXPECT_EQ(ShapeOf(saved).channels, 1);
        EXPECT_EQ(ViewPlanes(saved).planes[0][10 + 300 * 10], 20);
    }
}

TEST_F(ZoneDialogTest, MaskOkWithoutAZoneMakesNothing)
{
    CMaskDlg* dialog = OpenMask();
    const int open = app->m_nOpenImages;
    Find<QPushButton>(dialog, 3)->click();
    Find<QPushButton>(dialog, 1)->click();
    EXPECT_EQ(app->m_nOpenImages, open);
    EXPECT_EQ(app->m_pMaskDlg, nullptr);
}

TEST_F(ZoneDialogTest, AnImageResizedSinceOpeningIsReportedAndReadWithinBothSizes)
{
    CMaskDlg* dialog = OpenMask();
    Vobject small;
    gen_image_const(&small, "byte", 40, 30);
    doc->SetImage(small);
    dialog->PaintZone(0, 1, 1, 3, 3);
    EXPECT_EQ(messages, QStringList{"Erreur sur taille image !"});
    EXPECT_EQ(ShapeOf(doc->m_image).width, 300) << "the working copy keeps the size at opening";
    dialog->reject();
    EXPECT_EQ(ShapeOf(doc->m_image).width, 40);
}

} // namespace
