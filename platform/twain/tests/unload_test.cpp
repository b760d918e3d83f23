// The manager loaded and unloaded by a program that does not link the
// simulation itself, as the TWAIN plug-in does at each open and close.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <malloc.h>

#include <twain/protocol.h>

namespace {

// Bytes in use on the heap.
size_t HeapInUse() { return mallinfo2().uordblks; }

void OpenAndCloseTheManager()
{
    void* library = dlopen(MANAGER_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    const auto entry = reinterpret_cast<DSM_ENTRYPROC>(dlsym(library, "DSM_Entry"));
    ASSERT_NE(entry, nullptr);
    TW_IDENTITY application{};
    TW_MEMREF parent = nullptr;
    EXPECT_EQ(entry(&application, nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &parent),
              TWRC_SUCCESS);
    EXPECT_EQ(entry(&application, nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &parent),
              TWRC_SUCCESS);
    dlclose(library);
}

TEST(TwainManagerUnload, EachLoadGivesBackWhatItTook)
{
    OpenAndCloseTheManager();
    constexpr size_t kCycles = 20;
    const size_t before = HeapInUse();
    for (size_t n = 0; n < kCycles; ++n)
        OpenAndCloseTheManager();
    // The dynamic loader itself keeps a few hundred bytes per load.
    EXPECT_LT((long(HeapInUse()) - long(before)) / long(kCycles), 512);
}

} // namespace
