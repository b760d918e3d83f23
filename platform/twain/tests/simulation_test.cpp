// The manager module and its simulated sources, driven through DSM_Entry as
// an application drives them.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/scoped_setting.h"
#include <twain/simulation.h>

namespace {

class TwainManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        twain::UsePlatformClock(clock_);
        library_ = dlopen(MANAGER_PATH, RTLD_NOW);
        ASSERT_NE(library_, nullptr) << dlerror();
        entry_ = reinterpret_cast<DSM_ENTRYPROC>(dlsym(library_, "DSM_Entry"));
        wait_ = reinterpret_cast<DSM_WAITEVENTPROC>(dlsym(library_, "DSM_WaitEvent"));
        twsim::Configure({twsim::SourceConfig{}});
    }

    void TearDown() override
    {
        twsim::Configure({});
        EXPECT_EQ(twsim::Count().handles, 0);
        twain::UseSteadyPlatformClock();
        dlclose(library_);
    }

    TW_UINT16 Manager(TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data)
    {
        return entry_(&application_, nullptr, DG_CONTROL, dat, msg, data);
    }

    TW_UINT16 Source(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data)
    {
        return entry_(&application_, &source_, dg, dat, msg, data);
    }

    // The condition code of the source (or, with `of_manager`, of the manager).
    TW_UINT16 Condition(bool of_manager = false)
    {
        TW_STATUS status{};
        entry_(&application_, of_manager ? nullptr : &source_, DG_CONTROL, DAT_STATUS, MSG_GET,
               &status);
        return status.ConditionCode;
    }

    void OpenSource()
    {
        TW_MEMREF parent = nullptr;
        ASSERT_EQ(Manager(DAT_PARENT, MSG_OPENDSM, &parent), TWRC_SUCCESS);
        ASSERT_EQ(Manager(DAT_IDENTITY, MSG_GETDEFAULT, &source_), TWRC_SUCCESS);
        ASSERT_EQ(Manager(DAT_IDENTITY, MSG_OPENDS, &source_), TWRC_SUCCESS);
    }

    ondula::VirtualClock clock_;
    void* library_ = nullptr;
    DSM_ENTRYPROC entry_ = nullptr;
    DSM_WAITEVENTPROC wait_ = nullptr;
    TW_IDENTITY application_{};
    TW_IDENTITY source_{};
};

