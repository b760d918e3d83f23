// Objects, class creation, named mutexes, events and the running object table.
#include <gtest/gtest.h>

#include <dshow/com.h>
#include <dshow/devices.h>
#include <dshow/filters.h>
#include <dshow/platform.h>

namespace {

using namespace dshow;
using namespace std::chrono_literals;

TEST(ComTest, ObjectsAnswerTheirInterfacesAndDieWithTheirLastReference)
{
    const long before = LiveObjects();
    {
        ComPtr<IGraphBuilder> graph;
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, &graph), S_OK);
        EXPECT_EQ(LiveObjects(), before + 1);
        EXPECT_TRUE(graph.As<IFilterGraph>()) << "a parent interface";
        EXPECT_TRUE(graph.As<IMediaControl>());
        EXPECT_FALSE(graph.As<IPin>());
        EXPECT_EQ(graph.As<IUnknown>().get(), graph.As<IMediaControl>().As<IUnknown>().get())
            << "one identity";
    }
    EXPECT_EQ(LiveObjects(), before);
}

TEST(ComTest, ClassesWithoutServerOrWithOuterObjectAreRefused)
{
    void* out = this;
    EXPECT_EQ(CoCreateInstance(StandInGuid(0x12345678), nullptr, CLSCTX_INPROC_SERVER,
                               IUnknown::kIid, &out),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(out, nullptr);
    ComPtr<IGraphBuilder> outer;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, &outer), S_OK);
    EXPECT_EQ(CoCreateInstance(CLSID_CaptureGraphBuilder2, outer.get(), CLSCTX_INPROC_SERVER,
                               IUnknown::kIid, &out),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(GuidText({0x798EA990, 0x7ECE, 0x11D6, {0x8E, 0x2B, 0, 0xE0, 0x29, 0x3D, 0xC6, 0}}),
              "{798EA990-7ECE-11D6-8E2B-00E0293DC600}");
    EXPECT_EQ(FourCCGuid(FourCC("UYVY")).Data1, 0x59565955u);
}

TEST(ComTest, NamedMutexExistsWhileAHandleIsOpen)
{
    EXPECT_EQ(NamedMutex::Open("marker"), nullptr);
    auto first = NamedMutex::Create("marker");
    auto second = NamedMutex::Open("marker");
    ASSERT_NE(second, nullptr);
    first.reset();
    EXPECT_NE(NamedMutex::Open("marker"), nullptr);
    second.reset();
    EXPECT_EQ(NamedMutex::Open("marker"), nullptr);
}

TEST(ComTest, EventWaitsOnThePlatformClockAndRunsTheWaitHook)
{
    ondula::VirtualClock clock;
    UsePlatformClock(&clock);
    Event event;
    EXPECT_FALSE(event.Wait(100ms));
    EXPECT_EQ(clock.Now(), 100ms);
    int looks = 0;
    SetEventWaitHook([&] {
        if (++looks == 3)
            event.Set();
    });
    EXPECT_TRUE(event.Wait(100ms));
    EXPECT_EQ(clock.Now(), 102ms);
    SetEventWaitHook(nullptr);
    EXPECT_FALSE(event.Wait(0ms)) << "auto-reset";
    UsePlatformClock(nullptr);
}

TEST(ComTest, RunningObjectTableHoldsEntriesUntilRevoked)
{
    const long before = LiveObjects();
    ComPtr<IRunningObjectTable> table;
    ComPtr<IMoniker> name;
    ComPtr<IGraphBuilder> graph;
    ASSERT_EQ(GetRunningObjectTable(0, table.put()), S_OK);
    ASSERT_EQ(CreateItemMoniker(L"!", L"FilterGraph 1", name.put()), S_OK);
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, &graph), S_OK);
    uint32_t cookie = 0;
    ASSERT_EQ(table->Register(0, graph.get(), name.get(), &cookie), S_OK);
    graph.Reset();
    EXPECT_EQ(RunningObjectNames(), std::vector<std::wstring>{L"!FilterGraph 1"});
    EXPECT_EQ(table->Revoke(cookie), S_OK);
    const int failed = FailedRevokes();
    EXPECT_EQ(table->Revoke(cookie), E_INVALIDARG);
    EXPECT_EQ(FailedRevokes(), failed + 1);
    table.Reset();
    name.Reset();
    EXPECT_EQ(LiveObjects(), before);
}

} // namespace
