#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

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

// A listener going away (a driver destroyed) while another thread delivers an
// interrupt to it must not be called after it left: leaving waits for the
// delivery, also when a newer listener took its place, but never for one on
// the leaving thread itself.
TEST(IoBusTest, AListenerLeavesOnlyOnceItsDeliveriesEnded)
{
    IoBus bus;
    int owner = 0, newer = 0;
    std::promise<void> entered, release;
    std::shared_future<void> released = release.get_future().share();
    bus.SetInterruptHandler(&owner, [&](uint32_t) {
        entered.set_value();
        released.wait();
    });
    std::thread delivery([&] { bus.RaiseInterrupt(3); });
    entered.get_future().wait();
    bus.SetInterruptHandler(&newer, [](uint32_t) {});
    std::atomic<bool> left{false};
    std::thread leaving([&] {
        bus.RemoveInterruptHandler(&owner);
        left = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(left);
    release.set_value();
    delivery.join();
    leaving.join();
    EXPECT_TRUE(left);

    int calls = 0;
    bus.SetInterruptHandler(&owner, [&](uint32_t) {
        ++calls;
        bus.RemoveInterruptHandler(&owner);
    });
    bus.RaiseInterrupt(3);
    bus.RaiseInterrupt(3);
    EXPECT_EQ(calls, 1);
}

} // namespace
} // namespace qdriver