TEST_F(TwainManagerTest, TripletsOutOfTheProtocolsOrderAreSequenceErrors)
{
    OpenSource();
    EXPECT_EQ(twsim::Count().managers, 1);
    EXPECT_EQ(twsim::Count().sources, 1);
    TW_MEMREF parent = nullptr;
    EXPECT_EQ(Manager(DAT_PARENT, MSG_CLOSEDSM, &parent), TWRC_FAILURE);
    EXPECT_EQ(Condition(true), TWCC_SEQERROR);
    TW_USERINTERFACE ui{1, 0, nullptr};
    TW_HANDLE bitmap = nullptr;
    TW_PENDINGXFERS pending{};
    TW_IMAGEINFO info{};
    TW_ONEVALUE one{TWTY_UINT16, TWPT_GRAY};
    twain::GlobalBlock container(twain::GlobalAlloc(sizeof one));
    std::memcpy(twain::GlobalLockGuard(container.Get()).Address(), &one, sizeof one);
    TW_CAPABILITY set{ICAP_PIXELTYPE, TWON_ONEVALUE, container.Get()};
    struct Step {
        TW_UINT32 dg;
        TW_UINT16 dat, msg;
        TW_MEMREF data;
        TW_UINT16 rc; // TWRC_FAILURE: with TWCC_SEQERROR
    };
    const Step state4[] = {
        {DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui, TWRC_FAILURE},
        {DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &bitmap, TWRC_FAILURE},
        {DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending, TWRC_FAILURE},
        {DG_CONTROL, DAT_CAPABILITY, MSG_SET, &set, TWRC_SUCCESS},
        {DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui, TWRC_SUCCESS},
    };
    const Step state5[] = {
        {DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui, TWRC_FAILURE},
        {DG_CONTROL, DAT_CAPABILITY, MSG_SET, &set, TWRC_FAILURE},
        {DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info, TWRC_FAILURE},
        {DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &bitmap, TWRC_FAILURE},
    };
    const Step state6[] = {
        {DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui, TWRC_FAILURE},
        {DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info, TWRC_SUCCESS},
        {DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &bitmap, TWRC_XFERDONE},
    };
    const Step state7[] = {
        {DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &bitmap, TWRC_FAILURE},
        {DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending, TWRC_SUCCESS},
        {DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui, TWRC_SUCCESS},
    };
    auto run = [&](const auto& steps, int state) {
        for (const Step& s : steps) {
            EXPECT_EQ(Source(s.dg, s.dat, s.msg, s.data), s.rc) << state << ": " << s.dat;
            if (s.rc == TWRC_FAILURE) {
                EXPECT_EQ(Condition(), TWCC_SEQERROR) << state << ": " << s.dat;
            }
        }
    };
    run(state4, 4);
    run(state5, 5);
    DSM_MESSAGE message{};
    ASSERT_EQ(wait_(&message, 100), TWRC_SUCCESS);
    TW_EVENT event{&message, MSG_NULL};
    EXPECT_EQ(Source(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_DSEVENT);
    EXPECT_EQ(event.TWMessage, MSG_XFERREADY);
    EXPECT_EQ(info.ImageWidth, 0);
    run(state6, 6);
    EXPECT_EQ(info.ImageWidth, 640);
    EXPECT_EQ(info.BitsPerPixel, 24);
    EXPECT_EQ(twsim::Count().handles, 2); // the container and the bitmap
    twain::GlobalFree(bitmap);
    run(state7, 7);
    EXPECT_EQ(Manager(DAT_IDENTITY, MSG_CLOSEDS, &source_), TWRC_SUCCESS);
    EXPECT_EQ(Manager(DAT_PARENT, MSG_CLOSEDSM, &parent), TWRC_SUCCESS);
    EXPECT_EQ(twsim::Count().managers, 0);
    EXPECT_EQ(twsim::Count().transfers, 1);
    // Nothing in the queue: the wait takes its time on the platform clock.
    const auto before = clock_.Now();
    EXPECT_EQ(wait_(&message, 250), TWRC_FAILURE);
    EXPECT_EQ(clock_.Now() - before, std::chrono::milliseconds(250));
}

TEST_F(TwainManagerTest, EnvironmentNamesTheSources)
{
    struct Case {
        const char* value; // null: unset
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {nullptr, {"Ondula Scanner"}},
        {"Left,Right", {"Left", "Right"}},
        {"", {}},
        {",Left,,Right,", {"Left", "Right"}},
        {"Left,0123456789012345678901234567890123,012345678901234567890123456789012",
         {"Left", "012345678901234567890123456789012"}},
    };
    ScopedVariable sources("ONDULA_TWAIN_SOURCES", nullptr);
    for (const Case& c : cases) {
        sources.Set(c.value);
        twsim::ConfigureFromEnvironment();
        application_ = TW_IDENTITY{};
        TW_MEMREF parent = nullptr;
        ASSERT_EQ(Manager(DAT_PARENT, MSG_OPENDSM, &parent), TWRC_SUCCESS);
        std::vector<std::string> names;
        TW_UINT16 rc = Manager(DAT_IDENTITY, MSG_GETFIRST, &source_);
        for (; rc == TWRC_SUCCESS; rc = Manager(DAT_IDENTITY, MSG_GETNEXT, &source_))
            names.push_back(source_.ProductName);
        EXPECT_EQ(rc, c.names.empty() ? TWRC_FAILURE : TWRC_ENDOFLIST);
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(Manager(DAT_PARENT, MSG_CLOSEDSM, &parent), TWRC_SUCCESS);
    }
}

TEST(TwainGlobalMemoryTest, HandlesKnowTheirSizeAndRefuseWhatIsNotAlive)
{
    const int before = twain::LiveGlobalHandles();
    HGLOBAL handle = twain::GlobalAlloc(10);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(twain::GlobalSize(handle), 10u);
    auto* bytes = static_cast<uint8_t*>(twain::GlobalLock(handle));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(bytes[9], 0);
    EXPECT_EQ(twain::GlobalLock(handle), bytes);
    EXPECT_TRUE(twain::GlobalUnlock(handle));
    EXPECT_TRUE(twain::GlobalUnlock(handle));
    EXPECT_FALSE(twain::GlobalUnlock(handle));
    EXPECT_EQ(twain::LiveGlobalHandles(), before + 1);
    EXPECT_TRUE(twain::GlobalFree(handle));
    EXPECT_FALSE(twain::GlobalFree(handle));
    EXPECT_EQ(twain::GlobalSize(handle), 0u);
    EXPECT_EQ(twain::GlobalLock(handle), nullptr);
    EXPECT_EQ(twain::LiveGlobalHandles(), before);
    twain::FailGlobalAlloc(2);
    twain::GlobalBlock first(twain::GlobalAlloc(1));
    EXPECT_NE(first.Get(), nullptr);
    EXPECT_EQ(twain::GlobalAlloc(1), nullptr);
}

} // namespace
