#include <atomic>
#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <thread>

#include "hw_fixture.h"
#include <clock/clock.h>

namespace hw::testing {
namespace {

using namespace qdriver::wire;
using namespace std::chrono_literals;

// What the callbacks of one device saw; the device's caller data points here.
struct Service {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::pair<uint32_t, uint32_t>> interrupts; // HwGetIsrData, HwGetIsrIdData
    std::vector<std::pair<HwDevice*, int>> errors;
    std::function<void(HwDevice*)> work; // what the callback does before it records

    static void OnInterrupt(HwDevice* device)
    {
        auto& s = *static_cast<Service*>(device->callerData);
        if (s.work)
            s.work(device);
        std::lock_guard lock(s.mutex);
        s.interrupts.emplace_back(HwGetIsrData(device), HwGetIsrIdData(device));
        s.changed.notify_all();
    }
    static void OnError(HwDevice* device, int code)
    {
        auto& s = *static_cast<Service*>(device->callerData);
        std::lock_guard lock(s.mutex);
        s.errors.emplace_back(device, code);
    }
    bool AwaitInterrupts(size_t count)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 10s, [&] { return interrupts.size() >= count; });
    }
};

// The C-832 device on interrupt level 5, its service op reading card port 1 and
// its identification op claiming interrupts when card port 2 has bit 7 set;
// its ports reach on to an exclusion probe at 0x214.
class InterruptTest : public DeviceFixture {
protected:
    static constexpr uint32_t kLevel = 5;
    Service service;
    HwThread* thread = nullptr;

    void SetUp() override
    {
        DeviceFixture::SetUp();
        Reconfigure("c832", [](HwDeviceConfig& c) {
            HwConfigurePortRange(&c, 0x210, 8);
            HwConfigureInterrupt(&c, kLevel);
            HwConfigureIsrOp(&c, kOpIn + 1, 1, 0);
            HwConfigureIsrIdOp(&c, kOpIn + 1, 2, 0x80, 0x80);
        });
        Connect("c832", &Service::OnInterrupt);
        device->errorCallback = &Service::OnError;
        device->callerData = &service;
    }

    void TearDown() override
    {
        if (device) {
            EXPECT_TRUE(HwDeleteDevice(std::exchange(device, nullptr)));
        }
        if (thread)
            QnloCloseThread(thread);
        DeviceFixture::TearDown();
    }

    /// Connects the interrupt and serves it on a new thread timed on `clock`.
    void StartService(ondula::Clock& clock = ondula::SteadyClock())
    {
        ASSERT_TRUE(HwConnectInterrupt(device, kLevel));
        thread = QnloCreateThread(HwIsrThreadProc, device, clock);
        ASSERT_TRUE(HwEnableIsr(device, thread, this));
    }

    uint32_t ExitCode() const
    {
        uint32_t code = 0;
        EXPECT_TRUE(QnloGetExitCodeThread(thread, &code));
        return code;
    }

    uint32_t DeliveryProperty()
    {
        uint32_t value = 0xEE;
        EXPECT_TRUE(HwGetProperty(device, kPropertyInterruptEnabled, &value));
        return value;
    }
};

