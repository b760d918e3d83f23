#include <atomic>

#include "driver_fixture.h"

namespace qdriver::testing {
namespace {

using namespace wire;

struct Outcome {
    std::atomic<int> calls{0};
    win32::Status status = -1;
    uint32_t returned = 0;
    Completion Callback()
    {
        return [this](win32::Status s, uint32_t r) {
            status = s;
            returned = r;
            ++calls;
        };
    }
};

// A configured device opened once synchronously and once overlapped, its
// interrupt connected and enabled; waits land in `reply`.
class InterruptFixture : public DriverFixture {
protected:
    void Connect(const char* name, uint32_t level)
    {
        Load();
        sync = Open(name);
        overlapped = Open(name, kOpenOverlapped);
        Words connected(5);
        ASSERT_EQ(Send(sync, kConnectInterrupt, {0, 1, 0, level, level, 1}, &connected),
                  win32::kSuccess);
        ASSERT_EQ(Send(sync, kSetProperty, {0, 1, 1, 0}), win32::kSuccess);
    }
    win32::Status Wait(Outcome& outcome)
    {
        uint32_t returned = 0;
        return driver->Submit(overlapped, kWaitInterrupt, &context, 4, reply.data(), 16, &returned,
                              outcome.Callback());
    }
    Handle sync = kInvalidHandle, overlapped = kInvalidHandle;
    uint32_t context = 0;
    Words reply = Words(4, 0xEE);
};

class InterruptTest : public InterruptFixture {
protected:
    void SetUp() override
    {
        DriverFixture::SetUp();
        Configure("c832", {{kPortBase, 0x210},
                           {kPortCount, 4},
                           {kInterruptLevel, 5},
                           {kIsrOp, kOpIn + 1},
                           {kIsrOffset, 1},
                           {kIsrIdOp, kOpIn + 1},
                           {kIsrIdOffset, 2},
                           {kIsrIdMask, 0x80},
                           {kIsrIdValue, 0x80}});
        Connect("c832", 5);
    }
};

TEST_F(InterruptTest, AWaitCompletesWithTheServiceAndIdentificationData)
{
    Outcome outcome;
    ASSERT_EQ(Wait(outcome), win32::kIoPending);
    card->Script(2, {0x00, 0x81});
    card->Script(1, {0x5A});
    driver->RaiseInterrupt(5); // identification says not ours
    EXPECT_EQ(outcome.calls, 0);
    driver->RaiseInterrupt(5);
    ASSERT_EQ(outcome.calls, 1);
    EXPECT_EQ(outcome.status, win32::kSuccess);
    EXPECT_EQ(outcome.returned, 16u);
    EXPECT_EQ(reply, (Words{0, 0x5A, 0x81, 0}));
}

TEST_F(InterruptTest, AnInterruptWithoutWaitIsKeptForTheNextWait)
{
    card->Script(1, {0x11, 0x22});
    card->Script(2, {0x81, 0x82});
    driver->RaiseInterrupt(5);
    driver->RaiseInterrupt(5);
    Outcome outcome;
    EXPECT_EQ(Wait(outcome), win32::kSuccess);
    EXPECT_EQ(outcome.calls, 0);
    EXPECT_EQ(reply, (Words{0, 0x11, 0x81, 0}));
    EXPECT_EQ(Wait(outcome), win32::kSuccess); // each kept with its own data
    EXPECT_EQ(reply, (Words{0, 0x22, 0x82, 0}));
    EXPECT_EQ(Wait(outcome), win32::kIoPending);
    // The pending wait completes while `outcome` lives: unloading aborts it.
    driver.reset();
    EXPECT_EQ(outcome.status, win32::kOperationAborted);
}

TEST_F(InterruptTest, CancelCloseAndDisconnectAbortPendingWaits)
{
    Outcome first, second, third;
    ASSERT_EQ(Wait(first), win32::kIoPending);
    EXPECT_EQ(driver->Cancel(sync), win32::kSuccess); // the connecting handle has no requests
    EXPECT_EQ(first.calls, 0);
    EXPECT_EQ(driver->Cancel(overlapped), win32::kSuccess);
    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(first.status, win32::kOperationAborted);
    ASSERT_EQ(Wait(second), win32::kIoPending);
    EXPECT_EQ(Send(sync, kDisconnectInterrupt, {0}), win32::kSuccess);
    EXPECT_EQ(second.status, win32::kOperationAborted);
    Words value(1);
    ASSERT_EQ(Send(sync, kGetProperty, {0, 1, 0, 0}, &value), win32::kSuccess);
    EXPECT_EQ(value[0], 0u);
    EXPECT_EQ(Wait(third), win32::kInvalidFunction);
    uint32_t returned = 0;
    EXPECT_EQ(driver->Submit(sync, kGetProperty, Words{0, 1, 0, 0}.data(), 16, value.data(), 4,
                             &returned, third.Callback()),
              win32::kInvalidParameter);
}

// A device at port 0x300 on interrupt level 6 whose port model raises that
// interrupt itself, connected, enabled, and with one wait pending.
class SelfInterruptTest : public InterruptFixture {
protected:
    void ConnectAndWait(std::shared_ptr<PortSpace> model,
                        std::vector<std::pair<const char*, uint32_t>> config)
    {
        bus->Attach(0x300, 1, std::move(model));
        config.insert(config.end(), {{kPortBase, 0x300}, {kPortCount, 1}, {kInterruptLevel, 6}});
        Configure("self", std::move(config));
        ASSERT_NO_FATAL_FAILURE(Connect("self", 6));
        ASSERT_EQ(Wait(outcome), win32::kIoPending);
    }
    Outcome outcome;
};

// Raises its interrupt when written, from inside the driver's port access.
class Doorbell : public PortSpace {
public:
    explicit Doorbell(IoBus& bus) : bus_(bus) { }
    uint32_t In(uint32_t, uint32_t) override { return 0; }
    void Out(uint32_t, uint32_t, uint32_t) override { bus_.RaiseInterrupt(6); }

private:
    IoBus& bus_;
};

TEST_F(SelfInterruptTest, APortModelMayInterruptDuringItsOwnPortAccess)
{
    ConnectAndWait(std::make_shared<Doorbell>(*bus), {});
    Words q = Queue(1, 0, {{kOpOut + 1, 0, 1}});
    ASSERT_EQ(Execute(sync, q), win32::kSuccess);
    EXPECT_EQ(outcome.calls, 1);
    EXPECT_EQ(outcome.status, win32::kSuccess);
}

// Raises its interrupt again whenever its status is read, as a card with more
// data pending does when its interrupt is acknowledged.
class PendingData : public PortSpace {
public:
    explicit PendingData(IoBus& bus) : bus_(bus) { }
    uint32_t In(uint32_t, uint32_t) override
    {
        ++reads;
        bus_.RaiseInterrupt(6);
        return 1;
    }
    void Out(uint32_t, uint32_t, uint32_t) override { }
    std::atomic<int> reads{0};

private:
    IoBus& bus_;
};

TEST_F(SelfInterruptTest, AServiceOpThatRaisesTheInterruptAgainNeitherDeadlocksNorLoops)
{
    auto card = std::make_shared<PendingData>(*bus);
    ConnectAndWait(card, {{kIsrOp, kOpIn + 1}});
    driver->RaiseInterrupt(6);
    EXPECT_EQ(outcome.calls, 1);
    EXPECT_EQ(reply[1], 1u);

    Words q = Queue(1, 0, {{kOpIn + 1, 0, 0, 0}}); // a port read from a request raises it too
    ASSERT_EQ(Execute(sync, q), win32::kSuccess);
    EXPECT_EQ(q[14], 1u);
    Outcome next;
    EXPECT_EQ(Wait(next), win32::kSuccess); // kept from the rounds above

    // Raised on each of a request's reads, it is one interrupt, not one per
    // read: the service reads after a request stay few, request after request.
    for (int request = 0; request < 3; ++request) {
        Words reads = Queue(100, 0, std::vector<Words>(100, Words{kOpIn + 1, 0, 0, 0}));
        const int before = card->reads;
        ASSERT_EQ(Execute(sync, reads), win32::kSuccess);
        EXPECT_LE(card->reads - before, 100 + 2 * 16);
    }
}

} // namespace
} // namespace qdriver::testing
