#include <gtest/gtest.h>

#include <qdriver/port_models.h>

namespace qdriver {
namespace {

TEST(IoBusTest, UnclaimedPortsFloatHighAndWideAccessesSpanModels)
{
    IoBus bus;
    auto latch = std::make_shared<LatchPorts>(2);
    ASSERT_TRUE(bus.Attach(0x378, 2, latch));
    EXPECT_FALSE(bus.Attach(0x379, 1, std::make_shared<LatchPorts>(1)));
    EXPECT_FALSE(bus.Attach(0x100, 0, latch));
    EXPECT_EQ(bus.In(0x200, 1), 0xFFu);
    bus.Out(0x378, 2, 0xBEEF);
    EXPECT_EQ(latch->Register(0), 0xEF);
    EXPECT_EQ(latch->Register(1), 0xBE);
    EXPECT_EQ(bus.In(0x377, 4), 0xFFBEEFFFu);
    bus.Out(0x377, 4, 0x11223344);
    EXPECT_EQ(latch->Register(0), 0x33);
    EXPECT_EQ(latch->Register(1), 0x22);
    EXPECT_EQ(latch->Writes(), (std::vector<PortAccess>{
                                   {true, 0, 2, 0xBEEF}, {true, 0, 1, 0x33}, {true, 1, 1, 0x22}}));
}

TEST(IoBusTest, ScriptedReadsRepeatTheLastValue)
{
    ScriptedPorts ports(0x5A);
    ports.Script(1, {0x80, 0x01});
    EXPECT_EQ(ports.In(1, 1), 0x80u);
    EXPECT_EQ(ports.In(1, 1), 0x01u);
    EXPECT_EQ(ports.In(1, 1), 0x01u);
    EXPECT_EQ(ports.In(0, 1), 0x5Au);
    ports.Out(2, 2, 0x1234);
    EXPECT_EQ(ports.Accesses().back(), (PortAccess{true, 2, 2, 0x1234}));
}

TEST(IoBusTest, InterruptLinesReachTheLatestListenerOnly)
{
    IoBus bus;
    std::vector<uint32_t> first, second;
    int a = 0, b = 0;
    bus.RaiseInterrupt(1); // nobody listens
    bus.SetInterruptHandler(&a, [&](uint32_t level) { first.push_back(level); });
    bus.RaiseInterrupt(5);
    bus.SetInterruptHandler(&b, [&](uint32_t level) { second.push_back(level); });
    bus.RemoveInterruptHandler(&a); // no longer the listener: nothing changes
    bus.RaiseInterrupt(7);
    bus.RemoveInterruptHandler(&b);
    bus.RaiseInterrupt(9);
    EXPECT_EQ(first, std::vector<uint32_t>{5});
    EXPECT_EQ(second, std::vector<uint32_t>{7});
}

} // namespace
} // namespace qdriver
