#include <QApplication>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include <imageproc/plane_buffers.h>
#include <verodyn/operators.h>
#include <verodyn/window.h>

#include "tests/support/scripted_grabber.h"
#include "widget_fixture.h"

namespace {

class ViewTest : public WorkbenchTest {
protected:
    void SetUp() override
    {
        WorkbenchTest::SetUp();
        doc = frame->ActiveDocument();
        view = static_cast<CFraloView*>(doc->m_pView);
        ASSERT_NE(view, nullptr);
    }
    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
    {
        Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(at), QPointF(view->viewport()->mapToGlobal(at)), button,
                          buttons, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &event);
    }
    void Drag(QPoint from, QPoint to)
    {
        Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
        Mouse(QEvent::MouseMove, to, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, to, Qt::NoButton);
    }
    // The view printed on a 400 x 300 page of colour `paper`.
    QImage PrintedPage(Qt::GlobalColor paper)
    {
        QImage page(400, 300, QImage::Format_RGB32);
        page.fill(paper);
        QPainter painter(&page);
        view->OnPrint(painter, QRect(0, 0, 400, 300));
        painter.end();
        return page;
    }
    CFraloDoc* doc = nullptr;
    CFraloView* view = nullptr;
};

TEST_F(ViewTest, MouseValuesAndPositionsOutsideTheImage)
{
    Mouse(QEvent::MouseMove, {10, 20}, Qt::NoButton);
    EXPECT_EQ(doc->m_ptMouse.x, 10);
    EXPECT_EQ(doc->m_ptMouse.y, 20);
    int32_t expected = CFraloDoc::GetPixelValue(doc->m_image, 10, 20);
    EXPECT_EQ(doc->m_nMouseValue, expected);
    Mouse(QEvent::MouseMove, {doc->m_nWidth + 2, 5}, Qt::NoButton);
    EXPECT_EQ(doc->m_ptMouse.x, doc->m_nWidth + 2);
    EXPECT_EQ(doc->m_nMouseValue, expected);
}

TEST_F(ViewTest, OffTheImageThePaneKeepsTheLastValueOfEveryPixelType)
{
    struct Case {
        VPixelType type;
        const char* off; // after (1, 1) on the image, (25, 1) beside it
    };
    const Case cases[] = {
        {VPixelType::Byte, "X:25, Y:1, W:7"},
        {VPixelType::Uint2, "X:25, Y:1, W:7"},
        {VPixelType::Real, "X:25, Y:1, W:7"},
        {VPixelType::Complex, "X:25, Y:1, Re:7, Im:0"},
    };
    for (const Case& c : cases) {
        auto image = VImage::create(c.type, 20, 20, 1);
        const int at = 20 + 1;
        switch (c.type) {
        case VPixelType::Byte:
            image->plane_as<uint8_t>(0)[at] = 7;
            break;
        case VPixelType::Uint2:
            image->plane_as<uint16_t>(0)[at] = 7;
            break;
        case VPixelType::Real:
            image->plane_as<float>(0)[at] = 7;
            break;
        default:
            image->plane_as<float>(0)[2 * at] = 7;
        }
        doc->SetImage(Vobject(image));
        Mouse(QEvent::MouseMove, {1, 1}, Qt::NoButton);
        Mouse(QEvent::MouseMove, {25, 1}, Qt::NoButton);
        EXPECT_EQ(frame->ValuesPane().toStdString(), c.off) << int(c.type);
    }
}

TEST_F(ViewTest, ImageCoordinatesFollowTheScrollPosition)
{
    doc->FitFrameToImage(100, 80);
    view->ScrollTo(30, 40);
    EXPECT_EQ(doc->m_ptScroll.x, 30);
    EXPECT_EQ(doc->m_ptScroll.y, 40);
    Mouse(QEvent::MouseMove, {5, 6}, Qt::NoButton);
    EXPECT_EQ(doc->m_ptMouse.x, 35);
    EXPECT_EQ(doc->m_ptMouse.y, 46);
    EXPECT_EQ(doc->m_nMouseValue, CFraloDoc::GetPixelValue(doc->m_image, 35, 46));

    QWheelEvent wheel(QPointF(5, 6), QPointF(view->viewport()->mapToGlobal(QPoint(5, 6))), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &wheel);
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(view, &right);
    QPoint scroll = view->ScrollPosition();
    ASSERT_NE(scroll, QPoint(30, 40));
    EXPECT_EQ(doc->m_ptScroll.x, scroll.x());
    EXPECT_EQ(doc->m_ptScroll.y, scroll.y());
    Mouse(QEvent::MouseMove, {5, 6}, Qt::NoButton);
    EXPECT_EQ(doc->m_ptMouse.x, 5 + scroll.x());
    EXPECT_EQ(doc->m_ptMouse.y, 6 + scroll.y());
}

