// The live derived views against the test plug-in under a library source,
// the simulated webcam and the TWAIN copy: what "&Visualiser" sets up, what
// a tick computes, and what "&Fermer" leaves.
#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QTimer>

#include <clock/clock.h>
#include <dvl/simulated_boards.h>
#include <imageproc/plane_buffers.h>
#include <vfw/simulated_webcam.h>

#include "widget_fixture.h"
#include "workbench/acquisition/vfw_capture_wnd.h"
#include "workbench/analysis/dialog_controls.h"
#include "workbench/core/false_colour.h"
#include "workbench/core/live_view_layout.h"
#include "workbench/dialogs/false_color_dlg.h"
#include "workbench/dialogs/real_time_dlg.h"

namespace {

class LiveViewTest : public WorkbenchTest {
protected:
    void Choose(int command) { ASSERT_TRUE(frame->Execute(command)); }
    template <class Control> Control* Find(QWidget* dialog, int id)
    {
        return dialog->findChild<Control*>(ControlName(id));
    }
    // One frame grabbed by the camera view's live loop.
    void Grab(CFraloDoc* camera)
    {
        static_cast<CFraloView*>(camera->m_pView)->OnTimer(98);
        static_cast<CFraloView*>(camera->m_pView)->OnTimer(99);
    }
    static std::vector<uint8_t> Plane(const CFraloDoc* d, int channel)
    {
        const PlaneView v = ViewPlanes(d->m_image);
        return {v.planes[channel], v.planes[channel] + std::size_t(v.width) * v.height};
    }
};

// A false-colour dialog whose every tick starts another one inside it.
class NestedTickDlg : public CFalseColorDlg {
public:
    using CFalseColorDlg::CFalseColorDlg;
    int computed = 0;

protected:
    void ComputeResult() override
    {
        ++computed;
        OnTimer(TIMER_FALSE_COLOURS);
        CFalseColorDlg::ComputeResult();
    }
};

TEST_F(LiveViewTest, FalseColoursShowTheLibrarySourceThroughThePalette)
{
    Choose(ID_SOURCE_ZEPHON2);
    CFraloDoc* camera = frame->ActiveDocument();
    NestedTickDlg dialog(app.get(), frame);
    EXPECT_EQ(dialog.windowTitle(), "Visualisation en fausses couleurs");
    EXPECT_EQ(Find<QLabel>(&dialog, 1001)->text(), camera->m_strName);
    EXPECT_EQ(Find<QLabel>(&dialog, 1002)->text(), "NOUVELLE IMAGE");
    auto* show = Find<QPushButton>(&dialog, 1);
    show->click();

    CFraloDoc* result = dialog.ResultDocument();
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(camera->m_nWidth * 1000 + camera->m_nHeight, 768576);
    EXPECT_EQ(ShapeOf(camera->m_image).width, 768);
    EXPECT_EQ(result->m_nWidth * 1000 + result->m_nHeight, 768576);
    EXPECT_EQ(Find<QLabel>(&dialog, 1002)->text(), result->m_strName);
    EXPECT_EQ(result->m_pChildFrame->pos(), QPoint(0, 0));
    EXPECT_EQ(camera->m_pChildFrame->pos(), QPoint(768 + 15, 0));
    EXPECT_EQ(app->AcquiringDoc(), camera);
    EXPECT_FALSE(show->isEnabled());
    EXPECT_TRUE(dialog.IsTimerActive(CFalseColorDlg::TIMER_FALSE_COLOURS));

    Grab(camera);
    dialog.OnTimer(CFalseColorDlg::TIMER_FALSE_COLOURS);
    EXPECT_EQ(dialog.computed, 1) << "a tick inside a tick returns at once";
    const std::vector<uint8_t> grey = Plane(camera, 0);
    ASSERT_EQ(grey.size(), 768u * 576u) << "the camera image zoomed to the default size";
    const std::vector<uint8_t> r = Plane(result, 0), g = Plane(result, 1), b = Plane(result, 2);
    ASSERT_EQ(r.size(), grey.size());
    int wrong = 0;
    for (std::size_t i = 0; i < grey.size(); ++i)
        wrong += !(Rgb8{r[i], g[i], b[i]} == FalseColour(grey[i]));
    EXPECT_EQ(wrong, 0);
    EXPECT_NE(grey.front(), grey.back()) << "the frame is not flat";

    Find<QPushButton>(&dialog, 2)->click();
    EXPECT_FALSE(dialog.IsTimerActive(CFalseColorDlg::TIMER_FALSE_COLOURS));
    EXPECT_EQ(app->AcquiringDoc(), nullptr);
    EXPECT_EQ(app->m_nOpenImages, 2) << "the result stays open";
    EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
}

TEST_F(LiveViewTest, RealTimeShowsTheAmplifiedDifferenceFromTheReference)
{
    Choose(ID_SOURCE_ZEPHON2);
    CFraloDoc* camera = frame->ActiveDocument();
    CRealTimeDlg dialog(app.get(), frame);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Visualisation en temps réel"));
    auto* reference = Find<QPushButton>(&dialog, 3);
    auto* gain = Find<QLineEdit>(&dialog, 1005);
    EXPECT_EQ(gain->text(), "8");
    EXPECT_FALSE(reference->isEnabled());
    reference->click();

    Find<QPushButton>(&dialog, 1)->click();
    EXPECT_TRUE(reference->isEnabled());
    EXPECT_TRUE(dialog.IsTimerActive(CRealTimeDlg::TIMER_REAL_TIME));
    reference->click();
    Grab(camera);
    dialog.OnTimer(CRealTimeDlg::TIMER_REAL_TIME);
    // The test camera's frames are grey i + frame for pixel i < 32: no clamp at 8.
    const std::vector<uint8_t> first = Plane(camera, 0);
    std::vector<uint8_t> expected(first.size());
    for (std::size_t i = 0; i < first.size(); ++i)
        expected[i] = static_cast<uint8_t>(std::min(first[i] * 8, 255));
    EXPECT_EQ(Plane(dialog.ResultDocument(), 0), expected) << "a zero reference: g x gain";

    reference->click();
    static_cast<CFraloView*>(camera->m_pView)->OnTimer(99);
    dialog.OnTimer(CRealTimeDlg::TIMER_REAL_TIME);
    EXPECT_EQ(Plane(dialog.ResultDocument(), 0), std::vector<uint8_t>(first.size(), 8))
        << "the next frame is one grey level up";

    struct Case {
        const char* typed;
        int gain;
        const char* shown;
    };
    for (Case c : {Case{"-3", 3, "3"}, Case{"", 1, "1"}}) {
        gain->setText(QString::fromUtf8(c.typed));
        EXPECT_EQ(dialog.Gain(), c.gain) << c.typed;
        EXPECT_EQ(gain->text(), c.shown) << c.typed;
    }
    dialog.reject();
    EXPECT_EQ(app->AcquiringDoc(), nullptr);
}

TEST_F(LiveViewTest, WebcamResultGoesRightAndReadsTheCaptureWindow)
{
    ondula::VirtualClock clock;
    vfw::SetDriverFactory([&](int index) -> std::unique_ptr<vfw::CaptureDriver> {
        return index == 0 ? std::make_unique<vfw::SimulatedWebcam>(640, 480, clock) : nullptr;
    });
    Choose(ID_SOURCE_VFW);
    CFraloDoc* camera = frame->ActiveDocument();
    {
        CRealTimeDlg dialog(app.get(), frame);
        Find<QLineEdit>(&dialog, 1005)->setText("1");
        Find<QPushButton>(&dialog, 1)->click();
        EXPECT_EQ(camera->m_pChildFrame->pos(), QPoint(0, 0));
        EXPECT_EQ(dialog.ResultDocument()->m_pChildFrame->pos(),
                  QPoint(app->m_nDefaultWidth + 15, 0));
        ASSERT_EQ(app->AcquiringDoc(), camera);
        camera->m_pVfwCapture->Window()->PreviewTick();
        dialog.OnTimer(CRealTimeDlg::TIMER_REAL_TIME);
        int r = 0, g = 0, b = 0;
        camera->m_pVfwCapture->GetPixelRgb(10, 20, &r, &g, &b);
        EXPECT_EQ(Plane(dialog.ResultDocument(), 0)[10 + 20 * app->m_nDefaultWidth],
                  GreyLevel(r, g, b));
        dialog.reject();
    }
    EXPECT_EQ(app->AcquiringDoc(), nullptr);
    vfw::SetDriverFactory(nullptr);
}

TEST_F(LiveViewTest, ADeadCameraLeavesNoResultWindowAndOnlyTheStartsMessage)
{
    vfw::SetDriverFactory([](int) -> std::unique_ptr<vfw::CaptureDriver> { return nullptr; });
    struct Case {
        const char* name;
        std::function<std::unique_ptr<CLiveViewDlg>()> make;
        int resultId, timerId;
    };
    const Case cases[] = {
        {"false colours", [&] { return std::make_unique<CFalseColorDlg>(app.get(), frame); }, 1002,
         CFalseColorDlg::TIMER_FALSE_COLOURS},
        {"real time", [&] { return std::make_unique<CRealTimeDlg>(app.get(), frame); }, 1004,
         CRealTimeDlg::TIMER_REAL_TIME},
    };
    for (const Case& c : cases) {
        Choose(ID_SOURCE_VFW);
        messages.clear();
        const std::unique_ptr<CLiveViewDlg> dialog = c.make();
        auto* show = Find<QPushButton>(dialog.get(), 1);
        show->click();
        EXPECT_EQ(messages,
                  QStringList{QString::fromUtf8("Caméra USB Video for Windows non trouvée !")})
            << c.name;
        EXPECT_EQ(app->m_nSource, 0) << c.name;
        EXPECT_EQ(dialog->ResultDocument(), nullptr) << c.name;
        EXPECT_EQ(app->m_nOpenImages, 1) << c.name;
        EXPECT_EQ(frame->ActiveDocument(), dialog->CameraDocument()) << c.name;
        EXPECT_EQ(Find<QLabel>(dialog.get(), c.resultId)->text(), "NOUVELLE IMAGE") << c.name;
        EXPECT_FALSE(dialog->IsTimerActive(c.timerId)) << c.name;
        EXPECT_FALSE(show->isEnabled()) << c.name;
        if (auto* reference = Find<QPushButton>(dialog.get(), 3)) {
            EXPECT_FALSE(reference->isEnabled()) << c.name;
        }
        dialog->reject();
        EXPECT_EQ(app->m_nOpenImages, 1) << c.name;
        EXPECT_EQ(messages.size(), 1) << c.name;
    }
    vfw::SetDriverFactory(nullptr);
}

TEST_F(LiveViewTest, TalvoTicksReadTheBoardsGreyFrame)
{
    using namespace std::chrono_literals;
    dvl::SimulatedBoard fast = dvl::TalvoBoard();
    fast.frame_period = 2ms;
    dvl::RegisterBoard(fast);
    Choose(ID_SOURCE_TALVO);
    {
        CFalseColorDlg dialog(app.get(), frame);
        Find<QPushButton>(&dialog, 1)->click();
        ASSERT_EQ(app->AcquiringDoc(), dialog.CameraDocument());
        const auto flat = [](const std::vector<uint8_t>& p) {
            return std::adjacent_find(p.begin(), p.end(), std::not_equal_to<>()) == p.end();
        };
        std::vector<uint8_t> red;
        QElapsedTimer waited;
        waited.start();
        do {
            QApplication::processEvents();
            dialog.OnTimer(CFalseColorDlg::TIMER_FALSE_COLOURS);
            red = Plane(dialog.ResultDocument(), 0);
        } while (flat(red) && waited.elapsed() < 5000);
        EXPECT_EQ(red.size(), 768u * 576u);
        EXPECT_FALSE(flat(red)) << "the board's moving picture";
        dialog.reject();
    }
    EXPECT_EQ(app->AcquiringDoc(), nullptr);
    EXPECT_EQ(dvl::AllocatedObjects(), 0);
    dvl::ResetBoards();
}

TEST_F(LiveViewTest, WithoutSourceNoTimerAndWithTwainOnlyRedisplay)
{
    {
        CFalseColorDlg closedAtOnce(app.get(), frame);
        closedAtOnce.reject();
        EXPECT_EQ(app->m_nOpenImages, 1) << "closed before Visualiser: nothing made";
    }
    CFalseColorDlg none(app.get(), frame);
    Find<QPushButton>(&none, 1)->click();
    ASSERT_NE(none.ResultDocument(), nullptr);
    EXPECT_FALSE(none.IsTimerActive(CFalseColorDlg::TIMER_FALSE_COLOURS));
    none.reject();

    Choose(ID_SOURCE_TWAIN);
    frame->MdiArea()->setActiveSubWindow(none.CameraDocument()->m_pChildFrame);
    CFalseColorDlg twain(app.get(), frame);
    Find<QPushButton>(&twain, 1)->click();
    EXPECT_EQ(app->m_nSource, 1);
    EXPECT_TRUE(twain.IsTimerActive(CFalseColorDlg::TIMER_FALSE_COLOURS));
    const std::vector<uint8_t> before = Plane(twain.ResultDocument(), 0);
    twain.OnTimer(CFalseColorDlg::TIMER_FALSE_COLOURS);
    EXPECT_EQ(Plane(twain.ResultDocument(), 0), before);
    EXPECT_EQ(twain.ResultDocument()->Channels(), 1);
    twain.reject();
}

TEST_F(LiveViewTest, CommandsNeedASourceAboveTwainNothingAcquiringAndAnActiveDocument)
{
    frame->UpdateCommandUI();
    EXPECT_FALSE(frame->Action(ID_FALSE_COLOURS)->isEnabled());
    EXPECT_FALSE(frame->Action(ID_REAL_TIME_VIEW)->isEnabled());
    Choose(ID_SOURCE_ZEPHON2);
    QString title;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        title = modal ? modal->windowTitle() : QString();
        if (modal)
            static_cast<QDialog*>(modal)->reject();
    });
    ASSERT_TRUE(frame->Execute(ID_REAL_TIME_VIEW));
    EXPECT_EQ(title, QString::fromUtf8("Visualisation en temps réel"));
    ASSERT_TRUE(frame->Execute(ID_LIVE_ACQUISITION));
    EXPECT_FALSE(frame->Execute(ID_FALSE_COLOURS));
    ASSERT_TRUE(frame->Execute(ID_FROZEN_ACQUISITION));
    delete frame->ActiveDocument()->m_pChildFrame;
    EXPECT_TRUE(frame->Execute(ID_FALSE_COLOURS)) << "enabled, and does nothing";
    EXPECT_EQ(app->m_nOpenImages, 0);
}

} // namespace