TEST_F(InterruptTest, ConnectionRequestsCarryLevelVectorAndTheDriverWords)
{
    const struct {
        std::function<BOOL()> connect;
        Words request;
    } cases[] = {
        {[&] { return HwConnectInterrupt(device, 7); }, {0, 1, 0, 7, 7, 1}},
        {[&] { return HwConnectInterruptEx(device, 6, 0xFFFFFFFF, 9, 8); }, {0, 9, 8, 6, 6, 1}},
        {[&] { return HwConnectInterruptEx(device, 6, 11, 0, 0); }, {0, 0, 0, 6, 11, 1}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(c.connect());
        const auto connect = driver->Log().back();
        EXPECT_EQ(connect.code, 0x228158u);
        EXPECT_EQ(InputWords(connect), c.request);
        EXPECT_EQ(connect.outputLength, 20u);
        ASSERT_TRUE(HwDisconnectInterrupt(device));
        EXPECT_EQ(driver->Log().back().code, 0x22815Cu);
        EXPECT_EQ(InputWords(driver->Log().back()), Words{0});
    }
    driver->InjectFault({kConnectInterrupt, win32::kSuccess, 16u});
    EXPECT_FALSE(HwConnectInterrupt(device, 7));
}

TEST_F(InterruptTest, FailedEnablesLeaveDeliveryOffAndTheThreadEnded)
{
    const struct {
        const char* name;
        bool connect;
        std::optional<qdriver::Fault> fault;
        bool withThread;
    } cases[] = {
        {"interrupt not connected", false, {}, true},
        {"property 1 will not set", true,
         qdriver::Fault{kSetProperty, win32::kGenFailure, std::nullopt}, true},
        {"no thread to resume", true, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.connect) {
            ASSERT_TRUE(HwConnectInterrupt(device, kLevel));
        }
        if (c.fault)
            driver->InjectFault(*c.fault);
        HwThread* t = c.withThread ? QnloCreateThread(HwIsrThreadProc, device) : nullptr;
        EXPECT_FALSE(HwEnableIsr(device, t, this));
        EXPECT_EQ(DeliveryProperty(), 0u);
        EXPECT_EQ(device->interruptThread, nullptr);
        EXPECT_EQ(device->interruptThreadParameter, nullptr);
        if (t) {
            uint32_t code = 0xEE;
            EXPECT_TRUE(QnloWaitForThread(t, 0)); // ended before HwEnableIsr answered
            EXPECT_TRUE(QnloGetExitCodeThread(t, &code));
            EXPECT_EQ(code, 0u);
            QnloCloseThread(t);
        }
        if (c.connect) {
            HwDisconnectInterrupt(device);
        }
    }
    driver->ClearLog();
    EXPECT_FALSE(HwDisableIsr(device)); // no thread: nothing sent, nothing changed
    EXPECT_TRUE(driver->Log().empty());
    EXPECT_TRUE(service.errors.empty());
}

// A thread already resumed serves nothing for the record: it is refused before
// delivery is touched, and the record then serves on a thread made for it.
TEST_F(InterruptTest, OnlyASuspendedThreadIsTakenForService)
{
    ASSERT_TRUE(HwConnectInterrupt(device, kLevel));
    std::promise<void> release;
    auto released = release.get_future().share();
    std::vector<HwThread*> refusedThreads;
    const struct {
        const char* name;
        std::function<HwThread*()> make;
    } cases[] = {
        {"an ended service thread",
         [&] {
             HwThread* t = QnloCreateThread(HwIsrThreadProc, device);
             EXPECT_TRUE(HwEnableIsr(device, t, this));
             EXPECT_TRUE(HwDisableIsr(device));
             return t;
         }},
        {"a thread still running",
         [&] {
             HwThread* t = QnloCreateThread(
                 [](void* p) {
                     static_cast<std::shared_future<void>*>(p)->wait();
                     return 0u;
                 },
                 &released);
             QnloResumeThread(t);
             return t;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HwThread* refused = c.make();
        driver->ClearLog();
        EXPECT_FALSE(HwEnableIsr(device, refused, this));
        EXPECT_EQ(qdriver::LastError(), win32::kInvalidHandle);
        EXPECT_TRUE(driver->Log().empty());
        EXPECT_EQ(device->interruptThread, nullptr);
        EXPECT_EQ(device->interruptThreadParameter, nullptr);
        EXPECT_FALSE(HwDisableIsr(device));
        EXPECT_EQ(DeliveryProperty(), 0u);
        refusedThreads.push_back(refused);
    }
    release.set_value();
    for (HwThread* refused : refusedThreads) {
        EXPECT_TRUE(QnloWaitForThread(refused, 4000));
        QnloCloseThread(refused);
    }
    card->Script(2, {0x80});
    thread = QnloCreateThread(HwIsrThreadProc, device);
    ASSERT_TRUE(HwEnableIsr(device, thread, this));
    driver->RaiseInterrupt(kLevel);
    EXPECT_TRUE(service.AwaitInterrupts(1));
    EXPECT_TRUE(HwDisableIsr(device));
    EXPECT_TRUE(service.errors.empty());
}

TEST_F(InterruptTest, ASecondServiceThreadIsRefusedWhileTheFirstRuns)
{
    card->Script(2, {0x80, 0x80});
    StartService();
    HwThread* second = QnloCreateThread(HwIsrThreadProc, device);
    EXPECT_FALSE(HwEnableIsr(device, second, this));
    EXPECT_EQ(qdriver::LastError(), win32::kBusy);
    EXPECT_EQ(device->interruptThread, thread) << "the first thread is kept";
    driver->RaiseInterrupt(kLevel);
    ASSERT_TRUE(service.AwaitInterrupts(1)) << "the first thread still serves";
    EXPECT_TRUE(HwDisableIsr(device));
    EXPECT_EQ(ExitCode(), 0u);
    // Once the first has stopped, the second takes over.
    ASSERT_TRUE(HwEnableIsr(device, second, this));
    driver->RaiseInterrupt(kLevel);
    ASSERT_TRUE(service.AwaitInterrupts(2));
    EXPECT_TRUE(HwDisableIsr(device));
    uint32_t code = 0xEE;
    EXPECT_TRUE(QnloGetExitCodeThread(second, &code));
    EXPECT_EQ(code, 0u);
    QnloCloseThread(second);
    EXPECT_TRUE(service.errors.empty());
}

TEST_F(InterruptTest, EachInterruptRunsTheCallbackWithItsDataInOrder)
{
    const std::vector<std::pair<uint32_t, uint32_t>> sent = {
        {0x11, 0x81}, {0x22, 0x82}, {0x33, 0xC3}, {0x44, 0x84}};
    for (auto [data, id] : sent) {
        card->Script(1, {data});
        card->Script(2, {id});
    }
    StartService();
    EXPECT_EQ(DeliveryProperty(), 1u);
    for (size_t i = 0; i < sent.size(); ++i) {
        driver->RaiseInterrupt(kLevel);
        ASSERT_TRUE(service.AwaitInterrupts(i + 1));
    }
    EXPECT_EQ(service.interrupts, sent);
    EXPECT_TRUE(HwDisableIsr(device)); // a wait is pending: it is cancelled
    EXPECT_EQ(ExitCode(), 0u);
    EXPECT_EQ(DeliveryProperty(), 0u);
    EXPECT_EQ(device->interruptThread, nullptr);
    EXPECT_TRUE(service.errors.empty());
}

TEST_F(InterruptTest, AbnormalEndsReportTheirCodeAndCallTheErrorCallbackWith3)
{
    const struct {
        const char* name;
        std::optional<qdriver::Fault> fault;
        bool callbackThrows;
        uint32_t code;
    } cases[] = {
        {"refused wait", qdriver::Fault{kWaitInterrupt, win32::kGenFailure, std::nullopt}, false,
         5},
        {"12-byte reply", qdriver::Fault{kWaitInterrupt, win32::kSuccess, 12u}, false, 4},
        {"callback throws", {}, true, 3},
    };
    card->Script(2, {0x80});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        service.errors.clear();
        service.work = [&](HwDevice*) {
            if (c.callbackThrows)
                throw std::runtime_error("callback");
        };
        if (c.fault)
            driver->InjectFault(*c.fault);
        StartService();
        driver->RaiseInterrupt(kLevel);
        ASSERT_TRUE(QnloWaitForThread(thread, 4000));
        EXPECT_EQ(ExitCode(), c.code);
        EXPECT_EQ(service.errors, (std::vector<std::pair<HwDevice*, int>>{{device, 3}}));
        EXPECT_EQ(DeliveryProperty(), 0u);
        EXPECT_TRUE(HwDisableIsr(device));
        ASSERT_TRUE(HwDisconnectInterrupt(device));
        QnloCloseThread(std::exchange(thread, nullptr));
    }
}

// A caller told by the error callback that service ended may close the thread
// at once; the record then serves again on a new thread, and goes.
TEST_F(InterruptTest, AThreadThatEndedOnItsOwnMayBeClosedBeforeTheRecordMovesOn)
{
    card->Script(2, {0x80});
    for (size_t served = 0; served < 2; ++served) {
        StartService(); // refused as busy while the closed thread counted as running
        driver->RaiseInterrupt(kLevel);
        ASSERT_TRUE(service.AwaitInterrupts(served + 1));
        ASSERT_TRUE(HwDisconnectInterrupt(device)); // the wait fails or is refused
        ASSERT_TRUE(QnloWaitForThread(thread, 4000));
        EXPECT_NE(ExitCode(), uint32_t(HW_ISR_STOPPED));
        QnloCloseThread(std::exchange(thread, nullptr));
    }
    EXPECT_TRUE(HwDeleteDevice(std::exchange(device, nullptr)));
}

// The address of a closed service thread's handle may come back with a new
// thread: stopping service still knows that its own thread's handle is gone.
TEST_F(InterruptTest, ANewThreadAtAClosedServiceThreadsAddressIsNotTakenForIt)
{
    StartService();
    QnloCloseThread(std::exchange(thread, nullptr));
    thread = QnloCreateThread([](void*) { return 0u; }, nullptr);
    QnloResumeThread(thread);
    ASSERT_TRUE(QnloWaitForThread(thread, 4000));
    EXPECT_FALSE(HwDisableIsr(device));
    EXPECT_EQ(qdriver::LastError(), win32::kInvalidHandle);
    EXPECT_EQ(device->interruptThread, nullptr);
    EXPECT_EQ(DeliveryProperty(), 0u);
    EXPECT_TRUE(service.errors.empty());
}

// A port model whose writes, and the sections a test marks, must never overlap.
class ExclusionProbe : public qdriver::PortSpace {
public:
    uint32_t In(uint32_t, uint32_t) override { return 0; }
    void Out(uint32_t, uint32_t, uint32_t) override { Section(); }
    void Section()
    {
        if (inside_.fetch_add(1) != 0)
            ++overlaps_;
        std::this_thread::yield();
        --inside_;
    }
    int Overlaps() const { return overlaps_; }

private:
    std::atomic<int> inside_{0};
    std::atomic<int> overlaps_{0};
};

TEST_F(InterruptTest, CallbacksUsePortsAndNeverOverlapQueuesOrSynchronisedSections)
{
    auto probe = std::make_shared<ExclusionProbe>();
    bus->Attach(0x214, 4, probe);
    card->Script(2, {0x80});
    card->Script(3, {0x5A});
    std::vector<uint8_t> portValues;
    service.work = [&](HwDevice* d) {
        probe->Section();
        portValues.push_back(HwInp(d, 3));
    };
    StartService();
    std::atomic<bool> done{false};
    std::thread other([&] {
        while (!done) {
            HwOutp(device, 4, 1);
            HwBeginIsrSynch(device);
            probe->Section();
            HwEndIsrSynch(device);
        }
    });
    constexpr size_t kInterrupts = 200;
    for (size_t i = 0; i < kInterrupts; ++i) {
        driver->RaiseInterrupt(kLevel);
        ASSERT_TRUE(service.AwaitInterrupts(i + 1));
    }
    done = true;
    other.join();
    EXPECT_EQ(probe->Overlaps(), 0);
    EXPECT_EQ(portValues, std::vector<uint8_t>(kInterrupts, 0x5A));
}

TEST_F(InterruptTest, DisconnectingOrDeletingEndsServiceBeforeClosingTheHandles)
{
    card->Script(2, {0x80});
    for (bool deleting : {false, true}) {
        SCOPED_TRACE(deleting ? "delete" : "disconnect");
        StartService();
        driver->RaiseInterrupt(kLevel); // once served, the thread is in its loop
        ASSERT_TRUE(service.AwaitInterrupts(deleting ? 2 : 1));
        driver->ClearLog();
        EXPECT_TRUE(deleting ? HwDeleteDevice(device) : HwDisconnectDevice(device));
        EXPECT_EQ(ExitCode(), 0u);
        EXPECT_TRUE(service.errors.empty());
        // The thread's own clear of property 1 and HwDisableIsr's both reached the driver.
        int clears = 0;
        for (const auto& r : driver->Log())
            clears += r.code == kSetProperty && InputWords(r) == Words{0, 1, 0, 0} &&
                      r.status == win32::kSuccess;
        EXPECT_EQ(clears, 2);
        QnloCloseThread(std::exchange(thread, nullptr));
        if (deleting) {
            device = nullptr;
        } else {
            EXPECT_EQ(device->syncHandle, -1);
            ASSERT_TRUE(HwConnectDevice(device, "c832"));
            uint32_t connected = 0xEE;
            EXPECT_TRUE(HwGetProperty(device, kPropertyInterruptConnected, &connected));
            EXPECT_EQ(connected, 0u) << "the disconnect released the interrupt";
        }
    }
}

// Runs `call` on another thread while moving `clock` on, until it answers.
BOOL WhileTimePasses(ondula::VirtualClock& clock, std::function<BOOL()> call)
{
    auto answer = std::async(std::launch::async, std::move(call));
    while (answer.wait_for(1ms) != std::future_status::ready)
        clock.Advance(100ms);
    return answer.get();
}

TEST_F(InterruptTest, AStuckCallbackKeepsTheRecordUntilItEnds)
{
    ondula::VirtualClock clock;
    std::promise<void> entered, release;
    service.work = [&, released = release.get_future().share()](HwDevice*) {
        entered.set_value();
        released.wait();
    };
    card->Script(2, {0x80});
    StartService(clock);
    driver->RaiseInterrupt(kLevel);
    entered.get_future().wait();

    EXPECT_FALSE(WhileTimePasses(clock, [&] { return HwDisableIsr(device); }));
    EXPECT_GE(clock.Now(), 4000ms);
    EXPECT_EQ(device->interruptThread, thread);
    EXPECT_FALSE(WhileTimePasses(clock, [&] { return HwDeleteDevice(device); }));
    EXPECT_NE(device->stopEvent, nullptr);
    EXPECT_NE(device->syncHandle, -1);

    release.set_value();
    EXPECT_TRUE(HwDeleteDevice(std::exchange(device, nullptr)));
    EXPECT_EQ(ExitCode(), 0u);
    EXPECT_TRUE(service.errors.empty());
}

TEST_F(InterruptTest, InterruptsRacingAStopNeverOutliveTheThread)
{
    card->Script(2, {0x80});
    ASSERT_TRUE(HwConnectInterrupt(device, kLevel));
    std::atomic<bool> done{false};
    std::thread racer([&] {
        while (!done) {
            driver->RaiseInterrupt(kLevel);
            std::this_thread::yield();
        }
    });
    for (int round = 0; round < 100; ++round) {
        HwThread* t = QnloCreateThread(HwIsrThreadProc, device);
        ASSERT_TRUE(HwEnableIsr(device, t, nullptr));
        if (round % 2)
            std::this_thread::yield();
        ASSERT_TRUE(HwDisableIsr(device));
        uint32_t code = 0xEE;
        QnloGetExitCodeThread(t, &code);
        EXPECT_EQ(code, 0u);
        QnloCloseThread(t);
    }
    done = true;
    racer.join();
    EXPECT_TRUE(service.errors.empty());
}

} // namespace
} // namespace hw::testing
