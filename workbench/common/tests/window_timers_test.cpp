#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QThread>
#include <functional>
#include <vector>

#include <verodyn/operators.h>

#include "workbench/common/user_message.h"
#include "workbench/common/window_timers.h"

namespace {

// Runs the event loop until `done` holds or `ms` milliseconds have passed.
bool run_until(const std::function<bool()>& done, int ms = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return done();
}

void run_for(int ms)
{
    run_until([] { return false; }, ms);
}

TEST(WindowTimersTest, TicksCallTheHandlerWithTheIdAndKillFromTheHandlerStopsThem)
{
    std::vector<int> ticks;
    WindowTimers timers([&](int id) { ticks.push_back(id); });
    timers.SetTimer(99, 1);
    EXPECT_TRUE(timers.IsActive(99));
    ASSERT_TRUE(run_until([&] { return ticks.size() >= 3; }));
    EXPECT_EQ(ticks, std::vector<int>(ticks.size(), 99));

    std::vector<int> once;
    WindowTimers killing([&](int id) {
        once.push_back(id);
        killing.KillTimer(id);
    });
    killing.SetTimer(7, 1);
    ASSERT_TRUE(run_until([&] { return !once.empty(); }));
    run_for(30);
    EXPECT_EQ(once, std::vector<int>{7});
    EXPECT_FALSE(killing.IsActive(7));
}

TEST(WindowTimersTest, DelayTimerHandsOverToTheFastTimer)
{
    // The live-acquisition pattern: a start delay whose first tick kills it and
    // arms the fast timer.
    std::vector<int> ticks;
    WindowTimers* self = nullptr;
    WindowTimers timers([&](int id) {
        ticks.push_back(id);
        if (id == 98) {
            self->KillTimer(98);
            self->SetTimer(99, 1);
        }
    });
    self = &timers;
    timers.SetTimer(98, 20);
    EXPECT_FALSE(timers.IsActive(99));
    ASSERT_TRUE(run_until([&] { return ticks.size() >= 3; }));
    EXPECT_EQ(ticks[0], 98);
    EXPECT_EQ(ticks[1], 99);
    EXPECT_EQ(ticks[2], 99);
    EXPECT_FALSE(timers.IsActive(98));
    EXPECT_TRUE(timers.IsActive(99));
    timers.KillTimer(99);
    EXPECT_FALSE(timers.IsActive(99));
}

TEST(WindowTimersTest, RearmingRestartsWithTheNewPeriod)
{
    int ticks = 0;
    WindowTimers timers([&](int) { ++ticks; });
    timers.SetTimer(5, 3600 * 1000);
    timers.SetTimer(5, 1);
    EXPECT_TRUE(run_until([&] { return ticks >= 2; }));
    timers.SetTimer(5, 3600 * 1000);
    const int before = ticks;
    run_for(30);
    EXPECT_EQ(ticks, before);
    EXPECT_TRUE(timers.IsActive(5));
}

TEST(WindowTimersTest, UnknownIdsAndNegativePeriods)
{
    int ticks = 0;
    WindowTimers timers([&](int) { ++ticks; });
    timers.KillTimer(42);
    EXPECT_FALSE(timers.IsActive(42));
    timers.SetTimer(1, -5);
    EXPECT_TRUE(run_until([&] { return ticks >= 1; }));
}

TEST(WindowTimersTest, AFailingTickStopsItsTimerAndShowsItsMessageOnce)
{
    QStringList shown;
    SetMessageSink([&](const QString& text, MessageButtons) {
        shown.append(text);
        return int(AnswerOk);
    });
    int ticks = 0;
    WindowTimers timers([&](int) {
        ++ticks;
        Vobject out;
        copy_image(Vobject(), &out);
    });
    timers.SetTimer(3, 0);
    ASSERT_TRUE(run_until([&] { return !shown.isEmpty(); }));
    run_for(20);
    SetMessageSink(nullptr);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timers.IsActive(3));
    EXPECT_EQ(shown, QStringList{QString::fromUtf8("Erreur de la bibliothèque d'images n°1302 "
                                                   "!\ncopy_image: input object is empty")});
}

} // namespace