TEST_F(ViewTest, AShortClickSetsTheCross)
{
    Drag({50, 60}, {60, 70});
    EXPECT_EQ(doc->m_ptCross.x, 50);
    EXPECT_EQ(doc->m_ptCross.y, 60);
    EXPECT_EQ(doc->m_nCrossValue, CFraloDoc::GetPixelValue(doc->m_image, 50, 60));
    EXPECT_EQ(doc->m_tracker.m_rect, TrackerRect{});
    EXPECT_EQ(doc->m_tracker.m_nHandleSize, 0);
}

TEST_F(ViewTest, AClickBesideTheImageLeavesTheCrossWhereItWas)
{
    PlaneBuffers p;
    p.width = p.height = 20;
    p.channels = 1;
    p.planes[0].assign(20 * 20, 7);
    p.planes[0][6 * 20 + 5] = 9;
    Vobject image;
    ASSERT_TRUE(MakeImageFromPlanes(p, &image));
    doc->SetImage(image);
    // Values relative to a cross beside the image would read 8 here.
    Drag({50, 50}, {50, 50});
    Mouse(QEvent::MouseMove, {3, 3}, Qt::NoButton);
    EXPECT_TRUE(doc->m_ptCross.IsZero());
    EXPECT_EQ(frame->ValuesPane().toStdString(), "X:3, Y:3, W:7");
    Drag({5, 6}, {5, 6});
    Drag({50, 50}, {50, 50});
    Mouse(QEvent::MouseMove, {3, 3}, Qt::NoButton);
    EXPECT_EQ(doc->m_ptCross.x, 5);
    EXPECT_EQ(doc->m_ptCross.y, 6);
    EXPECT_EQ(frame->ValuesPane().toStdString(), "dX:-2, dY:-3, dW:-2");
}

TEST_F(ViewTest, ADragOfFifteenPixelsMakesAProfileZone)
{
    Drag({50, 60}, {65, 62});
    EXPECT_TRUE(doc->m_nKind & 4);
    EXPECT_TRUE(doc->m_ptCross.IsZero());
    EXPECT_EQ(doc->m_profile.x1, 50);
    EXPECT_EQ(doc->m_profile.y1, 60);
    EXPECT_EQ(doc->m_profile.x2, 65);
    EXPECT_EQ(doc->m_profile.y2, 62);
    EXPECT_EQ(doc->m_tracker.m_nHandleSize, 8);
    EXPECT_TRUE(doc->m_tracker.m_nStyle & CRectTracker::resizeInside);

    view->OnClearProfiles();
    EXPECT_FALSE(doc->m_nKind & 4);
    EXPECT_EQ(doc->m_tracker.m_rect, TrackerRect{});
    EXPECT_EQ(doc->m_tracker.m_nStyle, unsigned(CRectTracker::dottedLine));
}

TEST_F(ViewTest, ADragWhoseReleaseWentElsewhereEndsAtTheNextMove)
{
    Mouse(QEvent::MouseButtonPress, {50, 60}, Qt::LeftButton);
    Mouse(QEvent::MouseMove, {80, 90}, Qt::LeftButton);
    Mouse(QEvent::MouseMove, {85, 95}, Qt::NoButton);
    EXPECT_TRUE(doc->m_nKind & 4);
    EXPECT_EQ(doc->m_tracker.m_rect, (TrackerRect{50, 60, 85, 95}));
    Mouse(QEvent::MouseMove, {120, 130}, Qt::NoButton);
    EXPECT_EQ(doc->m_tracker.m_rect, (TrackerRect{50, 60, 85, 95}));
    EXPECT_EQ(doc->m_profile.x2, 85);
    EXPECT_EQ(doc->m_profile.y2, 95);
}

