#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "instrument_bench.h"
#include "metrology/instruments/c832_controller.h"

namespace instruments::testing {
namespace {

using namespace std::chrono_literals;
using qdriver::C832Command;
using qdriver::PortAccess;
using Words = std::vector<uint16_t>;

constexpr uint8_t kLtrj = 0x1F, kStt = 0x01;
const char* const kNoC832 =
    "Erreur de connexion à Quenlo !\n\nParamètres de connexion:\nDevice: c832\nBus Type: "
    "ISA\nUses port range\nPort Base: 0X210\nPort Count: 0X4\nIgnore ressource conflicts";

PortAccess Out(uint32_t port, uint32_t value) { return {true, port, 1, value}; }
PortAccess In(uint32_t port, uint32_t value) { return {false, port, 1, value}; }

class C832Test : public ::testing::Test {
protected:
    std::unique_ptr<CC832Controller> Make()
    {
        return std::make_unique<CC832Controller>(120000, bench->clock, bench->Sink());
    }
    void Reboot(BenchOptions options)
    {
        bench.reset();
        bench = std::make_unique<InstrumentBench>(options);
    }
    std::unique_ptr<InstrumentBench> bench = std::make_unique<InstrumentBench>();
};

// The accesses of MoveRelative(axis, -0.2) on a chip whose busy bit is clear.
std::vector<PortAccess> MoveRelativeTrace(uint32_t select, uint8_t status, uint8_t data)
{
    const uint32_t window = select + 1;
    std::vector<PortAccess> trace = {Out(select, status), In(window, 0), Out(window, kLtrj)};
    for (auto [high, low] : {std::pair{0x00, 0x03}, {0xFF, 0xFF}, {0xA2, 0x40}})
        trace.insert(trace.end(), {Out(select, status), In(window, 0), Out(select, data),
                                   Out(window, uint32_t(high)), Out(window, uint32_t(low))});
    trace.insert(trace.end(), {Out(select, status), In(window, 0), Out(window, kStt)});
    return trace;
}

TEST_F(C832Test, MoveRelativeSpeaksToTheAxisChip)
{
    auto c832 = Make();
    ASSERT_TRUE(c832->IsConnected());
    for (auto [axis, select, status] : {std::tuple{1, 0u, 0x80}, {4, 2u, 0x82}}) {
        // The presence test reads the chip's status, never its data port.
        bench->card->ClearTrace();
        EXPECT_EQ(c832->TestAxes(axis), 1);
        EXPECT_EQ(bench->card->Trace(),
                  (std::vector{Out(select, uint32_t(status)), In(select + 1, 0)}));
        bench->card->ClearTrace();
        ASSERT_TRUE(c832->MoveRelative(axis, -0.2));
        EXPECT_EQ(bench->card->Trace(),
                  MoveRelativeTrace(select, uint8_t(status), uint8_t(status + 1)))
            << axis;
    }
    EXPECT_EQ(bench->card->DecoderErrors(), 0);
}

TEST_F(C832Test, InitAndVelocityLoadTheChip)
{
    auto c832 = Make();
    bench->card->ClearTrace();
    c832->InitAxes(1);
    const auto commands = bench->card->Commands();
    EXPECT_EQ(commands, (std::vector<C832Command>{
                            {1, 0x00, {}},
                            {1, 0x1D, {0}},
                            {1, 0x1C, {0}},
                            {1, 0x1E, {0x0008, 1000}},
                            {1, 0x1E, {0x0004, 100}},
                            {1, 0x1E, {0x0002, 1000}},
                            {1, 0x1E, {0x0001, 1000}},
                            {1, 0x04, {}},
                            {1, kLtrj, {0x0020, 0, 500}},
                            {1, kLtrj, {0x0008, 0x00B7, 0x1B00}},
                        }));
    EXPECT_EQ(bench->card->LoadedVelocity(1), 12000000);
    for (auto [speed, word] : {std::pair{50.0f, 1666666}, {20.0f, 666666}, {80.0f, 2666666}}) {
        c832->SetVelocity(1, speed);
        EXPECT_EQ(bench->card->LoadedVelocity(1), word) << speed;
    }
}

TEST_F(C832Test, PositionsInMillimetres)
{
    auto c832 = Make();
    for (auto [counts, mm] : {std::pair{360000, 3.0f}, {30000, 0.25f}, {-24000, -0.2f}}) {
        bench->card->SetPosition(1, counts);
        EXPECT_EQ(c832->GetPosition(1), mm) << counts;
    }
    EXPECT_EQ(c832->GetPosition(0), 1e10f);
    bench->card->SetAbsent(true);
    EXPECT_EQ(c832->TestAxes(1), 0);
    EXPECT_EQ(c832->GetPosition(1), 1e10f);
}

TEST_F(C832Test, LimitSwitchesHaveOppositePolarities)
{
    auto c832 = Make();
    bench->card->SetTravel(1, 0, 1000);
    bench->card->SetTravel(2, 0, 1000);
    const struct {
        int32_t x1, x2;
        uint8_t inputs;
        int axis1, axis2, all;
    } cases[] = {{0, 0, 0x02, 0, 0, 0},
                 {2000, 0, 0x03, 1, 0, 1},
                 {0, 2000, 0x00, 0, 2, 2},
                 {2000, 2000, 0x01, 1, 2, 2}};
    for (const auto& c : cases) {
        bench->card->SetPosition(1, c.x1);
        bench->card->SetPosition(2, c.x2);
        bench->card->ClearTrace();
        EXPECT_EQ(c832->ReadLimitSwitches(1), c.axis1);
        EXPECT_EQ(bench->card->Trace(), (std::vector{Out(0, 0x87), In(1, c.inputs)}));
        EXPECT_EQ(c832->ReadLimitSwitches(2), c.axis2);
        EXPECT_EQ(c832->ReadLimitSwitches(0), c.all);
    }
    bench->card->ClearTrace();
    EXPECT_EQ(c832->CheckOverTravel(0), 2);
    EXPECT_EQ(bench->card->Commands(), (std::vector<C832Command>{{1, kLtrj, {0x0200, 0, 0}},
                                                                 {1, kStt, {}},
                                                                 {1, kLtrj, {0x0100, 0, 0}},
                                                                 {1, kStt, {}},
                                                                 {2, kLtrj, {0x0200, 0, 0}},
                                                                 {2, kStt, {}},
                                                                 {2, kLtrj, {0x0100, 0, 0}},
                                                                 {2, kStt, {}}}));
    EXPECT_TRUE(bench->card->IsMotorOff(1));
}

TEST_F(C832Test, BusyChips)
{
    bench->card->SetBusyReads(1, 5);
    auto c832 = Make();
    bench->card->ClearTrace();
    bench->card->SetPosition(1, 30000);
    EXPECT_EQ(c832->GetPosition(1), 0.25f);
    const auto trace = bench->card->Trace();
    EXPECT_EQ(std::vector(trace.begin(), trace.begin() + 11),
              (std::vector{Out(0, 0x80), In(1, 0), Out(1, 0x0A), Out(0, 0x80), In(1, 1), In(1, 1),
                           In(1, 1), In(1, 1), In(1, 1), In(1, 0), Out(0, 0x81)}));

    // A chip that stays busy is given up after 3 ms; its data are not read.
    bench->card->SetStuckBusy(1, true);
    bench->card->ClearTrace();
    const auto start = bench->clock.Now();
    EXPECT_EQ(c832->GetPosition(1), 1e10f);
    EXPECT_FALSE(c832->IsConnected());
    EXPECT_LT(bench->clock.Now() - start, 4ms);
    for (const auto& access : bench->card->Trace())
        EXPECT_FALSE(access.write && access.offset == 0 && access.value == 0x81);
    EXPECT_EQ(c832->TestAxes(1), 0);
}

TEST_F(C832Test, WithoutTheCardNothingAnswers)
{
    bench->card->SetAbsent(true);
    auto absent = Make();
    EXPECT_TRUE(absent->IsOpen());
    EXPECT_FALSE(absent->IsConnected());
    EXPECT_FALSE(absent->MoveRelative(1, 1.0));
    absent.reset();

    // Without the device "c832": the message once, and no port request ever.
    Reboot({.platformId = qdriver::wire::kPlatformNt, .unconfigured = {"c832"}});
    auto c832 = Make();
    c832->ResetAxis(1);
    c832->ResetInterrupts(0);
    EXPECT_EQ(c832->TestAxes(1), 0);
    EXPECT_EQ(c832->GetPosition(1), 1e10f);
    EXPECT_FALSE(c832->IsOpen());
    EXPECT_EQ(bench->messages, std::vector<std::string>{kNoC832});
    EXPECT_EQ(bench->PortRequests(), 0u);
}

TEST_F(C832Test, OnWindows9xPortInstructionsReachTheCardDirectly)
{
    Reboot({.platformId = qdriver::wire::kPlatform9x, .unconfigured = {}});
    auto c832 = Make();
    EXPECT_FALSE(c832->IsConnected());
    ASSERT_EQ(c832->TestAxes(1), 1);
    bench->card->ClearTrace();
    ASSERT_TRUE(c832->MoveRelative(1, -0.2));
    EXPECT_EQ(bench->card->Trace(), MoveRelativeTrace(0, 0x80, 0x81));
    EXPECT_TRUE(bench->driver->Log().empty());
}

TEST_F(C832Test, TargetsMustFit32BitCounts)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double mm;
        std::optional<int32_t> counts;
    } cases[] = {{-0.2, -24000},
                 {17895.697, 2147483640},
                 {17896.0, std::nullopt},
                 {-17896.0, std::nullopt},
                 {nan, std::nullopt}};
    auto c832 = Make();
    for (const auto& c : cases) {
        EXPECT_EQ(CC832Controller::ToCounts(c.mm, 120000), c.counts) << c.mm;
        bench->card->ClearTrace();
        EXPECT_EQ(c832->MoveAbsolute(1, c.mm), c.counts.has_value());
        EXPECT_EQ(bench->card->Trace().empty(), !c.counts.has_value());
    }
}

