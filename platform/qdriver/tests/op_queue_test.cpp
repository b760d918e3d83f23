#include "driver_fixture.h"

namespace qdriver::testing {
namespace {

using namespace wire;

class OpQueueTest : public DriverFixture {
protected:
    void SetUp() override
    {
        DriverFixture::SetUp();
        Load({}, 50);
        lpt = Open("lpt");
        c832 = Open("c832");
    }
    Handle lpt = kInvalidHandle, c832 = kInvalidHandle;
};

TEST_F(OpQueueTest, OutAndInReachTheLatchThroughDeviceOffsets)
{
    Words q = Queue(3, 0, {{kOpOut + 1, 0, 0xA5}, {kOpIn + 1, 0, 0, 0}, {kOpIn + 2, 0x378, 0, 0}});
    ASSERT_EQ(Execute(lpt, q), win32::kSuccess);
    EXPECT_EQ(latch->Register(0), 0xA5);
    EXPECT_EQ(q[12 + 8 + 2], 0xA5u);
    EXPECT_EQ(q[12 + 16 + 2], 0xA5u);
    EXPECT_EQ(q[5], kQueueExecuting);
}

TEST_F(OpQueueTest, PortsOutsideTheDeviceAndBadQueuesFailWithoutWritingBack)
{
    struct Case {
        Words queue;
        win32::Status status;
    };
    Words wrongVersion = Queue(1, 0, {{kOpIn + 1, 0, 0, 0}});
    wrongVersion[1] = 0x00030003;
    Words overfull = Queue(1, 0, {{kOpIn + 1, 0, 0, 0}});
    overfull[3] = 2;
    Words truncated = Queue(2, 8, {{kOpIn + 1, 0, 0, 0}});
    truncated.resize(truncated.size() - 1);
    for (const Case& c :
         {Case{Queue(1, 0, {{kOpIn + 1, 2, 0, 0}}), win32::kAccessDenied},
          Case{Queue(1, 0, {{kOpIn + 2, 1, 0, 0}}), win32::kAccessDenied},
          Case{Queue(1, 0, {{kOpIn + 3, 0, 0, 0}}), win32::kInvalidParameter},
          Case{Queue(1, 0, {{0x55}}), win32::kInvalidParameter},
          Case{Queue(1, 0, {{0x181, 0, 0, 0}}), win32::kInvalidParameter},
          Case{wrongVersion, win32::kInvalidParameter}, Case{overfull, win32::kInvalidParameter},
          Case{truncated, win32::kInvalidParameter}}) {
        Words q = c.queue;
        EXPECT_EQ(Execute(lpt, q), c.status);
        EXPECT_EQ(q, c.queue);
    }
}

TEST_F(OpQueueTest, ARangeReachingPastTheLastPortNeverWrapsToPortZero)
{
    auto low = std::make_shared<LatchPorts>(2);
    bus->Attach(0, 2, low);
    Configure("edge", {{kPortBase, 0xFFFFFFFE}, {kPortCount, 4}, {kIgnoreConflicts, 1}});
    Load({}, 50);
    const Handle edge = Open("edge");
    for (uint32_t port : {2u, 3u}) {
        Words q = Queue(1, 0, {{kOpOut + 1, port, 0xA5}});
        EXPECT_EQ(Execute(edge, q), win32::kAccessDenied) << port;
    }
    Words q = Queue(1, 0, {{kOpOut + 2, 0, 0xBEEF}});
    EXPECT_EQ(Execute(edge, q), win32::kSuccess);
    EXPECT_TRUE(low->Writes().empty());
}

TEST_F(OpQueueTest, BufferedOpsUseTheDataAreaBehindAllRecords)
{
    card->Script(1, {0x11, 0x22});
    card->Script(2, {0x3344});
    Words q =
        Queue(4, 8, {{kOpBufIn + 1, 1}, {kOpBufIn + 1, 1}, {kOpBufIn + 2, 2}, {kOpBufOut + 2, 0}});
    q[12 + 32 + 1] = 0x00005566; // bytes 4-5 of the data area feed the output
    ASSERT_EQ(Execute(c832, q), win32::kSuccess);
    EXPECT_EQ(q[12 + 32], 0x33442211u);
    EXPECT_EQ(card->Accesses().back(), (PortAccess{true, 0, 2, 0x5566}));
    Words past = Queue(2, 2, {{kOpBufIn + 2, 1}, {kOpBufIn + 1, 1}});
    EXPECT_EQ(Execute(c832, past), win32::kInsufficientBuffer);
}

TEST_F(OpQueueTest, WhileOpsPollUntilTheConditionEndsOrTheLimit)
{
    card->Script(3, {0x80, 0x80, 0x00});
    Words q = Queue(2, 0, {{kOpWhileInpAnd, 3, 1, 0x80, 1, 0}, {kOpIn + 1, 0, 0, 0}});
    ASSERT_EQ(Execute(c832, q), win32::kSuccess);
    EXPECT_EQ(card->Accesses().size(), 4u);

    card->Script(2, {0x07});
    Words failing = Queue(1, 0, {{kOpWhileInpEqual, 2, 1, 0x0F, 1, 3, 0x07}});
    EXPECT_EQ(Execute(c832, failing), win32::kTimeout);
    Words passing = Queue(1, 0, {{kOpWhileInpEqual, 2, 0, 0x0F, 1, 3, 0x07}});
    EXPECT_EQ(Execute(c832, passing), win32::kSuccess);
    Words unbounded = Queue(1, 0, {{kOpWhileInpEqual, 2, 0, 0x0F, 1, 0, 0x07}});
    EXPECT_EQ(Execute(c832, unbounded), win32::kTimeout);
}

TEST_F(OpQueueTest, ALimitedPollReadsThePortAtMostItsLimit)
{
    struct Case {
        uint32_t port;
        std::vector<uint32_t> answers; // the last one repeats
        uint32_t failOnLimit, limit;
        win32::Status status;
        std::size_t reads;
    };
    for (const Case& c :
         {Case{0, {0x07}, 1, 1, win32::kTimeout, 1}, Case{1, {0x07}, 0, 3, win32::kSuccess, 3},
          Case{2, {0x07, 0x07, 0x00}, 1, 3, win32::kSuccess, 3},
          Case{3, {0x07, 0x00}, 1, 3, win32::kSuccess, 2}}) {
        card->Script(c.port, c.answers);
        Words q = Queue(1, 0, {{kOpWhileInpEqual, c.port, c.failOnLimit, 0x0F, 1, c.limit, 0x07}});
        EXPECT_EQ(Execute(c832, q), c.status) << c.port;
        std::size_t reads = 0;
        for (const PortAccess& a : card->Accesses())
            reads += !a.write && a.offset == c.port;
        EXPECT_EQ(reads, c.reads) << c.port;
    }
}

TEST_F(OpQueueTest, LoopBackRepeatsUntilBreakIfAndAndTheCapStopsEndlessLoops)
{
    card->Script(1, {0x00, 0x00, 0x41});
    Words q = Queue(5, 0,
                    {{kOpIn + 1, 1, 0, 0},
                     {kOpAndTemp, 0x0F},
                     {kOpBreakIfAnd, 0x01, 0x01},
                     {kOpOut + 1, 0, 0x99},
                     {kOpLoopBack}});
    ASSERT_EQ(Execute(c832, q), win32::kSuccess);
    int outs = 0;
    for (const auto& a : card->Accesses())
        outs += a.write;
    EXPECT_EQ(outs, 2);

    Words after = Queue(
        4, 0,
        {{kOpOrTemp, 0x10}, {kOpBreakIfAnd, 0x10, 0x10}, {kOpLoopBack}, {kOpOut + 1, 0, 0x42}});
    ASSERT_EQ(Execute(c832, after), win32::kSuccess);
    EXPECT_EQ(card->Accesses().back(), (PortAccess{true, 0, 1, 0x42}));

    Words endless = Queue(2, 0, {{kOpOut + 1, 0, 1}, {kOpLoopBack}});
    EXPECT_EQ(Execute(c832, endless), win32::kTimeout);
}

} // namespace
} // namespace qdriver::testing
