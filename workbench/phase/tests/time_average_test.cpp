// The time-averaged pages on the optical bench, their timers fired by hand.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "phase_fixture.h"
#include "workbench/phase/time_average_dlg.h"
#include "workbench/phase/time_average_pages.h"

namespace {

class TimeAverageTest : public PhaseBenchTest {
protected:
    void TearDown() override
    {
        averages.reset();
        PhaseBenchTest::TearDown();
    }
    template <class Page> Page* OpenAverage(int tab)
    {
        averages = std::make_unique<CTimeAverageDlg>(app.get(), bench.clock);
        averages->Tabs()->setCurrentIndex(tab);
        return qobject_cast<Page*>(averages->Page());
    }
    // Ticks of the view's live timers and of the page's timer.
    void TickAverage(CTimeAvgPage& page, int ticks)
    {
        for (int tick = 0; tick < ticks; ++tick) {
            FireLiveTimers();
            const int timer = page.Sequence()->Timer();
            if (page.IsTimerActive(timer))
                page.OnTimer(timer);
            bench.clock.time.Advance(std::chrono::milliseconds(50));
        }
    }
    static QString EditText(QWidget& page, int id) { return Control<QLineEdit>(page, id)->text(); }

    std::unique_ptr<CTimeAverageDlg> averages;
};

TEST_F(TimeAverageTest, FourImagesKeepTheirStepsAndShowAStillSurfaceBlack)
{
    auto& supply = bench.Plug(0);
    auto* page = OpenAverage<CTimeAvg4Page>(CTimeAverageDlg::TabFour);
    ASSERT_NE(page, nullptr);
    QStringList volts;
    for (int id : {1032, 1039, 1027, 1028})
        volts << EditText(*page, id);
    EXPECT_EQ(volts, (QStringList{"199", "232", "265", "298"}));
    EXPECT_EQ(Text(*page, CTimeAvgPage::IDC_AVERAGE_NAME), "NOUV. IMAGE");
    Control<QPushButton>(*page, 1038)->click();
    EXPECT_EQ(app->m_nPhaseSteps, (std::array<int16_t, 4>{409, 476, 544, 611}));
    EXPECT_EQ(Control<QPushButton>(*page, 1038)->text(), QString::fromUtf8("&Arrêter"));
    CFraloDoc* average = page->AverageDocument();
    EXPECT_EQ(average->m_strName, QStringLiteral("TempsMoy%1").arg(average->m_nImageNumber));
    // The surface does not vibrate and the supply does not move it: no modulation.
    TickAverage(*page, 17);
    EXPECT_EQ(page->Sequence()->Results(), 2);
    EXPECT_EQ(Pixel(average, 100, 100), 0);
    supply.Service();
    std::vector<int> sent;
    for (const auto& setpoint : supply.Setpoints())
        sent.push_back(setpoint.value);
    EXPECT_EQ(sent, (std::vector<int>{0, 409, 476, 544, 611, 0, 409, 476, 544, 611, 0}));
    Control<QPushButton>(*page, 1038)->click();
    EXPECT_EQ(app->AcquiringDoc(), nullptr);
    EXPECT_EQ(Control<QPushButton>(*page, 1038)->text(), QString::fromUtf8("&Démarrer"));
    EXPECT_TRUE(Enabled(*page, 1032));
}

TEST_F(TimeAverageTest, APageWhoseCameraDiesIsIdleAgainAndSaysWhy)
{
    bench.Plug(0);
    const QString lost = QString::fromUtf8("Erreur sur fonction acq. permanente !");
    // Ticks before the camera dies: 0 is a camera dead from the start.
    for (int tab : {CTimeAverageDlg::TabTwo, CTimeAverageDlg::TabFour})
        for (int alive : {5, 0}) {
            grabber.dead = false;
            messages.clear();
            averages.reset();
            frame->MdiArea()->setActiveSubWindow(camera->m_pChildFrame);
            auto* page = OpenAverage<CTimeAvgPage>(tab);
            const int button = tab == CTimeAverageDlg::TabTwo ? 3 : 1038;
            Control<QPushButton>(*page, button)->click();
            TickAverage(*page, alive);
            grabber.dead = true;
            TickAverage(*page, 20);
            EXPECT_FALSE(page->IsRunning()) << tab;
            EXPECT_EQ(Control<QPushButton>(*page, button)->text(), QString::fromUtf8("&Démarrer"));
            EXPECT_TRUE(Enabled(*page, 1032)) << tab;
            EXPECT_EQ(app->AcquiringDoc(), nullptr) << tab;
            // The live view's own message, once.
            EXPECT_EQ(messages, QStringList{QString::fromUtf8(
                                    "Erreur sur fonction Acq. permanente !\nVérifier votre caméra "
                                    "(shutter, diaphragme, ...")})
                << tab << " " << alive;
            if (tab == CTimeAverageDlg::TabTwo) {
                EXPECT_EQ(Text(*page, CTimeAvg2Page::IDC_PROGRESS), lost);
            }
        }
}

TEST_F(TimeAverageTest, ARestartShowsTheSizeOfTheFirstStart)
{
    bench.Plug(0);
    // A default size outside the source's sizes: the second start of live
    // acquisition replaces it.
    app->m_nDefaultWidth = 100;
    app->m_nDefaultHeight = 80;
    auto* page = OpenAverage<CTimeAvg4Page>(CTimeAverageDlg::TabFour);
    auto* button = Control<QPushButton>(*page, 1038);
    for (int start = 0; start < 2; ++start) {
        button->click();
        TickAverage(*page, 17);
        if (start == 0)
            button->click();
    }
    ASSERT_EQ(page->Sequence()->Results(), 2);
    EXPECT_EQ(ViewPlanes(page->AverageDocument()->m_image).width, 100);
}

TEST_F(TimeAverageTest, EscapeClosesTheDialogFromTheTwoImagePageOnly)
{
    for (int tab : {CTimeAverageDlg::TabTwo, CTimeAverageDlg::TabFour}) {
        auto* page = OpenAverage<CTimeAvgPage>(tab);
        averages->show();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(Control<QLineEdit>(*page, 1032), &escape);
        EXPECT_EQ(averages->isVisible(), tab == CTimeAverageDlg::TabFour) << tab;
    }
}

TEST_F(TimeAverageTest, TwoImagesAverageNPairsAndSeparateEqualVoltages)
{
    bench.Plug(0);
    auto* page = OpenAverage<CTimeAvg2Page>(CTimeAverageDlg::TabTwo);
    ASSERT_NE(page, nullptr);
    Control<QLineEdit>(*page, 1027)->setText(EditText(*page, 1032));
    Control<QPushButton>(*page, 3)->click();
    EXPECT_EQ(EditText(*page, 1027), "200");
    EXPECT_EQ(EditText(*page, 1032), "199");
    EXPECT_EQ(app->m_nPhaseSteps[0], 409);
    QStringList progress;
    TickAverage(*page, 1);
    for (int cycle = 0; cycle < 4; ++cycle) {
        TickAverage(*page, 9);
        progress << Text(*page, CTimeAvg2Page::IDC_PROGRESS);
    }
    EXPECT_EQ(progress, (QStringList{"1/3", "2/3", "3/3", ""}));
    EXPECT_EQ(page->Sequence()->Results(), 1);
}

} // namespace