TEST_F(C832Test, MotionsTakeTheirTimeAndEndBoundedOrStopped)
{
    auto c832 = Make();
    c832->InitAxes(1);
    c832->SetVelocity(1, 20);
    ASSERT_TRUE(c832->MoveAbsolute(1, 0.25));
    // 30000 counts at 666666 / 65536 counts per 256 us: 0.755 s.
    const auto start = bench->clock.Now();
    bench->clock.time.Advance(754ms - (bench->clock.Now() - start));
    EXPECT_FALSE(c832->IsMotionDone(1));
    bench->clock.time.Advance(2ms);
    EXPECT_TRUE(c832->IsMotionDone(1));
    EXPECT_EQ(c832->GetPosition(1), 0.25f);

    // A jog into a limit, polled as the move dialog does, stops at it.
    bench->card->SetTravel(1, -1000000, 60000);
    c832->SetVelocity(1, 100);
    ASSERT_TRUE(c832->MoveRelative(1, 100.0));
    int polls = 0;
    while (!c832->CheckOverTravel(1) && ++polls < 1000)
        bench->clock.SleepFor(40ms);
    EXPECT_TRUE(c832->WaitMotionEnd(1));
    EXPECT_FALSE(bench->card->IsMoving(1));
    EXPECT_GT(bench->card->Position(1), 60000.0);
    EXPECT_LT(bench->card->Position(1), 68000.0);

    // A stalled axis: 0.2 mm at 100 mm/min is 0.12 s; the wait ends 1.5 x that
    // plus 2 s after it began, unfinished.
    bench->card->SetPosition(1, 0);
    bench->card->SetStalled(1, true);
    ASSERT_TRUE(c832->MoveRelative(1, 0.2));
    for (bool onTargetOnly : {false, true}) {
        const auto begin = bench->clock.Now();
        EXPECT_FALSE(onTargetOnly ? c832->WaitOnTarget(1) : c832->WaitMotionEnd(1));
        EXPECT_GE(bench->clock.Now() - begin, 2180ms);
        EXPECT_LT(bench->clock.Now() - begin, 2190ms);
    }
}

} // namespace
} // namespace instruments::testing
