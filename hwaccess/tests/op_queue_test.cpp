#include <pthread.h>

#include "hw_fixture.h"
#include <hwaccess/client.h>
#include <qdriver/address_table.h>

namespace hw::testing {
namespace {

using namespace qdriver::wire;

Words QueueWords(HwOpQueue* queue, size_t words)
{
    Words w(words);
    std::memcpy(w.data(), queue, words * 4);
    return w;
}

Words Op(HwOpQueue* queue, uint32_t index)
{
    Words w(8);
    std::memcpy(w.data(), reinterpret_cast<uint8_t*>(queue) + 48 + 32 * index, 32);
    return w;
}

class OpQueueTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        Connect("c832");
        driver->ClearLog();
    }
};

TEST_F(OpQueueTest, HeaderAndOpWordsIncludingTheWhileShuffles)
{
    HwOpQueue* q = HwAllocateOpQueue(9, 20, 12);
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(QueueWords(q, 12), (Words{0, 0x00030004, 9, 0, 20, 0, 0, 0, 12, 12, 0, 0}));
    EXPECT_EQ(HwGetQueueBuffer(q), reinterpret_cast<uint8_t*>(q) + 48 + 32 * 20);
    uint32_t target = 0;
    ASSERT_TRUE(HwQueueInp(q, 1, &target));
    HwQueueInpw(q, 2, nullptr);
    HwQueueInpl(q, 0, nullptr);
    HwQueueOutp(q, 1, 0x1AB);
    HwQueueOutpw(q, 2, 0x1234);
    HwQueueOutpl(q, 0, 0xDEADBEEF);
    HwQueueBufInp(q, 1);
    HwQueueBufInpw(q, 2);
    HwQueueBufInpl(q, 0);
    HwQueueBufOutp(q, 1);
    HwQueueBufOutpw(q, 2);
    HwQueueBufOutpl(q, 0);
    HwQueueAndTemp(q, 0xF0);
    HwQueueOrTemp(q, 0x0F);
    HwQueueWhileInpAnd(q, 11, 12, 13, 14, 15);
    HwQueueWhileInpEqual(q, 21, 22, 23, 24, 25, 26);
    HwQueueLoopBack(q);
    HwQueueBreakIfAnd(q, 31, 32);
    HwQueueInPort(q, 3, 2, nullptr);
    HwQueueOutPort(q, 3, 4, 5);
    EXPECT_EQ(QueueWords(q, 12)[3], 20u);
    const uint32_t token = Op(q, 0)[3];
    EXPECT_NE(token, 0u);
    EXPECT_EQ(qdriver::AddressOf(token), &target);
    const std::vector<Words> expected = {
        {0x81, 1, 0, token, 0, 0, 0, 0},  {0x82, 2, 0, 0, 0, 0, 0, 0},
        {0x84, 0, 0, 0, 0, 0, 0, 0},      {0xC1, 1, 0x1AB, 0, 0, 0, 0, 0},
        {0xC2, 2, 0x1234, 0, 0, 0, 0, 0}, {0xC4, 0, 0xDEADBEEF, 0, 0, 0, 0, 0},
        {0xE1, 1, 0, 0, 0, 0, 0, 0},      {0xE2, 2, 0, 0, 0, 0, 0, 0},
        {0xE4, 0, 0, 0, 0, 0, 0, 0},      {0xF1, 1, 0, 0, 0, 0, 0, 0},
        {0xF2, 2, 0, 0, 0, 0, 0, 0},      {0xF4, 0, 0, 0, 0, 0, 0, 0},
        {7, 0xF0, 0, 0, 0, 0, 0, 0},      {6, 0x0F, 0, 0, 0, 0, 0, 0},
        {3, 11, 15, 13, 12, 14, 0, 0},    {8, 21, 26, 23, 22, 25, 24, 0},
        {4, 0, 0, 0, 0, 0, 0, 0},         {2, 31, 32, 0, 0, 0, 0, 0},
        {0x82, 3, 0, 0, 0, 0, 0, 0},      {0xC4, 3, 5, 0, 0, 0, 0, 0}};
    for (uint32_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(Op(q, i), expected[i]) << "op " << i;
    std::memset(HwGetQueueBuffer(q), 0xA5, 12);
    EXPECT_FALSE(HwQueueOutp(q, 0, 1)); // full: nothing written past the records
    EXPECT_FALSE(HwQueueInp(q, 0, &target));
    EXPECT_EQ(QueueWords(q, 12)[3], 20u);
    const auto* data = static_cast<const uint8_t*>(HwGetQueueBuffer(q));
    EXPECT_EQ(std::vector<uint8_t>(data, data + 12), std::vector<uint8_t>(12, 0xA5));
    HwDeleteOpQueue(q);
    EXPECT_EQ(qdriver::AddressOf(token), nullptr);
}

TEST_F(OpQueueTest, AllocationRefusesSizesBeyond32Bits)
{
    EXPECT_EQ(HwAllocateOpQueue(0, 0x08000000, 0), nullptr);
    EXPECT_EQ(HwAllocateOpQueue(0, 0x07FFFFFF, 0xFFFFFFFF), nullptr);
    EXPECT_EQ(HwGetQueueBuffer(nullptr), nullptr);
    EXPECT_TRUE(HwDeleteOpQueue(nullptr));
}

TEST_F(OpQueueTest, OptionBitsAreTheCallersAndSurviveExecution)
{
    HwOpQueue* q = HwAllocateOpQueue(0, 2, 0);
    EXPECT_FALSE(HwEnableQueueOption(q, 2, true));
    EXPECT_TRUE(HwEnableQueueOption(q, 4, true));
    EXPECT_EQ(QueueWords(q, 6)[5], 4u);
    HwQueueOutp(q, 0, 1);
    ASSERT_TRUE(HwExecute(device, q));
    EXPECT_EQ(QueueWords(q, 6)[5], 5u);
    EXPECT_TRUE(HwEnableQueueOption(q, 4, false));
    EXPECT_EQ(QueueWords(q, 6)[5], 1u);
    HwDeleteOpQueue(q);
}

TEST_F(OpQueueTest, ExecuteSendsTheWholeQueueAndStoresInputsAtTheirAddresses)
{
    HwOpQueue* q = HwAllocateOpQueue(0, 8, 16);
    EXPECT_TRUE(HwExecute(device, q));
    EXPECT_TRUE(driver->Log().empty()); // empty queue: nothing sent
    card->Script(1, {0xAB});
    card->Script(2, {0xBEEF});
    card->Script(0, {0x12345678});
    uint32_t b = 0, w = 0, l = 0;
    HwQueueInp(q, 1, &b);
    HwQueueInpw(q, 2, &w);
    HwQueueInpl(q, 0, &l);
    HwQueueBufInp(q, 1);
    ASSERT_TRUE(HwExecute(device, q));
    EXPECT_EQ(b, 0xABu);
    EXPECT_EQ(w, 0xBEEFu);
    EXPECT_EQ(l, 0x12345678u);
    EXPECT_EQ(static_cast<uint8_t*>(HwGetQueueBuffer(q))[0], 0xAB);
    auto sent = driver->Log().back();
    EXPECT_EQ(sent.code, 0x228120u);
    EXPECT_EQ(sent.input.size(), 48u + 32 * 8 + 16);
    EXPECT_EQ(sent.outputLength, 48u + 32 * 8 + 16);
    EXPECT_EQ(QueueWords(q, 4)[3], 0u);
    EXPECT_TRUE(HwExecute(device, q)); // executed again without appending: nothing sent
    EXPECT_EQ(driver->Log().size(), 1u);
    HwDeleteOpQueue(q);
}

int errorCalls = 0;
int errorCode = 0;
void CountError(HwDevice*, int code)
{
    ++errorCalls;
    errorCode = code;
}

TEST_F(OpQueueTest, FailureCallsTheErrorCallbackStoresNothingAndEmptiesTheQueue)
{
    errorCalls = 0;
    device->errorCallback = CountError;
    HwOpQueue* q = HwAllocateOpQueue(0, 2, 0);
    uint32_t target = 0x77;
    HwQueueInp(q, 1, &target);
    HwQueueInp(q, 9, nullptr); // outside the card's four ports
    EXPECT_FALSE(HwExecute(device, q));
    EXPECT_EQ(errorCalls, 1);
    EXPECT_EQ(errorCode, 5);
    EXPECT_EQ(target, 0x77u);
    EXPECT_EQ(QueueWords(q, 4)[3], 0u);
    HwDeleteOpQueue(q);

    // A queue built by the caller that counts more ops than it has room for is
    // refused; emptying it looks at its own records only.
    HwOpQueue* overcounted = HwAllocateOpQueue(0, 1, 32);
    uint32_t bystander = 0;
    const uint32_t token = qdriver::RegisterAddress(&bystander);
    const uint32_t lookalike[8] = {0x81, 0, 0, token,
                                   0,    0, 0, 0}; // in the data area, where op 1 would be
    std::memcpy(HwGetQueueBuffer(overcounted), lookalike, sizeof lookalike);
    HwQueueInp(overcounted, 0, nullptr);
    reinterpret_cast<uint32_t*>(overcounted)[3] = 2;
    EXPECT_FALSE(HwExecute(device, overcounted));
    EXPECT_EQ(qdriver::LastError(), win32::kInvalidParameter);
    EXPECT_EQ(errorCalls, 2);
    EXPECT_EQ(QueueWords(overcounted, 4)[3], 0u);
    EXPECT_EQ(qdriver::AddressOf(token), &bystander);
    qdriver::ReleaseAddress(token);
    HwDeleteOpQueue(overcounted);

    HwDevice* disconnected = HwNewDevice(nullptr);
    disconnected->errorCallback = CountError;
    EXPECT_EQ(HwInp(disconnected, 0), 0);
    EXPECT_EQ(errorCalls, 3);
    HwDeleteDevice(disconnected);
}

TEST_F(OpQueueTest, SinglePortFunctionsReachTheLatchThroughAQueue)
{
    HwDevice* lpt = HwNewDevice(nullptr);
    ASSERT_TRUE(HwConnectDevice(lpt, "lpt"));
    driver->ClearLog();
    EXPECT_TRUE(HwOutp(lpt, 0, 0x5A));
    EXPECT_EQ(latch->Register(0), 0x5A);
    auto out = driver->Log().back();
    EXPECT_EQ(out.code, 0x228120u);
    EXPECT_EQ(InputWords(out),
              (Words{0, 0x00030004, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0xC1, 0, 0x5A, 0, 0, 0, 0, 0}));
    EXPECT_EQ(HwInp(lpt, 0), 0x5A);
    EXPECT_EQ(InputWords(driver->Log().back())[12], 0x81u);
    EXPECT_TRUE(HwOutpw(lpt, 0, 0x0201));
    EXPECT_EQ(HwInpw(lpt, 0), 0x0201);
    EXPECT_FALSE(HwOutpl(lpt, 0, 1)); // the device has two ports
    EXPECT_EQ(HwInpl(lpt, 0), 0u);
    HwDeleteDevice(lpt);
}

void ReadInsideCallback(HwDevice* device)
{
    *static_cast<uint8_t*>(device->callerData) = HwInp(device, 1);
}

TEST_F(OpQueueTest, TheDeviceLockIsRecursiveSoCallbacksMayUsePorts)
{
    card->Script(1, {0x42});
    uint8_t read = 0;
    device->callerData = &read;
    device->interruptCallback = ReadInsideCallback;
    pthread_mutex_lock(&device->lock);
    // Tried without blocking first, so a lock that is not recursive fails the
    // test instead of hanging it.
    const bool reentered = pthread_mutex_trylock(&device->lock) == 0;
    if (reentered) {
        device->interruptCallback(device);
        pthread_mutex_unlock(&device->lock);
    }
    pthread_mutex_unlock(&device->lock);
    ASSERT_TRUE(reentered);
    EXPECT_EQ(read, 0x42);
}

} // namespace
} // namespace hw::testing