TEST_F(ViewTest, TheImageIsShownOneToOneAndScrollsWithItsWindow)
{
    QWidget* window = window_widget(view->WindowHandle());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->size(), QSize(doc->m_nWidth, doc->m_nHeight));
    const auto shown = [&](int x, int y) { return window->grab().toImage().pixel(x, y); };
    const auto stored = [&](int x, int y) {
        int v = CFraloDoc::GetPixelValue(doc->m_image, x, y);
        return qRgb(RedOf(v), GreenOf(v), BlueOf(v));
    };
    EXPECT_EQ(shown(0, 0), qRgb(0, 0, 255));
    for (QPoint p :
         {QPoint(doc->m_nWidth - 1, doc->m_nHeight - 1), QPoint(17, 33), QPoint(254, 254)})
        EXPECT_EQ(shown(p.x(), p.y()), stored(p.x(), p.y())) << p.x() << "," << p.y();

    doc->FitFrameToImage(100, 80);
    Drag({10, 10}, {60, 50});
    ASSERT_NE(doc->m_tracker.m_rect, TrackerRect{});
    view->ScrollTo(30, 40);
    EXPECT_EQ(window->pos(), QPoint(-30, -40));
    EXPECT_EQ(doc->m_tracker.m_rect, TrackerRect{});
}

TEST_F(ViewTest, TheCursorFollowsTheZonesOfTheTracker)
{
    Drag({50, 60}, {150, 160});
    ASSERT_EQ(doc->m_tracker.m_rect, (TrackerRect{50, 60, 150, 160}));
    struct Case {
        QPoint at;
        Qt::CursorShape cursor;
    };
    const Case cases[] = {
        {{52, 62}, Qt::SizeFDiagCursor},  {{148, 158}, Qt::SizeFDiagCursor},
        {{52, 158}, Qt::SizeBDiagCursor}, {{100, 62}, Qt::SizeVerCursor},
        {{52, 110}, Qt::SizeHorCursor},   {{100, 110}, Qt::ArrowCursor},
        {{50, 110}, Qt::ArrowCursor},
    };
    for (const Case& c : cases) {
        Mouse(QEvent::MouseMove, c.at, Qt::NoButton);
        EXPECT_EQ(view->viewport()->cursor().shape(), c.cursor) << c.at.x() << "," << c.at.y();
    }
}

TEST_F(ViewTest, ResetMouseCoordinates)
{
    Drag({5, 6}, {5, 6});
    ASSERT_FALSE(doc->m_ptCross.IsZero());
    view->OnResetMouseCoords();
    EXPECT_TRUE(doc->m_ptCross.IsZero());
    EXPECT_EQ(doc->m_nCrossValue, -1);
}

std::map<int, bool> MenuState(QMenu* menu)
{
    std::map<int, bool> enabled;
    for (QAction* a : menu->actions())
        enabled[a->data().toInt()] = a->isEnabled();
    delete menu;
    return enabled;
}

TEST_F(ViewTest, OpeningAViewKeepsTheCheckModeItFound)
{
    for (const char* mode : {"~give_error", "~father"}) {
        set_check(mode);
        CFraloDoc* other = app->NewImageDocument(0, 0);
        EXPECT_NE(window_widget(other->m_pView->WindowHandle()), nullptr) << mode;
        EXPECT_EQ(check_give_error(), mode != std::string("~give_error"));
        EXPECT_EQ(check_father(), mode != std::string("~father"));
        set_check("give_error");
        set_check("father");
    }
}

TEST_F(ViewTest, ContextMenuGreying)
{
    auto items = MenuState(view->CreateContextMenu());
    EXPECT_EQ(items,
              (std::map<int, bool>{{32791, false}, {32792, false}, {32776, true}, {32777, false}}));
    doc->m_nKind = 4;
    items = MenuState(view->CreateContextMenu());
    EXPECT_TRUE(items[32777]);
    app->Live().Acquire(*doc);
    items = MenuState(view->CreateContextMenu());
    EXPECT_FALSE(items[32776]);
    EXPECT_FALSE(items[32777]);
    app->Live().End();
}

