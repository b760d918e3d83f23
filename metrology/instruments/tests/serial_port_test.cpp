#include <gtest/gtest.h>

#include "instrument_bench.h"
#include "metrology/instruments/serial_line.h"
#include "metrology/instruments/serial_port.h"

namespace instruments::testing {
namespace {

using namespace std::chrono_literals;
using piezo_supply::Flow;
using piezo_supply::ReceivedByte;
using piezo_supply::Setpoint;

class SerialTest : public ::testing::Test {
protected:
    std::unique_ptr<CSerialPort> Open(int portIndex = 0, int model = 0)
    {
        return std::make_unique<CSerialPort>(portIndex, model, bench.clock, bench.Sink());
    }
    InstrumentBench bench;
};

TEST_F(SerialTest, SetpointsAreClampedAndSentOneByteEvery20Ms)
{
    auto& supply = bench.Plug(0);
    auto port = Open();
    const struct {
        int16_t value;
        std::string sent;
    } cases[] = {{1500, "1023\r"}, {-5, "0\r"}, {7, "7\r"}};
    for (const auto& c : cases) {
        const auto start = bench.clock.Now();
        const size_t first = supply.Bytes().size();
        port->SendSetpoint(c.value);
        std::vector<ReceivedByte> expected;
        for (size_t i = 0; i < c.sent.size(); ++i)
            expected.push_back({c.sent[i], start + 20ms * int(i)});
        EXPECT_EQ(std::vector(supply.Bytes().begin() + first, supply.Bytes().end()), expected);
        EXPECT_EQ(bench.clock.Now() - start, 20ms * int(c.sent.size()));
    }
    EXPECT_EQ(supply.Setpoints(),
              (std::vector<Setpoint>{
                  {1023, 500.0, 80ms}, {0, 0.0, 120ms}, {7, 7 / 1023.0 * 500, 160ms}}));
    EXPECT_TRUE(supply.Errors().empty());
    EXPECT_TRUE(bench.messages.empty());

    // A long-serving supply forgets what it has shown, but keeps its voltage.
    supply.ForgetHistory();
    EXPECT_TRUE(supply.Bytes().empty());
    EXPECT_DOUBLE_EQ(supply.Voltage(), 7 / 1023.0 * 500);
    port->SendSetpoint(9);
    EXPECT_EQ(supply.Setpoints(), (std::vector<Setpoint>{{9, 9 / 1023.0 * 500, 200ms}}));
}

TEST_F(SerialTest, EachModelHasItsLineSettings)
{
    for (int model : {0, 1}) {
        termios line{};
        // Left by an earlier user of the device: mark parity, other flow control.
        line.c_oflag = OPOST | ONLCR;
        line.c_cflag = PARENB | CMSPAR;
        line.c_iflag = IXANY;
        line.c_cc[VSTART] = 'q';
        line.c_cc[VSTOP] = 's';
        ApplySupplyLine(line, model);
        const tcflag_t framing = model == 0 ? PARENB | PARODD | CSTOPB : 0;
        EXPECT_EQ(line.c_cflag & (PARENB | PARODD | CMSPAR | CSTOPB | CSIZE), framing | CS8)
            << model;
        EXPECT_EQ(cfgetospeed(&line), speed_t(B9600));
        EXPECT_EQ(line.c_iflag & (IXON | IXOFF | IXANY), tcflag_t(IXON | IXOFF));
        EXPECT_EQ(line.c_cc[VSTART], 0x11);
        EXPECT_EQ(line.c_cc[VSTOP], 0x13);
        EXPECT_EQ(line.c_oflag & OPOST, 0u);
    }
    // The supply sees the settings of the port's model, and only those.
    auto& supply = bench.Plug(0, {.model = 1, .fullScale = 100});
    Open(0, 0)->SendSetpoint(1);
    Open(0, 1)->SendSetpoint(1023);
    EXPECT_EQ(supply.Errors(), (std::vector<std::string>{"line settings differ from model 1"}));
    EXPECT_EQ(supply.Voltage(), 100.0);
}

TEST_F(SerialTest, ASetpointHeldByXoffGoesOutWholeAfterXon)
{
    auto& supply = bench.Plug(0, {.flow = Flow::XoffPerLine, .holdTime = 200ms});
    auto port = Open();
    port->SendSetpoint(7);
    port->SendSetpoint(1023);
    EXPECT_EQ(supply.Setpoints(),
              (std::vector<Setpoint>{{7, 7 / 1023.0 * 500, 20ms}, {1023, 500.0, 301ms}}));
    EXPECT_EQ(bench.clock.Now(), 321ms);
    EXPECT_TRUE(bench.messages.empty());
}

TEST_F(SerialTest, ASilentSupplyEndsTheChannelWithinTheBoundAndSaysSoOnce)
{
    for (bool unplugged : {false, true}) {
        bench.messages.clear();
        auto& supply = bench.Plug(0, {.flow = unplugged ? Flow::Plain : Flow::Dead});
        auto port = Open();
        if (unplugged)
            supply.Unplug();
        const auto start = bench.clock.Now();
        port->SendSetpoint(1023);
        EXPECT_EQ(bench.clock.Now() - start, unplugged ? 0ms : 1020ms);
        EXPECT_TRUE(port->IsDead());
        port->SendSetpoint(5);
        EXPECT_EQ(bench.clock.Now() - start, unplugged ? 0ms : 1020ms);
        EXPECT_EQ(bench.messages,
                  (std::vector<std::string>{"L'alimentation piézo ne répond pas (COM1) !"}));
        EXPECT_TRUE(supply.Setpoints().empty());
    }
}

TEST_F(SerialTest, ASupplyKeepsNoMoreOfALineThanItsErrorShows)
{
    auto& supply = bench.Plug(0);
    const std::string noise(5000, '7');
    ASSERT_TRUE(Open()->Write(noise.c_str()));
    Open()->SendSetpoint(5);
    ASSERT_EQ(supply.Errors().size(), 1u);
    EXPECT_EQ(supply.Errors()[0], "line \"7777777777777777...\"");
    EXPECT_TRUE(supply.Setpoints().empty());
}

TEST_F(SerialTest, ThePortOfTheSimulatedSupplyOpensAgainWithItsParity)
{
    auto& supply = bench.Plug(0);
    for (int16_t value : {409, 476, 544})
        Open()->SendSetpoint(value);
    EXPECT_TRUE(bench.messages.empty());
    EXPECT_TRUE(supply.Errors().empty());
    EXPECT_EQ(supply.Setpoints().size(), 3u);
}

TEST_F(SerialTest, APortThatCannotBeUsedIsReportedOnce)
{
    bench.Plug(0);
    auto holder = Open(0);
    const struct {
        const char* com2;
        std::vector<std::string> messages;
        bool dead;
    } cases[] = {
        {"/nonexistent/ttyS9", {"Erreur d'ouverture du port série COM2 !"}, false},
        {bench.supplies[0]->Path().c_str(), {"Erreur d'ouverture du port série COM2 !"}, false},
        {"/dev/null",
         {"Erreur fonction BuildCommDCB", "L'alimentation piézo ne répond pas (COM2) !"},
         true},
    };
    for (const auto& c : cases) {
        bench.messages.clear();
        bench.ports[1].Set(c.com2);
        auto port = Open(1);
        EXPECT_FALSE(port->IsOpen()) << c.com2;
        port->SendSetpoint(512);
        port->SendSetpoint(512);
        EXPECT_EQ(bench.messages, c.messages) << c.com2;
        EXPECT_EQ(port->IsDead(), c.dead) << c.com2;
    }
    EXPECT_EQ(bench.clock.Now(), 0ms);
    EXPECT_FALSE(Open(2)->IsOpen());
}

} // namespace
} // namespace instruments::testing