TEST_F(ViewTest, ContextMenuCommandsActOnTheirOwnView)
{
    doc->m_nKind = 4;
    doc->m_ptCross = {3, 4};
    CFraloDoc* other = app->NewImageDocument(0, 0);
    ASSERT_EQ(frame->ActiveDocument(), other);
    other->m_ptCross = {1, 1};
    QMenu* menu = view->CreateContextMenu();
    EXPECT_EQ(frame->ActiveDocument(), doc);
    QStringList texts;
    for (QAction* a : menu->actions())
        texts.append(a->text());
    EXPECT_EQ(texts, (QStringList{"Aquisition permanente", QString::fromUtf8("&Acquisition figée"),
                                  QString::fromUtf8("Initialiser coordonnées souris"),
                                  QString::fromUtf8("Effacer tracé des profils")}));
    menu->actions()[3]->trigger();
    menu->actions()[2]->trigger();
    delete menu;
    EXPECT_EQ(doc->m_nKind, 0);
    EXPECT_TRUE(doc->m_ptCross.IsZero());
    EXPECT_EQ(other->m_ptCross.x, 1);
}

class LiveTimerTest : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        app->Live().SetGrabbers(grabber);
        app->m_nSource = 3;
        doc->m_hGrabber = 7;
    }
    ScriptedGrabber grabber;
};

TEST_F(LiveTimerTest, StartWaitsThenGrabsEveryTick)
{
    view->StartLiveTimer(doc);
    EXPECT_EQ(app->AcquiringDoc(), doc);
    EXPECT_TRUE(view->IsTimerActive(98));
    view->OnTimer(98);
    EXPECT_FALSE(view->IsTimerActive(98));
    EXPECT_TRUE(view->IsTimerActive(99));
    EXPECT_EQ(grabber.grabs, 0);
    view->OnTimer(99);
    view->OnTimer(99);
    EXPECT_EQ(grabber.grabs, 2);
    EXPECT_EQ(grabber.lastHandle, 7);
    EXPECT_EQ(doc->m_nWidth, app->m_nChildWidth);
    view->StopLiveTimer();
    EXPECT_FALSE(view->IsTimerActive(99));
    EXPECT_EQ(grabber.grabs, 3);
    EXPECT_EQ(grabber.closes, 1);
    EXPECT_EQ(app->AcquiringDoc(), nullptr);
}

TEST_F(LiveTimerTest, TheFrameGrabbedAtTheStopIsTheOneShown)
{
    QWidget* window = window_widget(view->WindowHandle());
    ASSERT_NE(window, nullptr);
    const auto shown = [&] { return window->grab().toImage().pixel(0, 0); };
    ASSERT_EQ(shown(), qRgb(0, 0, 255));
    view->StartLiveTimer(doc);
    view->OnTimer(98);
    view->StopLiveTimer();
    EXPECT_EQ(grabber.grabs, 1);
    EXPECT_EQ(shown(), qRgb(0, 0, 0));
}

TEST_F(LiveTimerTest, GrabFailureEndsAcquisitionWithAMessage)
{
    view->StartLiveTimer(doc);
    view->OnTimer(98);
    grabber.results = {5322};
    view->OnTimer(99);
    EXPECT_FALSE(view->IsTimerActive(99));
    EXPECT_EQ(app->AcquiringDoc(), nullptr);
    EXPECT_EQ(grabber.closes, 1);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QString::fromUtf8("Erreur sur fonction Acq. permanente !\nVérifier "
                                             "votre caméra (shutter, diaphragme, ..."));
    EXPECT_EQ(doc->m_nWidth, app->m_nChildWidth);
}

TEST_F(LiveTimerTest, ClosingTheAcquiringDocumentEndsTheAcquisition)
{
    CFraloDoc* other = app->NewImageDocument(0, 0);
    other->m_pView->StartLiveTimer(other);
    frame->Execute(ID_FILE_CLOSE);
    EXPECT_EQ(app->AcquiringDoc(), nullptr);
    EXPECT_EQ(grabber.grabs, 0);
    EXPECT_EQ(grabber.closes, 1);
}

TEST_F(LiveTimerTest, ClosingAnotherDocumentEndsTheAcquisitionToo)
{
    CFraloDoc* other = app->NewImageDocument(0, 0);
    view->StartLiveTimer(doc);
    ASSERT_EQ(frame->ActiveDocument(), other);
    frame->Execute(ID_FILE_CLOSE);
    EXPECT_EQ(app->AcquiringDoc(), nullptr);
    EXPECT_FALSE(view->IsTimerActive(98));
    EXPECT_EQ(grabber.grabs, 0);
    EXPECT_EQ(grabber.closes, 1);
}

TEST_F(LiveTimerTest, AnAcquiringDocumentWithoutViewStillClosesTheGrabbers)
{
    auto loose = std::make_unique<CFraloDoc>();
    app->Live().Acquire(*loose);
    loose.reset();
    EXPECT_EQ(app->AcquiringDoc(), nullptr);
    EXPECT_EQ(grabber.closes, 1);
}

TEST_F(LiveTimerTest, AFileThatFailsToOpenLeavesTheAcquisitionRunning)
{
    QFile junk(Path("junk.tif"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not an image");
    junk.close();
    view->StartLiveTimer(doc);
    EXPECT_FALSE(frame->OpenFile(junk.fileName()));
    EXPECT_EQ(app->AcquiringDoc(), doc);
    EXPECT_TRUE(view->IsTimerActive(98));
    EXPECT_EQ(grabber.closes, 0);
}

TEST_F(ViewTest, PrintScalesIsotropicallyWithTrueColours)
{
    PlaneBuffers p;
    p.width = 2;
    p.height = 1;
    p.channels = 3;
    p.planes[0] = {255, 0};
    p.planes[1] = {0, 0};
    p.planes[2] = {0, 255};
    Vobject image;
    ASSERT_TRUE(MakeImageFromPlanes(p, &image));
    doc->SetImage(image);
    const QImage page = PrintedPage(Qt::white);
    EXPECT_EQ(page.pixel(50, 100), qRgb(255, 0, 0));
    EXPECT_EQ(page.pixel(350, 100), qRgb(0, 0, 255));
    EXPECT_EQ(page.pixel(200, 250), qRgb(255, 255, 255));
}

TEST_F(ViewTest, PrintingGivesThePictureTheViewShowsOrSaysThereIsNone)
{
    // A real image is printed as it is shown: scaled into grey levels.
    auto real = VImage::create(VPixelType::Real, 2, 1, 1);
    real->plane_as<float>(0)[0] = -3;
    real->plane_as<float>(0)[1] = 5;
    doc->SetImage(Vobject(real));
    const QImage page = PrintedPage(Qt::red);
    EXPECT_EQ(page.pixel(50, 100), qRgb(0, 0, 0));
    EXPECT_EQ(page.pixel(350, 100), qRgb(255, 255, 255));

    // A 16-bit image has no picture: no print dialog and no blank page.
    Vobject deep;
    ASSERT_EQ(gen_image_const(&deep, "uint2", 8, 8), V_OK);
    doc->SetImage(deep);
    int dialogs = 0;
    for (int id : {ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW}) {
        QTimer::singleShot(0, [&] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                ++dialogs;
                dialog->close();
            }
        });
        ASSERT_TRUE(frame->Execute(id)) << id;
        QApplication::processEvents();
    }
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(messages, QStringList(2, QString::fromUtf8("Image non imprimable !")));
}

TEST_F(ViewTest, OverlayHookDrawsCrossAndProfilesWithTheirChannel)
{
    std::vector<std::string> drawn;
    CFraloView::SetOverlayPainters(
        [&](QPainter&, CFraloDoc&, bool printing) {
            drawn.push_back(printing ? "cross-print" : "cross");
        },
        [&](QPainter&, CFraloDoc& d, bool) {
            drawn.push_back("profiles" + std::to_string(d.m_profile.channel));
        });
    QImage canvas(10, 10, QImage::Format_RGB32);
    QPainter painter(&canvas);
    view->DrawOverlays(painter, false);
    EXPECT_TRUE(drawn.empty());
    doc->m_ptCross = {1, 1};
    doc->m_nKind = 4;
    view->DrawOverlays(painter, false);
    view->DrawOverlays(painter, true);
    app->Live().Acquire(*doc);
    view->DrawOverlays(painter, false);
    app->Live().End();
    EXPECT_EQ(drawn, (std::vector<std::string>{"cross", "profiles3", "cross-print", "profiles3"}));
    CFraloView::SetOverlayPainters(nullptr, nullptr);
}

} // namespace
